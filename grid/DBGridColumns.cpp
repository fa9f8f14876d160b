#include "grid/DBGridColumns.h"

#include "dataset/DataSet.h"
#include "dataset/Field.h"
#include "grid/CustomDBGrid.h"

#include <algorithm>

namespace cibrano {

// --- TColumnTitle ------------------------------------------------------------------------

AnsiString TColumnTitle::Caption() const {
    if (caption_)
        return *caption_;
    if (TField* field = column_->Field())
        return field->displayName();
    return column_->FieldName();
}

void TColumnTitle::setCaption(const AnsiString& caption) {
    caption_ = caption;
    column_->changed(false);
}

void TColumnTitle::setAlignment(TAlignment alignment) {
    alignment_ = alignment;
    column_->changed(false);
}

QColor TColumnTitle::Color() const {
    if (color_)
        return *color_;
    TCustomDBGrid* grid = column_->Grid();
    return grid ? grid->fixedColor() : QColor(240, 240, 240);
}

void TColumnTitle::setColor(const QColor& color) {
    color_ = color;
    column_->changed(false);
}

QFont TColumnTitle::Font() const {
    if (font_)
        return *font_;
    TCustomDBGrid* grid = column_->Grid();
    return grid ? grid->TitleFont() : QFont();
}

void TColumnTitle::setFont(const QFont& font) {
    font_ = font;
    column_->changed(true);
}

void TColumnTitle::restoreDefaults() {
    caption_.reset();
    alignment_.reset();
    color_.reset();
    font_.reset();
}

// --- TColumn -------------------------------------------------------------------------------

TColumn::TColumn(TDBGridColumns* collection) : collection_(collection), title_(this) {}

TColumn::~TColumn() = default;

TCustomDBGrid* TColumn::Grid() const {
    return collection_ ? collection_->Grid() : nullptr;
}

void TColumn::setFieldName(const AnsiString& name) {
    if (fieldName_ == name)
        return;
    fieldName_ = name;
    field_ = nullptr;
    changed(true);
}

int TColumn::Width() const {
    return width_ ? *width_ : defaultWidth();
}

void TColumn::setWidth(int width) {
    if (width_ && *width_ == width)
        return;
    width_ = width;
    changed(true);
}

int TColumn::defaultWidth() const {
    TCustomDBGrid* grid = Grid();
    if (!grid)
        return 64;
    return grid->columnDefaultWidth(*this);
}

void TColumn::setVisible(bool value) {
    if (visible_ == value)
        return;
    visible_ = value;
    changed(true);
}

void TColumn::setReadOnly(bool value) {
    if (readOnly_ == value)
        return;
    readOnly_ = value;
    changed(true);
}

TAlignment TColumn::Alignment() const {
    if (alignment_)
        return *alignment_;
    return field_ ? field_->Alignment() : taLeftJustify;
}

void TColumn::setAlignment(TAlignment alignment) {
    alignment_ = alignment;
    changed(false);
}

QColor TColumn::Color() const {
    if (color_)
        return *color_;
    TCustomDBGrid* grid = Grid();
    return grid ? grid->gridColor() : QColor(255, 255, 255);
}

void TColumn::setColor(const QColor& color) {
    color_ = color;
    changed(false);
}

QFont TColumn::Font() const {
    if (font_)
        return *font_;
    TCustomDBGrid* grid = Grid();
    return grid ? grid->font() : QFont();
}

void TColumn::setFont(const QFont& font) {
    font_ = font;
    changed(true);
}

int TColumn::Index() const {
    return collection_ ? collection_->indexOf(this) : -1;
}

void TColumn::setIndex(int index) {
    if (collection_)
        collection_->move(Index(), index);
}

void TColumn::restoreDefaults() {
    width_.reset();
    alignment_.reset();
    color_.reset();
    font_.reset();
    readOnly_ = false;
    visible_ = true;
    title_.restoreDefaults();
    changed(true);
}

void TColumn::changed(bool layout) {
    if (collection_)
        collection_->changed(this, layout);
}

// --- TDBGridColumns --------------------------------------------------------------------------

TDBGridColumns::~TDBGridColumns() {
    grid_ = nullptr; // no layout while the grid goes
    items_.clear();
}

TColumn* TDBGridColumns::add() {
    beginUpdate();
    if (State() == csDefault)
        items_.clear(); // configured columns replace the ones made from the fields
    items_.push_back(std::make_unique<TColumn>(this));
    TColumn* column = items_.back().get();
    pendingLayout_ = true;
    endUpdate();
    return column;
}

TColumn* TDBGridColumns::internalAdd() {
    items_.push_back(std::make_unique<TColumn>(this));
    items_.back()->stored_ = false;
    return items_.back().get();
}

int TDBGridColumns::indexOf(const TColumn* column) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == column)
            return static_cast<int>(i);
    return -1;
}

void TDBGridColumns::remove(TColumn* column) {
    const int index = indexOf(column);
    if (index < 0)
        return;
    items_.erase(items_.begin() + index);
    changed(nullptr, true);
}

void TDBGridColumns::clear() {
    if (items_.empty())
        return;
    items_.clear();
    changed(nullptr, true);
}

void TDBGridColumns::move(int from, int to) {
    const int n = count();
    if (from < 0 || from >= n)
        return;
    to = std::clamp(to, 0, n - 1);
    if (from == to)
        return;
    auto column = std::move(items_[static_cast<size_t>(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(column));
    changed(nullptr, true);
}

TDBGridColumnsState TDBGridColumns::State() const {
    return !items_.empty() && items_.front()->stored_ ? csCustomized : csDefault;
}

void TDBGridColumns::setState(TDBGridColumnsState state) {
    if (state == State())
        return;
    beginUpdate();
    if (state == csDefault) {
        items_.clear();
    } else {
        for (auto& column : items_)
            column->stored_ = true;
    }
    pendingLayout_ = true;
    endUpdate();
}

void TDBGridColumns::rebuildColumns() {
    beginUpdate();
    items_.clear();
    TDataSet* ds = grid_ ? grid_->dataSet() : nullptr;
    if (ds) {
        for (int i = 0; i < ds->fieldCount(); ++i) {
            TField* field = ds->Fields()[i];
            if (!field->Visible())
                continue;
            items_.push_back(std::make_unique<TColumn>(this));
            items_.back()->fieldName_ = field->FieldName();
        }
    }
    pendingLayout_ = true;
    endUpdate();
}

void TDBGridColumns::restoreDefaults() {
    beginUpdate();
    for (auto& column : items_)
        column->restoreDefaults();
    endUpdate();
}

void TDBGridColumns::beginUpdate() {
    ++updateCount_;
}

void TDBGridColumns::endUpdate() {
    if (updateCount_ == 0)
        return;
    if (--updateCount_ > 0)
        return;
    if (pendingLayout_) {
        pendingLayout_ = false;
        if (grid_)
            grid_->columnChanged(nullptr, true);
    }
}

void TDBGridColumns::changed(TColumn* column, bool layout) {
    if (updateCount_ > 0) {
        pendingLayout_ = true;
        return;
    }
    if (grid_)
        grid_->columnChanged(column, layout);
}

} // namespace cibrano
