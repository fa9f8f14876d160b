#include "grid/CustomGrid.h"

#include "grid/InplaceEdit.h"
#include "platform/Timer.h"
#include "platform/UiServices.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMessageBox>
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
        reportError(e);
        try {
            recoverFromError();
        } catch (const std::exception& again) {
            reportError(again);
        }
    }
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

// --- The in-place editor ---------------------------------------------------------------------

bool TCustomGrid::canEditAcceptKey(char) const {
    return true;
}

bool TCustomGrid::canEditModify() {
    return true;
}

bool TCustomGrid::canEditShow() const {
    return gridOptions_.contains(goEditing) && !gridOptions_.contains(goRowSelect) &&
           (gridOptions_.contains(goAlwaysShowEditor) || isActiveControl());
}

AnsiString TCustomGrid::getEditText(int, int) {
    return {};
}

void TCustomGrid::setEditText(int, int, const AnsiString&) {}

void TCustomGrid::doKeyDownEvent(int&, Qt::KeyboardModifiers) {}

bool TCustomGrid::isActiveControl() const {
    const QWidget* focused = QApplication::focusWidget();
    if (!focused || (window() && !window()->isActiveWindow()))
        focused = window() ? window()->focusWidget() : nullptr;
    return focused && (focused == this || (inplaceEdit_ && focused == inplaceEdit_));
}

void TCustomGrid::setEditorMode(bool value) {
    if (value)
        startEditor();
    else
        hideEditor();
}

void TCustomGrid::showEditor() {
    editorMode_ = true;
    updateEdit();
}

bool TCustomGrid::startEditor() {
    if (canEditShow() && !(inplaceEdit_ && inplaceEdit_->isVisible()) && !beginCellEdit())
        return false;
    showEditor();
    return true;
}

void TCustomGrid::hideEditor() {
    editorMode_ = false;
    hideEdit();
}

void TCustomGrid::ensureEditor() {
    if (inplaceEdit_)
        return;
    inplaceEdit_ = new TInplaceEdit(this, viewport());
    inplaceEdit_->hide();
}

void TCustomGrid::updateEdit() {
    if (!editorMode_ || !canEditShow())
        return;
    if (!inplaceEdit_) {
        ensureEditor();
        inplaceCol_ = current_.X;
        inplaceRow_ = current_.Y;
        inplaceEdit_->updateContents();
        inplaceEdit_->selectAll();
    } else if (current_.X != inplaceCol_ || current_.Y != inplaceRow_) {
        hideEdit();
        inplaceCol_ = current_.X;
        inplaceRow_ = current_.Y;
        inplaceEdit_->updateContents();
        inplaceEdit_->selectAll();
    }
    if (canEditShow())
        inplaceEdit_->moveTo(cellRect(current_.X, current_.Y));
}

void TCustomGrid::updateText() {
    if (inplaceEdit_ && inplaceCol_ != -1 && inplaceRow_ != -1)
        setEditText(inplaceCol_, inplaceRow_, inplaceEdit_->ansiText());
}

void TCustomGrid::hideEdit() {
    if (!inplaceEdit_)
        return;
    auto finish = [this] {
        inplaceCol_ = -1;
        inplaceRow_ = -1;
        if (inplaceEdit_->isVisible()) {
            if (inplaceEdit_->hasFocus()) {
                // Hiding a focused editor would send the focus on to the next control.
                movingFocus_ = true;
                setFocus(Qt::OtherFocusReason);
                movingFocus_ = false;
            }
            inplaceEdit_->hide();
            invalidateCell(current_.X, current_.Y);
        }
    };
    try {
        updateText();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TCustomGrid::invalidateEditor() {
    inplaceCol_ = -1;
    inplaceRow_ = -1;
    updateEdit();
}

// --- Keyboard --------------------------------------------------------------------------------

void TCustomGrid::keyDown(int& key, Qt::KeyboardModifiers) {
    int col = current_.X;
    int row = current_.Y;
    switch (key) {
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    case Qt::Key_Left:
        --col;
        break;
    case Qt::Key_Right:
        ++col;
        break;
    case Qt::Key_Home:
        col = fixedCols_;
        break;
    case Qt::Key_End:
        col = colCount_ - 1;
        break;
    case Qt::Key_F2:
        startEditor();
        return;
    default:
        return;
    }
    col = std::clamp(col, fixedCols_, colCount_ - 1);
    row = std::clamp(row, fixedRows_, rowCount_ - 1);
    if (col != current_.X || row != current_.Y)
        focusCell(col, row);
}

void TCustomGrid::keyPress(char& ch) {
    if (!gridOptions_.contains(goAlwaysShowEditor) && ch == '\r') {
        if (editorMode_)
            hideEditor();
        else
            startEditor();
        ch = 0;
    }
}

void TCustomGrid::charOnGrid(char ch) {
    if (!gridOptions_.contains(goEditing))
        return;
    if (ch != '\b' && static_cast<unsigned char>(ch) < 32)
        return;
    if (!startEditor())
        return;
    if (inplaceEdit_ && inplaceEdit_->isVisible())
        inplaceEdit_->typeChar(ch);
}

bool TCustomGrid::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(event);
        if ((k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) &&
            gridOptions_.contains(goTabs) &&
            !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            keyPressEvent(k);
            return true;
        }
        break;
    }
    case QEvent::WindowDeactivate:
    case QEvent::Hide:
    case QEvent::UngrabMouse:
        if (gridState_ != gsNormal || mouseCapture_)
            guarded([this] { cancelMode(); });
        break;
    default:
        break;
    }
    return QAbstractScrollArea::event(event);
}

void TCustomGrid::keyPressEvent(QKeyEvent* event) {
    event->accept();
    guarded([&] {
        int key = event->key();
        if (key == Qt::Key_Backtab)
            key = Qt::Key_Tab;
        const Qt::KeyboardModifiers modifiers =
            event->modifiers() &
            (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        keyDown(key, modifiers);
        if (key == 0)
            return;
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            char ch = '\r';
            keyPress(ch);
            return;
        }
        if (key == Qt::Key_Backspace) {
            char ch = '\b';
            keyPress(ch);
            if (ch)
                charOnGrid(ch);
            return;
        }
        if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return;
        const QString text = event->text();
        if (text.isEmpty() || text.at(0).unicode() < 32 || text.at(0).unicode() == 127)
            return;
        char byte = 0;
        if (text.size() != 1 || !ansiCharFromQt(text.at(0), byte)) {
            beep();
            return;
        }
        keyPress(byte);
        if (byte)
            charOnGrid(byte);
    });
}

void TCustomGrid::tabOutOfEditor(bool forward) {
    // The next control of the window that takes the Tab key, outside the grid and its editor
    // (the editor is created late, so its place in the focus chain says nothing).
    QWidget* w = this;
    while (true) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == this)
            break;
        if (!isAncestorOf(w) && w->window() == window() && (w->focusPolicy() & Qt::TabFocus) &&
            w->isVisible() && w->isEnabled()) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
    setFocus(Qt::TabFocusReason);
}

bool TCustomGrid::focusNextPrevChild(bool next) {
    if (isActiveControl()) {
        tabOutOfEditor(next);
        return true;
    }
    return QAbstractScrollArea::focusNextPrevChild(next);
}

// --- Focus -----------------------------------------------------------------------------------

void TCustomGrid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    editorFocusIn();
    invalidateCell(current_.X, current_.Y);
    if (!movingFocus_)
        guarded([this] { updateEdit(); });
}

void TCustomGrid::editorFocusIn() {
    if (focusInside_ || destroying_)
        return;
    focusInside_ = true;
    guarded([this] { focusEnter(); });
}

void TCustomGrid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    invalidateCell(current_.X, current_.Y);
    checkFocusExit(event->reason());
}

void TCustomGrid::editorFocusOut(QFocusEvent* event) {
    invalidateCell(current_.X, current_.Y);
    checkFocusExit(event->reason());
}

void TCustomGrid::checkFocusExit(Qt::FocusReason reason) {
    if (destroying_)
        return;
    const QWidget* now = QApplication::focusWidget();
    if (now == this || (inplaceEdit_ && now == inplaceEdit_))
        return;
    if (gridState_ != gsNormal || mouseCapture_)
        guarded([this] { cancelMode(); });
    // Another window or a popup took the focus: the grid keeps it within its own window.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return;
    if (!focusInside_)
        return;
    focusInside_ = false;
    if (inplaceEdit_ && inplaceEdit_->isVisible())
        inplaceEdit_->hide();
    focusExit();
}

void TCustomGrid::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange)
        invalidateGrid();
}

void TCustomGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    guarded([this] {
        updateScrollRange();
        setLeftCol(leftCol_);
        sizeChanged();
        updateEdit();
    });
}

void TCustomGrid::recoverFromError() {
    stopTimer();
    gridState_ = gsNormal;
    mouseCapture_ = false;
    invalidateGrid();
}

} // namespace cibrano
