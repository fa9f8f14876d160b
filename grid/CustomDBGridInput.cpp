// The data grid's input: keys, mouse clicks, the mouse wheel, leaving the grid, and the
// multi-selection of rows.

#include "grid/CustomDBGrid.h"

#include "dataset/DataSet.h"
#include "grid/GridConsts.h"
#include "grid/InplaceEdit.h"
#include "platform/RunThenAlways.h"
#include "platform/UiServices.h"

#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>

namespace cibrano {

bool TCustomDBGrid::acquireFocus() {
    if (focusPolicy() == Qt::NoFocus || !isEnabled() || !isVisible())
        return isActiveControl();
    if (!isActiveControl())
        setFocus(Qt::MouseFocusReason);
    return isActiveControl();
}

bool TCustomDBGrid::canModifyDataSet() const {
    TDataSet* ds = dataSet();
    return ds && ds->canModify() && !readOnly_ && options_.contains(dgEditing);
}

void TCustomDBGrid::doKeyDownEvent(int& key, Qt::KeyboardModifiers modifiers) {
    if (OnKeyDown)
        OnKeyDown(this, key, modifiers);
}

// --- Keys ------------------------------------------------------------------------------------

void TCustomDBGrid::keyDown(int& key, Qt::KeyboardModifiers modifiers) {
    doKeyDownEvent(key, modifiers);
    if (key == 0 || !dataLink_.Active())
        return;
    if (layoutDirection() == Qt::RightToLeft) {
        if (key == Qt::Key_Left)
            key = Qt::Key_Right;
        else if (key == Qt::Key_Right)
            key = Qt::Key_Left;
    }
    TDataSet* ds = dataSet();
    const bool rowSelect = options_.contains(dgRowSelect);
    beginUpdate();
    runThenAlways(
        [&] {
            if (modifiers & Qt::ControlModifier) {
                switch (key) {
                case Qt::Key_Up:
                case Qt::Key_PageUp:
                    clearSelectedRows();
                    dataLink_.moveByDistance(-dataLink_.activeRecord());
                    break;
                case Qt::Key_Down:
                case Qt::Key_PageDown:
                    clearSelectedRows();
                    dataLink_.moveByDistance(dataLink_.BufferCount() - dataLink_.activeRecord() -
                                             1);
                    break;
                case Qt::Key_Left:
                    moveCol(indicatorOffset_, 1);
                    break;
                case Qt::Key_Right:
                    moveCol(ColCount() - 1, -1);
                    break;
                case Qt::Key_Home:
                    clearSelectedRows();
                    ds->moveFirst();
                    break;
                case Qt::Key_End:
                    clearSelectedRows();
                    ds->moveLast();
                    break;
                case Qt::Key_Delete:
                    if (!readOnly_ && !ds->hasNoRecords() && ds->canModify() && deletePrompt())
                        doDelete();
                    break;
                default:
                    break;
                }
                return;
            }
            switch (key) {
            case Qt::Key_Up:
                priorRow(true, modifiers);
                break;
            case Qt::Key_Down:
                nextRow(true, modifiers);
                break;
            case Qt::Key_Left:
                if (rowSelect)
                    priorRow(false, modifiers);
                else
                    moveCol(Col() - 1, -1);
                break;
            case Qt::Key_Right:
                if (rowSelect)
                    nextRow(false, modifiers);
                else
                    moveCol(Col() + 1, 1);
                break;
            case Qt::Key_Home:
                if (ColCount() == indicatorOffset_ + 1 || rowSelect) {
                    clearSelectedRows();
                    ds->moveFirst();
                } else {
                    moveCol(indicatorOffset_, 1);
                }
                break;
            case Qt::Key_End:
                if (ColCount() == indicatorOffset_ + 1 || rowSelect) {
                    clearSelectedRows();
                    ds->moveLast();
                } else {
                    moveCol(ColCount() - 1, -1);
                }
                break;
            case Qt::Key_PageDown:
                clearSelectedRows();
                dataLink_.moveByDistance(visibleRowCount());
                break;
            case Qt::Key_PageUp:
                clearSelectedRows();
                dataLink_.moveByDistance(-visibleRowCount());
                break;
            case Qt::Key_Insert:
                if (canModifyDataSet()) {
                    clearSelectedRows();
                    startNewRow(false);
                }
                break;
            case Qt::Key_Tab:
                if (!(modifiers & Qt::AltModifier))
                    tab(!(modifiers & Qt::ShiftModifier));
                break;
            case Qt::Key_Escape:
                dataLink_.reset();
                // Every cell written was posted: what is left is an edit that changed nothing.
                if (postsEachCell_ && ds->State() == stateEdit)
                    ds->cancelRecord();
                clearSelectedRows();
                if (!options_.contains(dgAlwaysShowEditor))
                    hideEditor();
                break;
            case Qt::Key_F2:
                startEditor();
                break;
            default:
                break;
            }
        },
        [&] { endUpdate(); });
}

bool TCustomDBGrid::passesKeyOn(int key) const {
    if (key != Qt::Key_Escape)
        return false;
    TDataSet* ds = dataSet();
    if (!dataLink_.Active() || !ds)
        return true;
    return ds->State() != stateEdit && ds->State() != stateInsert && !dataLink_.isModified();
}

void TCustomDBGrid::keyPress(char& ch) {
    // Enter writes what was typed before the editor closes.
    if (!options_.contains(dgAlwaysShowEditor) && ch == '\r')
        collectEdit();
    TCustomGrid::keyPress(ch);
}

void TCustomDBGrid::nextRow(bool select, Qt::KeyboardModifiers modifiers) {
    TDataSet* ds = dataSet();
    if (untouchedInsert()) {
        // An untouched new row at the end stays; one in the middle goes.
        if (dataLink_.atEnd())
            return;
        ds->cancelRecord();
    } else {
        doSelection(select, 1, modifiers);
    }
    if (dataLink_.atEnd() && canModifyDataSet())
        startNewRow(true);
}

void TCustomDBGrid::priorRow(bool select, Qt::KeyboardModifiers modifiers) {
    TDataSet* ds = dataSet();
    if (untouchedInsert() && dataLink_.atEnd())
        ds->cancelRecord();
    else
        doSelection(select, -1, modifiers);
}

void TCustomDBGrid::doSelection(bool select, int direction, Qt::KeyboardModifiers modifiers) {
    bool addAfter = false;
    if (options_.contains(dgMultiSelect) && dataLink_.Active()) {
        TDataSet* ds = dataSet();
        if (select && (modifiers & Qt::ShiftModifier)) {
            if (!selecting_) {
                selectionAnchor_ = ds->getBookmark();
                anchorRecordNumber_ = ds->recordNumber();
                setCurrentRowSelected(true);
                selecting_ = true;
                addAfter = true;
            } else {
                // Which side of the anchor the current row lies on: by position where records
                // are numbered, else by the dataset's bookmark order.
                int order = 0;
                if (ds->isSequenced() && anchorRecordNumber_ > 0)
                    order = ds->recordNumber() - anchorRecordNumber_;
                else if (const TBookmark current = ds->getBookmark(); current && selectionAnchor_)
                    order = ds->compareBookmarks(current, selectionAnchor_);
                addAfter = (order < 0 ? -1 : order > 0 ? 1 : 0) != -direction;
                if (!addAfter)
                    setCurrentRowSelected(false);
            }
        } else {
            clearSelectedRows();
        }
    }
    dataLink_.moveByDistance(direction);
    if (addAfter)
        setCurrentRowSelected(true);
}

void TCustomDBGrid::tab(bool forward) {
    int col = Col();
    const int original = col;
    while (true) {
        col += forward ? 1 : -1;
        if (col >= ColCount()) {
            nextRow(false, Qt::NoModifier);
            col = indicatorOffset_;
        } else if (col < indicatorOffset_) {
            priorRow(false, Qt::NoModifier);
            col = ColCount() - 1;
        }
        if (col == original)
            return;
        if (tabStop(col)) {
            moveCol(col, 0);
            return;
        }
    }
}

bool TCustomDBGrid::deletePrompt() {
    if (!options_.contains(dgConfirmDelete))
        return true;
    return askGridQuestion(this, selectedRowCount() > 1 ? gridconsts::kDeleteMultipleRecordsQuestion
                                                        : gridconsts::kDeleteRecordQuestion);
}

void TCustomDBGrid::doDelete() {
    TDataSet* ds = dataSet();
    if (selectedRows_.empty()) {
        ds->deleteRecord();
        return;
    }
    // The selected rows, one after the other; each leaves the selection as it goes.
    ds->suspendControls();
    runThenAlways(
        [&] {
            while (!selectedRows_.empty()) {
                const TBookmark bookmark = selectedRows_.back();
                selectedRows_.pop_back();
                if (ds->bookmarkValid(bookmark)) {
                    ds->gotoBookmark(bookmark);
                    ds->deleteRecord();
                }
            }
        },
        [&] { ds->resumeControls(); });
}

void TCustomDBGrid::moveCol(int rawCol, int direction) {
    collectEdit();
    rawCol = std::clamp(rawCol, indicatorOffset_, ColCount() - 1);
    if (direction != 0) {
        while (rawCol < ColCount() && rawCol >= indicatorOffset_ && !tabStop(rawCol))
            rawCol += direction;
        if (rawCol >= ColCount() || rawCol < indicatorOffset_)
            return;
    } else if (colWidth(rawCol) <= 0) {
        return;
    }
    const int oldCol = Col();
    if (rawCol == oldCol)
        return;
    if (!inColExit_) {
        inColExit_ = true;
        runThenAlways(
            [&] {
                if (OnColExit)
                    OnColExit(this);
            },
            [&] { inColExit_ = false; });
        if (Col() != oldCol)
            return;
    }
    if (!options_.contains(dgAlwaysShowEditor))
        hideEditor();
    moveColRow(rawCol, Row(), true);
    if (OnColEnter)
        OnColEnter(this);
}

// --- Mouse -----------------------------------------------------------------------------------

void TCustomDBGrid::mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y,
                              bool doubleClick) {
    if (!acquireFocus())
        return;
    if (doubleClick && button == Qt::LeftButton) {
        dblClick();
        return;
    }
    if (sizing(x, y)) {
        collectEdit();
        TCustomGrid::mouseDown(button, modifiers, x, y, false);
        return;
    }
    const TGridCoord cell = mouseCoord(x, y);
    if (cell.X < 0 && cell.Y < 0) {
        TCustomGrid::mouseDown(button, modifiers, x, y, false);
        return;
    }
    if (options_.contains(dgColumnResize) && cell.Y < titleOffset_) {
        collectEdit();
        TCustomGrid::mouseDown(button, modifiers, x, y, false);
        return;
    }
    if (!dataLink_.Active())
        return;
    beginUpdate();
    runThenAlways(
        [&] {
            collectEdit(); // the text is checked before the grid moves
            hideEditor();
            const int oldCol = Col();
            const int oldRow = Row();
            if (cell.Y >= titleOffset_ && cell.Y - Row() != 0)
                dataLink_.moveByDistance(cell.Y - Row());
            if (cell.X >= indicatorOffset_)
                moveCol(cell.X, 0);
            if (options_.contains(dgMultiSelect) && dataLink_.Active()) {
                selecting_ = false;
                if (modifiers & Qt::ControlModifier) {
                    setCurrentRowSelected(!currentRowSelected());
                } else {
                    clearSelectedRows();
                    setCurrentRowSelected(true);
                }
            }
            if (button == Qt::LeftButton &&
                ((cell.X == oldCol && cell.Y == oldRow) || options_.contains(dgAlwaysShowEditor)))
                startEditor();
            else
                invalidateEditor();
        },
        [&] { endUpdate(); });
}

void TCustomDBGrid::mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y) {
    TCustomGrid::mouseUp(button, modifiers, x, y);
}

void TCustomDBGrid::dblClick() {
    if (OnDblClick)
        OnDblClick(this);
}

void TCustomDBGrid::wheelEvent(QWheelEvent* event) {
    event->accept();
    const Qt::ScrollPhase phase = event->phase();
    if (wheelHalted_) {
        // The rest of a spin whose step failed is dropped: the momentum of a touchpad's
        // gesture, or the notches of a wheel that keep coming without a pause.
        const bool newSpin = phase == Qt::ScrollBegin ||
                             (phase == Qt::NoScrollPhase && wheelPause_.hasExpired(kWheelPause));
        if (!newSpin) {
            if (phase == Qt::NoScrollPhase)
                wheelPause_.restart();
            return;
        }
        wheelHalted_ = false;
    }
    guarded([&] {
        if (!acquireFocus() || !dataLink_.Active())
            return;
        // One record per notch of the wheel; fine-grained wheels add up to a notch.
        wheelRemainder_ += event->angleDelta().y();
        try {
            while (wheelRemainder_ >= 120) {
                wheelRemainder_ -= 120;
                dataLink_.moveByDistance(-1);
            }
            while (wheelRemainder_ <= -120) {
                wheelRemainder_ += 120;
                dataLink_.moveByDistance(1);
            }
        } catch (...) {
            // One failed step, one message: the notches still owed go.
            wheelRemainder_ = 0;
            wheelHalted_ = phase != Qt::ScrollEnd;
            throw;
        }
    });
    // The pause that ends a halted spin counts from when the message was dismissed.
    if (wheelHalted_)
        wheelPause_.restart();
}

bool TCustomDBGrid::eventFilter(QObject* watched, QEvent* event) {
    // The wheel over the vertical bar moves the dataset as over the cells.
    if (watched == verticalScrollBar() && event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return TCustomGrid::eventFilter(watched, event);
}

// --- Leaving the grid ------------------------------------------------------------------------

void TCustomDBGrid::focusExit() {
    try {
        if (!dataLink_.Active())
            return;
        TDataSet* ds = dataSet();
        if ((options_.contains(dgCancelOnExit) && ds->State() == stateInsert && !ds->Modified() &&
             !dataLink_.isModified()) ||
            ownInsertEmpty())
            ds->cancelRecord(); // an empty new row vanishes
        else
            collectEdit();
    } catch (const std::exception&) {
        // The user stays in the cell and sees why: the grid takes the focus back once the
        // focus change is over, then reports.
        std::exception_ptr error = std::current_exception();
        refusalPending_ = true;
        QTimer::singleShot(0, this, [this, error] {
            refusalPending_ = false;
            setFocus(Qt::OtherFocusReason);
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                reportError(e);
            }
            guarded([this] { recoverFromError(); });
        });
    }
}

void TCustomDBGrid::recoverFromError() {
    TCustomGrid::recoverFromError();
    if (!dataLink_.Active())
        return;
    // Draw what the dataset now holds; an editor keeps the text the field refused.
    updateScrollBar();
    if (Row() != dataLink_.activeRecord() + titleOffset_ ||
        RowCount() - titleOffset_ != std::max(1, dataLink_.recordCount()))
        dataChanged();
    invalidateGrid();
}

// --- Multi-selection -------------------------------------------------------------------------

bool TCustomDBGrid::currentRowSelected() const {
    TDataSet* ds = dataSet();
    if (!ds || !ds->Active())
        return false;
    const TBookmark current = ds->getBookmark();
    return current &&
           std::find(selectedRows_.begin(), selectedRows_.end(), current) != selectedRows_.end();
}

void TCustomDBGrid::setCurrentRowSelected(bool value) {
    TDataSet* ds = dataSet();
    if (!ds || !ds->Active() || !options_.contains(dgMultiSelect))
        return;
    const TBookmark current = ds->getBookmark();
    if (!current)
        return;
    auto found = std::find(selectedRows_.begin(), selectedRows_.end(), current);
    if (value && found == selectedRows_.end())
        selectedRows_.push_back(current);
    else if (!value && found != selectedRows_.end())
        selectedRows_.erase(found);
    else
        return;
    invalidateRow(Row());
}

void TCustomDBGrid::clearSelectedRows() {
    selecting_ = false;
    if (selectedRows_.empty())
        return;
    selectedRows_.clear();
    invalidateGrid();
}

} // namespace cibrano
