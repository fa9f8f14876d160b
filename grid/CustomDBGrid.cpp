// The data grid: properties, the layout of columns and rows, and what the data link calls.

#include "grid/CustomDBGrid.h"

#include "dataset/DataSet.h"
#include "dataset/DataSource.h"
#include "dataset/Field.h"
#include "dataset/StringField.h"
#include "grid/InplaceEdit.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtText.h"

#include <QEvent>
#include <QFontMetrics>
#include <QScrollBar>

#include <algorithm>

namespace cibrano {

TCustomDBGrid::TCustomDBGrid(QWidget* parent)
    : TCustomGrid(parent), dataLink_(this), columns_(this) {
    setFont(msSansSerif(11));
    titleFont_ = msSansSerif(11);
    QScrollBar* bar = verticalScrollBar();
    bar->setTracking(false);
    bar->setContextMenuPolicy(Qt::NoContextMenu);
    bar->installEventFilter(this);
    connect(bar, &QScrollBar::actionTriggered, this,
            [this](int action) { scrollBarAction(action); });
    connect(bar, &QScrollBar::sliderReleased, this, [this] { scrollBarReleased(); });
    options_ = {dgEditing,  dgTitles, dgIndicator,     dgColumnResize, dgColLines,
                dgRowLines, dgTabs,   dgConfirmDelete, dgCancelOnExit};
    setGridOptions(gridOptionsFrom(options_));
    setRowCount(2);
    showScrollInfo();
    guarded([this] { layoutChanged(); });
}

TCustomDBGrid::~TCustomDBGrid() {
    destroyEditor();
    // The link must not call back into a grid that is going.
    dataLink_.setDataSource(nullptr);
}

// --- Properties ------------------------------------------------------------------------------

TDataSource* TCustomDBGrid::DataSource() const {
    return dataLink_.DataSource();
}

void TCustomDBGrid::setDataSource(TDataSource* source) {
    if (source == dataLink_.DataSource())
        return;
    clearSelectedRows();
    dataLink_.setDataSource(source);
    linkActive(dataLink_.Active());
}

TDataSet* TCustomDBGrid::dataSet() const {
    return dataLink_.dataSet();
}

TGridOptions TCustomDBGrid::gridOptionsFrom(TDBGridOptions value) const {
    TGridOptions result;
    if (value.contains(dgColLines))
        result = result + TGridOptions{goFixedVertLine, goVertLine};
    if (value.contains(dgRowLines))
        result = result + TGridOptions{goFixedHorzLine, goHorzLine};
    if (value.contains(dgColumnResize))
        result = result + TGridOptions{goColSizing, goColMoving};
    if (value.contains(dgTabs))
        result.include(goTabs);
    if (value.contains(dgRowSelect))
        result.include(goRowSelect);
    if (value.contains(dgEditing) && !value.contains(dgRowSelect))
        result.include(goEditing);
    if (value.contains(dgAlwaysShowEditor) && !value.contains(dgRowSelect))
        result.include(goAlwaysShowEditor);
    return result;
}

void TCustomDBGrid::setOptions(TDBGridOptions value) {
    // Selecting whole rows leaves no cell to edit.
    if (value.contains(dgRowSelect)) {
        value.exclude(dgAlwaysShowEditor);
        value.exclude(dgEditing);
    }
    if (options_.contains(dgMultiSelect) && !value.contains(dgMultiSelect))
        clearSelectedRows();
    options_ = value;
    setGridOptions(gridOptionsFrom(value));
    layoutChanged();
}

void TCustomDBGrid::setReadOnly(bool value) {
    if (readOnly_ == value)
        return;
    readOnly_ = value;
    if (readOnly_)
        hideEditor();
    layoutChanged();
}

void TCustomDBGrid::setTitleFont(const QFont& font) {
    titleFont_ = font;
    layoutChanged();
}

int TCustomDBGrid::SelectedIndex() const {
    return rawToDataColumn(Col());
}

void TCustomDBGrid::setSelectedIndex(int index) {
    moveCol(dataToRawColumn(index), 0);
}

TField* TCustomDBGrid::SelectedField() const {
    const int index = SelectedIndex();
    if (index < 0 || index >= columns_.count())
        return nullptr;
    return columns_[index]->Field();
}

void TCustomDBGrid::setSelectedField(TField* field) {
    if (!field)
        return;
    for (int i = 0; i < columns_.count(); ++i)
        if (columns_[i]->Field() == field) {
            moveCol(dataToRawColumn(i), 0);
            return;
        }
}

int TCustomDBGrid::FieldCount() const {
    return dataLink_.fieldCount();
}

TField* TCustomDBGrid::fields(int index) const {
    return dataLink_.fields(index);
}

// --- Layout ----------------------------------------------------------------------------------

void TCustomDBGrid::beginLayout() {
    beginUpdate();
    if (layoutLock_ == 0)
        columns_.beginUpdate();
    ++layoutLock_;
}

void TCustomDBGrid::endLayout() {
    if (layoutLock_ == 0)
        return;
    auto finish = [this] {
        if (layoutLock_ == 1)
            columns_.endUpdate();
        --layoutLock_;
        endUpdate();
    };
    try {
        if (layoutLock_ == 1)
            internalLayout();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TCustomDBGrid::layoutChanged() {
    if (layoutLock_ > 0)
        return;
    if (updateLock_ > 0) {
        // A layout change during a click or a key is applied when that ends.
        pendingLayout_ = true;
        return;
    }
    beginLayout();
    endLayout();
}

void TCustomDBGrid::endUpdate() {
    if (updateLock_ == 0)
        return;
    if (--updateLock_ == 0) {
        invalidateGrid();
        if (pendingLayout_ && layoutLock_ == 0) {
            pendingLayout_ = false;
            layoutChanged();
        }
    }
}

void TCustomDBGrid::internalLayout() {
    const QFontMetrics metrics(font());
    int height = metrics.height() + 3;
    if (options_.contains(dgRowLines))
        height += GridLineWidth();
    setDefaultRowHeight(height);
    indicatorOffset_ = options_.contains(dgIndicator) ? 1 : 0;
    titleOffset_ = options_.contains(dgTitles) ? 1 : 0;

    dataLink_.clearMapping();
    if (dataLink_.Active())
        defineFieldMap();
    resetColumnFieldBindings();

    setColCount(columns_.count() + indicatorOffset_);
    setFixedCols(indicatorOffset_);
    if (RowCount() <= titleOffset_)
        setRowCount(titleOffset_ + 1);
    setFixedRows(titleOffset_);
    updateRowHeights();
    setColumnAttributes();
    updateRowCount();
    updateActive();
    invalidateGrid();
}

void TCustomDBGrid::updateRowHeights() {
    if (titleOffset_ == 0)
        return;
    int height = 0;
    for (int i = 0; i < columns_.count(); ++i)
        height = std::max(height, QFontMetrics(columns_[i]->Title().Font()).height() + 4);
    if (height == 0)
        height = QFontMetrics(titleFont_).height() + 4;
    setRowHeight(0, height);
}

void TCustomDBGrid::defineFieldMap() {
    if (columns_.State() == csCustomized) {
        // Configured columns: a name the dataset lacks shows an empty column.
        dataLink_.setSparseMap(true);
        for (int i = 0; i < columns_.count(); ++i)
            dataLink_.addMapping(columns_[i]->FieldName());
    } else {
        dataLink_.setSparseMap(false);
        TDataSet* ds = dataSet();
        for (int i = 0; i < ds->fieldCount(); ++i) {
            TField* field = ds->Fields()[i];
            if (field->Visible())
                dataLink_.addMapping(field->FieldName());
        }
    }
}

void TCustomDBGrid::resetColumnFieldBindings() {
    auto& items = columns_.items_;
    if (columns_.State() == csDefault) {
        // The columns made from the fields follow the field list: those whose field went are
        // dropped, new fields get a column, and the order is the map's.
        if (!dataLink_.Active()) {
            items.clear();
        } else {
            for (int j = static_cast<int>(items.size()) - 1; j >= 0; --j) {
                TField* field = items[static_cast<size_t>(j)]->Field();
                bool mapped = false;
                for (int i = 0; field && i < dataLink_.fieldCount(); ++i)
                    mapped = mapped || dataLink_.fields(i) == field;
                if (!mapped)
                    items.erase(items.begin() + j);
            }
        }
        int n = dataLink_.fieldCount();
        if (n == 0 && items.empty())
            n = 1;
        for (int j = 0; j < n; ++j) {
            TField* field = dataLink_.fields(j);
            int k = j;
            while (field && k < static_cast<int>(items.size()) &&
                   items[static_cast<size_t>(k)]->Field() != field)
                ++k;
            if (!field || k >= static_cast<int>(items.size())) {
                columns_.internalAdd();
                k = static_cast<int>(items.size()) - 1;
                items[static_cast<size_t>(k)]->setField(field);
                if (field)
                    items[static_cast<size_t>(k)]->fieldName_ = field->FieldName();
            }
            if (k != j) {
                auto column = std::move(items[static_cast<size_t>(k)]);
                items.erase(items.begin() + k);
                items.insert(items.begin() + std::min<int>(j, static_cast<int>(items.size())),
                             std::move(column));
            }
        }
        if (static_cast<int>(items.size()) > n)
            items.resize(static_cast<size_t>(n));
    } else {
        for (int i = 0; i < columns_.count(); ++i)
            columns_[i]->setField(dataLink_.Active() ? dataLink_.fields(i) : nullptr);
    }
}

void TCustomDBGrid::setColumnAttributes() {
    for (int i = 0; i < columns_.count(); ++i) {
        TColumn* column = columns_[i];
        TField* field = column->Field();
        setTabStop(dataToRawColumn(i),
                   column->Showing() && !column->ReadOnly() && dataLink_.Active() && field &&
                       field->FieldKind() != fkCalculated && field->fieldCanModify());
        setColWidth(dataToRawColumn(i), column->Showing() ? column->Width() : 0);
    }
    if (indicatorOffset_ > 0)
        setColWidth(0, kIndicatorWidth);
}

int TCustomDBGrid::columnDefaultWidth(const TColumn& column) const {
    TField* field = column.Field();
    if (!field)
        return DefaultColWidth();
    const QFontMetrics metrics(column.Font());
    // Qt's fonts have no overhang: the width of "0" is the whole advance.
    int width = metrics.horizontalAdvance(QLatin1Char('0')) * field->DisplayWidth() + 4;
    if (options_.contains(dgTitles)) {
        const QFontMetrics titleMetrics(column.Title().Font());
        width = std::max(width, titleMetrics.horizontalAdvance(toQt(column.Title().Caption())) + 4);
    }
    return width;
}

void TCustomDBGrid::columnChanged(TColumn* column, bool layout) {
    if (layout || !column) {
        layoutChanged();
        return;
    }
    const int index = columns_.indexOf(column);
    if (index >= 0)
        invalidateCol(dataToRawColumn(index));
}

void TCustomDBGrid::colWidthsChanged() {
    if (!(dataLink_.Active() || columns_.State() == csCustomized))
        return;
    if (layoutLock_ > 0 || updateLock_ > 0)
        return;
    beginLayout();
    try {
        for (int i = indicatorOffset_; i < ColCount(); ++i) {
            TColumn* column = columns_[rawToDataColumn(i)];
            if (column->Showing())
                column->setWidth(colWidth(i));
        }
    } catch (...) {
        endLayout();
        throw;
    }
    endLayout();
}

void TCustomDBGrid::columnMoved(int from, int to) {
    from = rawToDataColumn(from);
    to = rawToDataColumn(to);
    columns_[from]->setIndex(to);
    if (OnColumnMoved)
        OnColumnMoved(this, from, to);
}

bool TCustomDBGrid::checkColumnDrag(int& origin, int& destination, const QPoint& mouse) {
    if (!TCustomGrid::checkColumnDrag(origin, destination, mouse))
        return false;
    destination = std::clamp(destination, indicatorOffset_, ColCount() - 1);
    return true;
}

bool TCustomDBGrid::endColumnDrag(int& origin, int& destination, const QPoint& mouse) {
    if (!TCustomGrid::endColumnDrag(origin, destination, mouse))
        return false;
    collectEdit();
    destination = std::clamp(destination, indicatorOffset_, ColCount() - 1);
    return true;
}

void TCustomDBGrid::sizeChanged() {
    if (updateLock_ == 0)
        updateRowCount();
    updateScrollBar();
    invalidateGrid();
}

void TCustomDBGrid::changeEvent(QEvent* event) {
    TCustomGrid::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        guarded([this] { layoutChanged(); });
}

void TCustomDBGrid::topLeftChanged() {
    TCustomGrid::topLeftChanged();
}

// --- Rows and the current record -------------------------------------------------------------

void TCustomDBGrid::updateRowCount() {
    const int oldRowCount = RowCount();
    if (RowCount() <= titleOffset_)
        setRowCount(titleOffset_ + 1);
    setFixedRows(titleOffset_);
    if (!dataLink_.Active() || dataLink_.recordCount() == 0) {
        setRowCount(1 + titleOffset_);
    } else {
        // The link holds as many records as whole rows fit: only those are ever fetched.
        dataLink_.setBufferCount(visibleRowCount());
        setRowCount(dataLink_.recordCount() + titleOffset_);
        updateActive();
    }
    if (oldRowCount != RowCount())
        invalidateGrid();
}

void TCustomDBGrid::updateActive() {
    if (!dataLink_.Active())
        return;
    const int newRow = dataLink_.activeRecord() + titleOffset_;
    if (Row() != newRow && newRow < RowCount()) {
        if (!options_.contains(dgAlwaysShowEditor))
            hideEditor();
        moveColRow(Col(), newRow, false);
        invalidateEditor();
    }
    TField* field = SelectedField();
    if (field && field->editText() != editText_)
        invalidateEditor();
}

// --- What the data link calls ---------------------------------------------------------------

void TCustomDBGrid::linkActive(bool value) {
    if (isGridDestroying())
        return;
    if (!value) {
        ownInsert_ = false;
        hideEditor();
        // The dataset may free its fields right after: no column keeps one, even while the
        // layout waits for a click or key to end.
        dataLink_.clearMapping();
        for (int i = 0; i < columns_.count(); ++i)
            columns_[i]->setField(nullptr);
    }
    clearSelectedRows();
    layoutChanged();
    updateScrollBar();
    if (value && options_.contains(dgAlwaysShowEditor))
        showEditor();
}

void TCustomDBGrid::dataChanged() {
    followInsertState();
    updateRowCount();
    updateScrollBar();
    updateActive();
    invalidateEditor();
    invalidateGrid();
}

void TCustomDBGrid::scroll(int distance) {
    const int oldRow = Row();
    if (dataLink_.activeRecord() >= RowCount() - titleOffset_)
        updateRowCount();
    updateScrollBar();
    updateActive();
    invalidateRow(oldRow);
    invalidateRow(Row());
    if (distance != 0) {
        hideEditor();
        invalidateGrid();
        if (options_.contains(dgAlwaysShowEditor))
            showEditor();
    }
}

void TCustomDBGrid::recordChanged(TField* field) {
    if (!field) {
        invalidateGrid();
    } else {
        // One field changed: only its columns are drawn again.
        for (int i = 0; i < columns_.count(); ++i)
            if (columns_[i]->Field() == field)
                invalidateCol(dataToRawColumn(i));
    }
    TField* selected = SelectedField();
    if ((!field || selected == field) && selected && selected->editText() != editText_) {
        invalidateEditor();
        if (InplaceEditor())
            InplaceEditor()->deselect();
    }
}

void TCustomDBGrid::editingChanged() {
    followInsertState();
    if (options_.contains(dgIndicator))
        invalidateCol(0);
}

void TCustomDBGrid::updateData() {
    if (TField* field = SelectedField()) {
        field->setEditText(editText_);
        // A text written into a cell of the grid's new row is a value the user gave it, even
        // one equal to what the row began with; an empty text takes it back.
        if (ownInsert_ && field->Index() >= 0) {
            const auto index = static_cast<size_t>(field->Index());
            if (ownRowTyped_.size() <= index)
                ownRowTyped_.resize(index + 1, false);
            ownRowTyped_[index] = !editText_.empty();
        }
    }
}

void TCustomDBGrid::collectEdit() {
    if (!dataLink_.Active())
        return;
    dataLink_.collectPendingEdit();
    if (TDataSet* ds = dataSet(); postsEachCell_ && ds && ds->State() == stateEdit)
        ds->postRecord();
}

// --- Editing -----------------------------------------------------------------------------

namespace {

// Fields whose value is no text: they are edited only through a text-setting handler.
bool isNonTextType(TFieldType type) {
    switch (type) {
    case ftBytes:
    case ftVarBytes:
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftCursor:
    case ftADT:
    case ftArray:
    case ftReference:
    case ftDataSet:
    case ftOraBlob:
    case ftOraClob:
        return true;
    default:
        return false;
    }
}

bool fieldEditable(const TColumn* column) {
    TField* field = column->Field();
    return !column->ReadOnly() && field && field->fieldCanModify() &&
           (!isNonTextType(field->DataType()) || field->OnSetText);
}

} // namespace

bool TCustomDBGrid::canEditShow() const {
    if (layoutLock_ != 0 || !TCustomGrid::canEditShow())
        return false;
    if (!options_.contains(dgEditing) || readOnly_ || !dataLink_.Active() || dataLink_.ReadOnly())
        return false;
    const int index = SelectedIndex();
    return index >= 0 && index < columns_.count() && fieldEditable(columns_[index]);
}

bool TCustomDBGrid::canEditModify() {
    if (readOnly_ || !dataLink_.Active() || dataLink_.ReadOnly())
        return false;
    const int index = SelectedIndex();
    if (index < 0 || index >= columns_.count() || !fieldEditable(columns_[index]))
        return false;
    const bool result = editRecord();
    if (result)
        dataLink_.modified();
    return result;
}

bool TCustomDBGrid::beginCellEdit() {
    return editRecord();
}

bool TCustomDBGrid::canEditAcceptKey(char ch) const {
    TField* field = SelectedField();
    return dataLink_.Active() && field && field->acceptsChar(ch);
}

AnsiString TCustomDBGrid::getEditText(int col, int) {
    AnsiString result;
    const int index = rawToDataColumn(col);
    if (dataLink_.Active() && index >= 0 && index < columns_.count())
        if (TField* field = columns_[index]->Field())
            result = field->editText();
    editText_ = result;
    return result;
}

void TCustomDBGrid::setEditText(int, int, const AnsiString& text) {
    editText_ = text;
}

int TCustomDBGrid::getEditLimit() const {
    if (auto* field = dynamic_cast<TStringField*>(SelectedField()))
        return field->Size();
    return 0;
}

Qt::Alignment TCustomDBGrid::editAlignment() const {
    const int index = SelectedIndex();
    if (index < 0 || index >= columns_.count())
        return Qt::AlignLeft;
    switch (columns_[index]->Alignment()) {
    case taRightJustify:
        return Qt::AlignRight;
    case taCenter:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

} // namespace cibrano
