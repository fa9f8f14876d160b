#include "grid/CustomGrid.h"

#include "grid/InplaceEdit.h"
#include "platform/Timer.h"
#include "platform/UiServices.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace cibrano {

namespace {

std::function<void()>& beepHandler() {
    static std::function<void()> handler;
    return handler;
}

std::function<bool(QWidget*, const AnsiString&)>& questionHandler() {
    static std::function<bool(QWidget*, const AnsiString&)> handler;
    return handler;
}

} // namespace

void setGridBeepHandler(std::function<void()> handler) {
    beepHandler() = std::move(handler);
}

void setGridQuestionHandler(std::function<bool(QWidget*, const AnsiString&)> handler) {
    questionHandler() = std::move(handler);
}

bool askGridQuestion(QWidget* parent, const AnsiString& text) {
    if (questionHandler())
        return questionHandler()(parent, text);
    return QMessageBox::question(parent, toQt(applicationTitle()), toQt(text),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

TCustomGrid::TCustomGrid(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    horizontalScrollBar()->setContextMenuPolicy(Qt::NoContextMenu);
    horizontalScrollBar()->installEventFilter(this);
    verticalScrollBar()->installEventFilter(this);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!settingScroll_)
            guarded([&] { setLeftCol(value); });
    });
    colCount_ = 5;
    rowCount_ = 5;
    fixedCols_ = 1;
    fixedRows_ = 1;
    leftCol_ = 1;
    current_ = {1, 1};
    colWidths_.assign(5, -1);
    tabStops_.assign(5, true);
    gridOptions_ = {goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    timer_ = createTimer();
    timer_->setInterval(60);
    timer_->OnTimer = [this] { guarded([this] { timerTick(); }); };
}

TCustomGrid::~TCustomGrid() {
    destroyEditor();
}

void TCustomGrid::destroyEditor() {
    destroying_ = true;
    if (timer_)
        timer_->setEnabled(false);
    delete inplaceEdit_;
    inplaceEdit_ = nullptr;
}

void TCustomGrid::guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        stopMouseRepeat();
        reportError(e);
        try {
            recoverFromError();
        } catch (const std::exception& again) {
            reportError(again);
        }
    }
}

void TCustomGrid::stopMouseRepeat() {
    try {
        cancelMode();
    } catch (const std::exception&) {
        // The error on its way is the one to show.
    }
    if (QWidget* bar = pressedBar_) {
        // Released where it was pressed: the bar stops repeating and no longer looks held.
        pressedBar_ = nullptr;
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(barPressPos_),
                            QPointF(bar->mapToGlobal(barPressPos_)), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(bar, &release);
    }
}

bool TCustomGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == horizontalScrollBar() || watched == verticalScrollBar()) {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                pressedBar_ = static_cast<QWidget*>(watched);
                barPressPos_ = mouse->position().toPoint();
            }
        } else if (type == QEvent::MouseButtonRelease) {
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                pressedBar_ = nullptr;
        } else if (type == QEvent::Hide) {
            pressedBar_ = nullptr;
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void TCustomGrid::beep() {
    if (beepHandler())
        beepHandler()();
    else
        QApplication::beep();
}

QRect TCustomGrid::clientRect() const {
    return viewport()->rect();
}

// --- Geometry ----------------------------------------------------------------------------

int TCustomGrid::colWidth(int col) const {
    if (col < 0 || col >= colCount_)
        return 0;
    const int w = colWidths_[static_cast<size_t>(col)];
    return w < 0 ? defaultColWidth_ : w;
}

int TCustomGrid::rowHeight(int row) const {
    if (row < 0 || row >= rowCount_)
        return 0;
    if (static_cast<size_t>(row) < rowHeights_.size() && rowHeights_[static_cast<size_t>(row)] >= 0)
        return rowHeights_[static_cast<size_t>(row)];
    return defaultRowHeight_;
}

TCustomGrid::AxisInfo TCustomGrid::horzInfo(int extent) const {
    AxisInfo a;
    a.lineWidth = gridOptions_.contains(goFixedVertLine) || gridOptions_.contains(goVertLine)
                      ? gridLineWidth_
                      : 0;
    a.fixedCount = fixedCols_;
    a.firstCell = leftCol_;
    a.cellCount = colCount_;
    for (int i = 0; i < fixedCols_; ++i)
        if (colWidth(i) > 0)
            a.fixedBoundary += colWidth(i) + a.lineWidth;
    a.gridBoundary = a.fixedBoundary;
    a.lastFullVisible = a.firstCell;
    for (int i = a.firstCell; i < colCount_; ++i) {
        const int w = colWidth(i);
        if (w <= 0)
            continue;
        a.gridBoundary += w + a.lineWidth;
        if (a.gridBoundary > extent + a.lineWidth) {
            a.gridBoundary = extent;
            break;
        }
        a.lastFullVisible = i;
    }
    return a;
}

TCustomGrid::AxisInfo TCustomGrid::vertInfo(int extent) const {
    AxisInfo a;
    a.lineWidth = gridOptions_.contains(goFixedHorzLine) || gridOptions_.contains(goHorzLine)
                      ? gridLineWidth_
                      : 0;
    a.fixedCount = fixedRows_;
    a.firstCell = fixedRows_;
    a.cellCount = rowCount_;
    for (int i = 0; i < fixedRows_; ++i)
        a.fixedBoundary += rowHeight(i) + a.lineWidth;
    a.gridBoundary = a.fixedBoundary;
    a.lastFullVisible = a.firstCell;
    for (int i = a.firstCell; i < rowCount_; ++i) {
        a.gridBoundary += rowHeight(i) + a.lineWidth;
        if (a.gridBoundary > extent + a.lineWidth) {
            a.gridBoundary = extent;
            break;
        }
        a.lastFullVisible = i;
    }
    return a;
}

int TCustomGrid::colLeft(int col) const {
    if (col < 0 || col >= colCount_ || colWidth(col) <= 0)
        return -1;
    const AxisInfo h = horzInfo(viewport()->width());
    int x = 0;
    if (col < fixedCols_) {
        for (int i = 0; i < col; ++i)
            if (colWidth(i) > 0)
                x += colWidth(i) + h.lineWidth;
        return x;
    }
    if (col < leftCol_)
        return -1;
    x = h.fixedBoundary;
    for (int i = leftCol_; i < col; ++i)
        if (colWidth(i) > 0)
            x += colWidth(i) + h.lineWidth;
    return x < viewport()->width() ? x : -1;
}

int TCustomGrid::rowTop(int row) const {
    if (row < 0 || row >= rowCount_)
        return -1;
    const int lw = vertInfo(0).lineWidth;
    int y = 0;
    for (int i = 0; i < row; ++i)
        y += rowHeight(i) + lw;
    return y < viewport()->height() ? y : -1;
}

QRect TCustomGrid::cellRect(int col, int row) const {
    const int x = colLeft(col);
    const int y = rowTop(row);
    if (x < 0 || y < 0)
        return {};
    return QRect(x, y, colWidth(col), rowHeight(row));
}

TGridCoord TCustomGrid::mouseCoord(int x, int y) const {
    const QRect client = clientRect();
    auto calc = [](const AxisInfo& a, int n, auto extentOf) {
        int start;
        int stop;
        int line;
        if (n < a.fixedBoundary) {
            start = 0;
            stop = a.fixedCount - 1;
            line = 0;
        } else {
            start = a.firstCell;
            stop = a.cellCount - 1;
            line = a.fixedBoundary;
        }
        for (int i = start; i <= stop; ++i) {
            const int e = extentOf(i);
            if (e <= 0)
                continue;
            line += e + a.lineWidth;
            if (n < line)
                return i;
        }
        return -1;
    };
    TGridCoord c;
    if (x < 0 || y < 0)
        return {-1, -1};
    c.X = calc(horzInfo(client.width()), x, [this](int i) { return colWidth(i); });
    c.Y = calc(vertInfo(client.height()), y, [this](int i) { return rowHeight(i); });
    if (c.X < 0 || c.Y < 0)
        return {-1, -1};
    return c;
}

int TCustomGrid::visibleRowCount() const {
    const AxisInfo v = vertInfo(0);
    const int pitch = defaultRowHeight_ + v.lineWidth;
    const int room = viewport()->height() - v.fixedBoundary + v.lineWidth;
    return std::max(1, pitch > 0 ? room / pitch : 1);
}

int TCustomGrid::visibleColCount() const {
    const AxisInfo h = horzInfo(viewport()->width());
    int n = 0;
    for (int i = leftCol_; i <= h.lastFullVisible && i < colCount_; ++i)
        if (colWidth(i) > 0)
            ++n;
    return std::max(1, n);
}

bool TCustomGrid::tabStop(int col) const {
    if (col < 0 || col >= colCount_)
        return false;
    return tabStops_[static_cast<size_t>(col)] && colWidth(col) > 0;
}

// --- Layout ----------------------------------------------------------------------------------

void TCustomGrid::setColCount(int count) {
    count = std::max(count, 1);
    if (count == colCount_)
        return;
    colCount_ = count;
    colWidths_.resize(static_cast<size_t>(count), -1);
    tabStops_.resize(static_cast<size_t>(count), true);
    if (fixedCols_ >= count)
        fixedCols_ = count - 1;
    current_.X = std::clamp(current_.X, fixedCols_, count - 1);
    leftCol_ = std::clamp(leftCol_, fixedCols_, count - 1);
    updateScrollRange();
    invalidateGrid();
}

void TCustomGrid::setRowCount(int count) {
    count = std::max(count, 1);
    if (count == rowCount_)
        return;
    rowCount_ = count;
    if (fixedRows_ >= count)
        fixedRows_ = count - 1;
    current_.Y = std::clamp(current_.Y, fixedRows_, count - 1);
    invalidateGrid();
}

void TCustomGrid::setFixedCols(int count) {
    count = std::clamp(count, 0, colCount_ - 1);
    fixedCols_ = count;
    current_.X = std::max(current_.X, fixedCols_);
    leftCol_ = std::max(leftCol_, fixedCols_);
    updateScrollRange();
    invalidateGrid();
}

void TCustomGrid::setFixedRows(int count) {
    count = std::clamp(count, 0, rowCount_ - 1);
    fixedRows_ = count;
    current_.Y = std::max(current_.Y, fixedRows_);
    invalidateGrid();
}

void TCustomGrid::setColWidth(int col, int width) {
    if (col < 0 || col >= colCount_)
        return;
    colWidths_[static_cast<size_t>(col)] = width;
    updateScrollRange();
    invalidateGrid();
}

void TCustomGrid::setRowHeight(int row, int height) {
    if (row < 0)
        return;
    if (static_cast<size_t>(row) >= rowHeights_.size())
        rowHeights_.resize(static_cast<size_t>(row) + 1, -1);
    rowHeights_[static_cast<size_t>(row)] = height;
    invalidateGrid();
}

void TCustomGrid::setDefaultColWidth(int width) {
    defaultColWidth_ = width;
    updateScrollRange();
    invalidateGrid();
}

void TCustomGrid::setDefaultRowHeight(int height) {
    defaultRowHeight_ = std::max(height, 1);
    rowHeights_.clear();
    invalidateGrid();
}

void TCustomGrid::setGridOptions(TGridOptions options) {
    if (options == gridOptions_)
        return;
    gridOptions_ = options;
    if (gridOptions_.contains(goAlwaysShowEditor))
        showEditor();
    else if (!gridOptions_.contains(goEditing))
        hideEditor();
    updateScrollRange();
    invalidateGrid();
}

void TCustomGrid::setTabStop(int col, bool value) {
    if (col >= 0 && col < colCount_)
        tabStops_[static_cast<size_t>(col)] = value;
}

// --- Current cell and scrolling --------------------------------------------------------------

bool TCustomGrid::selectCell(int, int) {
    return true;
}

void TCustomGrid::moveColRow(int col, int row, bool show) {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        return;
    if (!selectCell(col, row))
        return;
    const TGridCoord old = current_;
    current_ = {col, row};
    if (!gridOptions_.contains(goAlwaysShowEditor))
        hideEditor();
    if (show)
        clampInView();
    if (gridOptions_.contains(goRowSelect)) {
        invalidateRow(old.Y);
        invalidateRow(row);
    } else {
        invalidateCell(old.X, old.Y);
        invalidateCell(col, row);
    }
}

void TCustomGrid::focusCell(int col, int row) {
    moveColRow(col, row, true);
    updateEdit();
}

void TCustomGrid::clampInView() {
    if (current_.X < fixedCols_)
        return;
    if (current_.X < leftCol_) {
        setLeftCol(current_.X);
        return;
    }
    const int width = viewport()->width();
    int left = leftCol_;
    while (left < current_.X) {
        int save = leftCol_;
        leftCol_ = left;
        const int last = horzInfo(width).lastFullVisible;
        leftCol_ = save;
        if (current_.X <= last)
            break;
        ++left;
    }
    setLeftCol(left);
}

int TCustomGrid::maxLeftCol() const {
    const AxisInfo h = horzInfo(viewport()->width());
    const int room = viewport()->width() - h.fixedBoundary + h.lineWidth;
    int used = 0;
    int result = colCount_ - 1;
    for (int i = colCount_ - 1; i >= fixedCols_; --i) {
        const int w = colWidth(i);
        if (w <= 0)
            continue;
        if (used + w + h.lineWidth > room)
            break;
        used += w + h.lineWidth;
        result = i;
    }
    return std::max(result, fixedCols_);
}

void TCustomGrid::setLeftCol(int col) {
    col = std::clamp(col, fixedCols_, std::max(fixedCols_, maxLeftCol()));
    if (col == leftCol_) {
        updateScrollRange();
        return;
    }
    leftCol_ = col;
    updateScrollRange();
    invalidateGrid();
    topLeftChanged();
}

void TCustomGrid::topLeftChanged() {
    updateEdit();
}

void TCustomGrid::updateScrollRange() {
    QScrollBar* bar = horizontalScrollBar();
    settingScroll_ = true;
    bar->setRange(fixedCols_, std::max(fixedCols_, maxLeftCol()));
    bar->setPageStep(visibleColCount());
    bar->setSingleStep(1);
    bar->setValue(leftCol_);
    settingScroll_ = false;
}

void TCustomGrid::scrollContentsBy(int, int) {
    // Both bars are the grid's own business: the horizontal one sets the left column, the
    // vertical one belongs to derived grids.
}

// --- Invalidation ----------------------------------------------------------------------------

void TCustomGrid::invalidateCell(int col, int row) {
    const QRect r = cellRect(col, row);
    if (!r.isEmpty())
        viewport()->update(r.adjusted(-1, -1, 1, 1));
}

void TCustomGrid::invalidateCol(int col) {
    const QRect r = cellRect(col, 0);
    const int x = colLeft(col);
    if (x < 0)
        return;
    viewport()->update(QRect(x - 1, 0, colWidth(col) + 2, viewport()->height()));
    (void)r;
}

void TCustomGrid::invalidateRow(int row) {
    const int y = rowTop(row);
    if (y < 0)
        return;
    viewport()->update(QRect(0, y - 1, viewport()->width(), rowHeight(row) + 2));
}

void TCustomGrid::invalidateGrid() {
    viewport()->update();
}

} // namespace cibrano
