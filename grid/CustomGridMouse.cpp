// The mouse: clicks on cells, dragging a column border to resize the column, dragging a title
// to move its column (with the 60 ms timer that scrolls while the mouse is beyond an edge).

#include "grid/CustomGrid.h"

#include "platform/Timer.h"

#include <QMouseEvent>

#include <algorithm>

namespace cibrano {

namespace {

Qt::KeyboardModifiers keyModifiers(const QMouseEvent* event) {
    return event->modifiers() &
           (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

} // namespace

void TCustomGrid::mousePressEvent(QMouseEvent* event) {
    event->accept();
    const QPoint p = event->position().toPoint();
    lastMouse_ = p;
    guarded([&] { mouseDown(event->button(), keyModifiers(event), p.x(), p.y(), false); });
}

void TCustomGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    const QPoint p = event->position().toPoint();
    lastMouse_ = p;
    guarded([&] { mouseDown(event->button(), keyModifiers(event), p.x(), p.y(), true); });
}

void TCustomGrid::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    const QPoint p = event->position().toPoint();
    lastMouse_ = p;
    guarded([&] { mouseMove(event->buttons(), keyModifiers(event), p.x(), p.y()); });
}

void TCustomGrid::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const QPoint p = event->position().toPoint();
    lastMouse_ = p;
    guarded([&] { mouseUp(event->button(), keyModifiers(event), p.x(), p.y()); });
}

void TCustomGrid::calcSizingState(int x, int y, TGridState& state, int& index, int& sizingPos,
                                  int& sizingOfs) const {
    state = gsNormal;
    index = -1;
    if (!gridOptions_.contains(goColSizing))
        return;
    const QRect client = clientRect();
    const AxisInfo h = horzInfo(client.width());
    const AxisInfo v = vertInfo(client.height());
    // Borders can be dragged in the title rows only, beyond the fixed columns.
    if (y >= v.fixedBoundary || x < h.fixedBoundary)
        return;
    int range = h.lineWidth;
    int back = 0;
    if (range < 7) {
        range = 7;
        back = (range - h.lineWidth) / 2;
    }
    int line = h.fixedBoundary;
    for (int i = leftCol_; i < colCount_; ++i) {
        const int w = colWidth(i);
        if (w <= 0)
            continue;
        line += w;
        if (line > h.gridBoundary)
            break;
        if (x >= line - back && x <= line - back + range) {
            state = gsColSizing;
            index = i;
            sizingPos = line;
            sizingOfs = line - x;
            return;
        }
        line += h.lineWidth;
    }
}

bool TCustomGrid::sizing(int x, int y) const {
    TGridState state;
    int index;
    int pos = 0;
    int ofs = 0;
    calcSizingState(x, y, state, index, pos, ofs);
    return state != gsNormal;
}

void TCustomGrid::mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y,
                            bool doubleClick) {
    if (focusPolicy() != Qt::NoFocus && isEnabled()) {
        setFocus(Qt::MouseFocusReason);
        if (!isActiveControl())
            return;
    }
    if (button == Qt::LeftButton && doubleClick) {
        dblClick();
        return;
    }
    if (button != Qt::LeftButton)
        return;
    calcSizingState(x, y, gridState_, sizingIndex_, sizingPos_, sizingOfs_);
    if (gridState_ != gsNormal) {
        viewport()->update();
        return;
    }
    const TGridCoord hit = mouseCoord(x, y);
    if (hit.X >= fixedCols_ && hit.Y >= fixedRows_) {
        if (hit.X == current_.X && hit.Y == current_.Y && gridOptions_.contains(goEditing))
            startEditor();
        else
            focusCell(hit.X, hit.Y);
    } else if (gridOptions_.contains(goColMoving) && hit.Y >= 0 && hit.Y < fixedRows_ &&
               hit.X >= fixedCols_) {
        moveIndex_ = hit.X;
        movePos_ = hit.X;
        if (beginColumnDrag(moveIndex_, movePos_, QPoint(x, y))) {
            gridState_ = gsColMoving;
            timer_->setEnabled(true);
            viewport()->update();
        }
    }
}

void TCustomGrid::mouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
    switch (gridState_) {
    case gsColSizing:
        sizingPos_ = x + sizingOfs_;
        viewport()->update();
        break;
    case gsColMoving: {
        // Only the horizontal position matters while a column is dragged.
        const TGridCoord column = mouseCoord(x, 0);
        if (column.X >= fixedCols_ && column.X != movePos_) {
            int destination = column.X;
            if (checkColumnDrag(moveIndex_, destination, QPoint(x, y))) {
                movePos_ = destination;
                viewport()->update();
            }
        }
        break;
    }
    default:
        viewport()->setCursor(sizing(x, y) ? Qt::SplitHCursor : Qt::ArrowCursor);
        break;
    }
}

void TCustomGrid::mouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
    const TGridState state = gridState_;
    gridState_ = gsNormal;
    switch (state) {
    case gsColSizing: {
        const int left = colLeft(sizingIndex_);
        const int newSize = sizingPos_ - left;
        viewport()->update();
        if (left >= 0 && newSize > 1) {
            setColWidth(sizingIndex_, newSize);
            colWidthsChanged();
        }
        break;
    }
    case gsColMoving: {
        stopTimer();
        viewport()->update();
        int origin = moveIndex_;
        int destination = movePos_;
        if (endColumnDrag(origin, destination, QPoint(x, y)) && origin != destination) {
            // The widths travel with their columns; the current column follows its column.
            const int width = colWidths_[static_cast<size_t>(origin)];
            const bool stop = tabStops_[static_cast<size_t>(origin)];
            colWidths_.erase(colWidths_.begin() + origin);
            colWidths_.insert(colWidths_.begin() + destination, width);
            tabStops_.erase(tabStops_.begin() + origin);
            tabStops_.insert(tabStops_.begin() + destination, stop);
            if (current_.X == origin)
                current_.X = destination;
            else if (origin < current_.X && destination >= current_.X)
                --current_.X;
            else if (origin > current_.X && destination <= current_.X)
                ++current_.X;
            columnMoved(origin, destination);
            updateScrollRange();
            invalidateGrid();
        }
        break;
    }
    default:
        break;
    }
}

bool TCustomGrid::beginColumnDrag(int&, int&, const QPoint&) {
    return true;
}

bool TCustomGrid::checkColumnDrag(int&, int&, const QPoint&) {
    return true;
}

bool TCustomGrid::endColumnDrag(int&, int&, const QPoint&) {
    return true;
}

void TCustomGrid::columnMoved(int, int) {}

void TCustomGrid::timerTick() {
    if (gridState_ != gsColMoving) {
        stopTimer();
        return;
    }
    const TGridCoord hit = mouseCoord(lastMouse_.x(), 0);
    moveAndScroll(lastMouse_.x(), hit.X);
}

void TCustomGrid::moveAndScroll(int mouse, int cellHit) {
    const QRect client = clientRect();
    const AxisInfo h = horzInfo(client.width());
    int destination = movePos_;
    if (mouse < h.fixedBoundary && leftCol_ > fixedCols_) {
        setLeftCol(leftCol_ - 1);
        destination = leftCol_;
    } else if (mouse >= client.width() && leftCol_ < maxLeftCol()) {
        setLeftCol(leftCol_ + 1);
        destination = horzInfo(client.width()).lastFullVisible;
    } else if (cellHit >= fixedCols_) {
        destination = cellHit;
    }
    if (destination != movePos_ && checkColumnDrag(moveIndex_, destination, lastMouse_)) {
        movePos_ = destination;
        viewport()->update();
    }
}

void TCustomGrid::stopTimer() {
    if (timer_)
        timer_->setEnabled(false);
}

void TCustomGrid::cancelMode() {
    stopTimer();
    if (gridState_ != gsNormal)
        viewport()->update();
    gridState_ = gsNormal;
    mouseCapture_ = false;
}

} // namespace cibrano
