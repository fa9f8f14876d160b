// The data grid's drawing (titles, the indicator, data cells through the fields' display
// texts) and its vertical scroll bar, which shows the dataset's position.

#include "grid/CustomDBGrid.h"

#include "dataset/DataSet.h"
#include "dataset/Field.h"
#include "grid/GridImages.h"
#include "platform/qt/QtText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace cibrano {

// --- Drawing ---------------------------------------------------------------------------------

void TCustomDBGrid::writeText(QPainter& painter, const QRect& rect, const QString& text,
                              TAlignment alignment, int dx, int dy) {
    const QFontMetrics metrics(painter.font());
    const int width = metrics.horizontalAdvance(text);
    int x;
    switch (alignment) {
    case taRightJustify:
        x = rect.left() + rect.width() - width - dx - 1;
        break;
    case taCenter:
        x = rect.left() + (rect.width() - width) / 2;
        break;
    default:
        x = rect.left() + dx;
        break;
    }
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.drawText(QPoint(x, rect.top() + dy + metrics.ascent()), text);
    painter.restore();
}

void TCustomDBGrid::drawCell(QPainter& painter, int col, int row, const QRect& rect,
                             TGridDrawState state) {
    if (row < titleOffset_) {
        if (col >= indicatorOffset_)
            drawTitleCell(painter, col, row, rect, state);
        return;
    }
    if (col < indicatorOffset_) {
        drawIndicator(painter, row, rect);
        return;
    }
    drawDataCell(painter, col, row, rect, state);
}

void TCustomDBGrid::drawTitleCell(QPainter& painter, int col, int, const QRect& rect,
                                  TGridDrawState) {
    const int index = rawToDataColumn(col);
    if (index < 0 || index >= columns_.count())
        return;
    const TColumn& column = *columns_[index];
    const bool bothLines = options_.contains(dgRowLines) && options_.contains(dgColLines);
    QRect r = rect;
    if (bothLines)
        r.adjust(1, 1, -1, -1);
    painter.fillRect(r, column.Title().Color());
    drawTitleText(painter, r, column, false, 1);
}

void TCustomDBGrid::drawTitleText(QPainter& painter, const QRect& rect, const TColumn& column,
                                  bool pressed, int) {
    painter.setFont(column.Title().Font());
    painter.setPen(isEnabled() ? palette().color(QPalette::WindowText)
                               : palette().color(QPalette::Disabled, QPalette::WindowText));
    QRect r = rect;
    if (pressed)
        r.translate(1, 1);
    const QFontMetrics metrics(painter.font());
    const int dy = std::max(0, (r.height() - metrics.height()) / 2);
    writeText(painter, r, toQt(column.Title().Caption()), column.Title().Alignment(), 1, dy);
}

int TCustomDBGrid::indicatorImageOf(int row) const {
    TDataSet* ds = dataSet();
    if (!dataLink_.Active() || !ds || row - titleOffset_ != dataLink_.activeRecord())
        return -1;
    switch (ds->State()) {
    case stateEdit:
        return 1;
    case stateInsert:
        return 2;
    case stateBrowse:
        return currentRowSelected() ? 4 : 0;
    default:
        return 0;
    }
}

void TCustomDBGrid::drawIndicator(QPainter& painter, int row, const QRect& rect) {
    if (!dataLink_.Active())
        return;
    int image = indicatorImageOf(row);
    if (image < 0 && options_.contains(dgMultiSelect) && !selectedRows_.empty() &&
        row - titleOffset_ < dataLink_.recordCount()) {
        // Rows selected in a multi-selection show a dot.
        const int saved = dataLink_.activeRecord();
        dataLink_.setActiveRecord(row - titleOffset_);
        const bool selected = currentRowSelected();
        dataLink_.setActiveRecord(saved);
        if (selected)
            image = 3;
    }
    if (image < 0)
        return;
    const QPixmap& pixmap = indicatorImage(image);
    // With both kinds of lines the image keeps clear of the raised border.
    const int frame = options_.contains(dgRowLines) && options_.contains(dgColLines) ? 1 : 0;
    const int x = rect.left() + rect.width() - pixmap.width() - frame;
    const int y = rect.top() + (rect.height() - pixmap.height()) / 2;
    painter.drawPixmap(x, y, pixmap);
}

bool TCustomDBGrid::highlightCell(int, int row, TGridDrawState state) const {
    if (options_.contains(dgMultiSelect) && dataLink_.Active() && !selectedRows_.empty() &&
        row - titleOffset_ < dataLink_.recordCount()) {
        auto& link = const_cast<TGridDataLink&>(dataLink_);
        const int saved = link.activeRecord();
        link.setActiveRecord(row - titleOffset_);
        const bool selected = currentRowSelected();
        link.setActiveRecord(saved);
        if (selected)
            return true;
    }
    return state.contains(gdSelected) &&
           (options_.contains(dgAlwaysShowSelection) || isActiveControl()) &&
           (updateLock_ == 0 || options_.contains(dgRowSelect));
}

void TCustomDBGrid::drawDataCell(QPainter& painter, int col, int row, const QRect& rect,
                                 TGridDrawState state) {
    const int index = rawToDataColumn(col);
    if (index < 0 || index >= columns_.count())
        return;
    const TColumn& column = *columns_[index];
    const bool highlight = highlightCell(col, row, state);
    painter.fillRect(rect, highlight ? palette().color(QPalette::Highlight) : column.Color());
    QColor text = palette().color(QPalette::Text);
    if (highlight)
        text = palette().color(QPalette::HighlightedText);
    if (!isEnabled())
        text = palette().color(QPalette::Disabled, QPalette::Text);
    TField* field = column.Field();
    const int record = row - titleOffset_;
    if (!dataLink_.Active() || !field || record >= dataLink_.recordCount())
        return;
    // The cell's row becomes the link's active record just long enough to read the text.
    const int saved = dataLink_.activeRecord();
    AnsiString value;
    dataLink_.setActiveRecord(record);
    try {
        value = field->displayText();
    } catch (const std::exception&) {
        // A text handler that fails leaves the cell empty; painting must go on.
        value.clear();
    }
    dataLink_.setActiveRecord(saved);
    painter.setFont(column.Font());
    painter.setPen(text);
    writeText(painter, rect, toQt(value), column.Alignment());
}

// --- The vertical scroll bar -----------------------------------------------------------------

void TCustomDBGrid::updateScrollBar() {
    ScrollInfo info;
    TDataSet* ds = dataSet();
    if (dataLink_.Active() && ds) {
        info = scrollInfo_;
        if (ds->isSequenced()) {
            info.min = 1;
            info.page = visibleRowCount();
            info.max = ds->recordCount() + info.page - 1;
            // While a record is inserted the bar stays where it was.
            const DatasetState state = ds->State();
            if (state == stateInactive || state == stateBrowse || state == stateEdit)
                info.pos = ds->recordNumber();
        } else {
            info.min = 0;
            info.page = 0;
            info.max = 4;
            info.pos = ds->atBeginning() ? 0 : ds->atEnd() ? 4 : 2;
        }
    }
    if (info == scrollInfo_)
        return;
    scrollInfo_ = info;
    ++scrollBarWrites_;
    showScrollInfo();
}

void TCustomDBGrid::showScrollInfo() {
    // Windows counts the page inside the maximum; Qt's maximum is the last position the
    // bar's top can take.
    QScrollBar* bar = verticalScrollBar();
    const ScrollInfo& info = scrollInfo_;
    const int maximum = std::max(info.min, info.max - std::max(0, info.page - 1));
    const QSignalBlocker block(bar);
    bar->setRange(info.min, maximum);
    bar->setPageStep(std::max(1, info.page));
    bar->setSingleStep(1);
    bar->setValue(info.pos);
    bar->setSliderPosition(info.pos);
}

void TCustomDBGrid::scrollBarAction(int action) {
    guarded([&] {
        if (!acquireFocus() || !dataLink_.Active())
            return;
        TDataSet* ds = dataSet();
        switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            // To the record just above the first row.
            dataLink_.moveByDistance(-dataLink_.activeRecord() - 1);
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            // To the record just below the last buffered row.
            dataLink_.moveByDistance(dataLink_.recordCount() - dataLink_.activeRecord());
            break;
        case QAbstractSlider::SliderPageStepSub:
            dataLink_.moveByDistance(-visibleRowCount());
            break;
        case QAbstractSlider::SliderPageStepAdd:
            dataLink_.moveByDistance(visibleRowCount());
            break;
        case QAbstractSlider::SliderToMinimum:
            ds->moveFirst();
            break;
        case QAbstractSlider::SliderToMaximum:
            ds->moveLast();
            break;
        default:
            break;
        }
    });
    // The bar shows the dataset's position, not where the action would have put it.
    verticalScrollBar()->setSliderPosition(scrollInfo_.pos);
}

void TCustomDBGrid::scrollBarReleased() {
    QScrollBar* bar = verticalScrollBar();
    const int track = bar->sliderPosition();
    guarded([&] {
        if (!acquireFocus() || !dataLink_.Active())
            return;
        TDataSet* ds = dataSet();
        if (ds->isSequenced()) {
            if (track <= 1)
                ds->moveFirst();
            else if (track >= ds->recordCount())
                ds->moveLast();
            else
                ds->moveToRecordNumber(track);
        } else {
            switch (track) {
            case 0:
                ds->moveFirst();
                break;
            case 1:
                dataLink_.moveByDistance(-visibleRowCount());
                break;
            case 3:
                dataLink_.moveByDistance(visibleRowCount());
                break;
            case 4:
                ds->moveLast();
                break;
            default:
                break;
            }
        }
    });
    const QSignalBlocker block(bar);
    bar->setValue(scrollInfo_.pos);
    bar->setSliderPosition(scrollInfo_.pos);
}

} // namespace cibrano
