// The grid's in-place editor, its keys and its focus: when the editor shows and hides, how keys
// and typed characters reach the grid, and when the focus has left the grid.

#include "grid/CustomGrid.h"

#include "grid/InplaceEdit.h"
#include "platform/Timer.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

#include <algorithm>

namespace cibrano {

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

bool TCustomGrid::passesKeyOn(int) const {
    return false;
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
        const bool passOn = passesKeyOn(key);
        keyDown(key, modifiers);
        if (key == 0)
            return;
        if (passOn) {
            event->ignore();
            return;
        }
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
