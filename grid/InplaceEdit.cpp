#include "grid/InplaceEdit.h"

#include "grid/CustomGrid.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>

namespace cibrano {

TInplaceEdit::TInplaceEdit(TCustomGrid* grid, QWidget* parent) : QLineEdit(parent), grid_(grid) {
    setFrame(false);
    setAcceptDrops(false);
    setDragEnabled(false);
    setTextMargins(0, 0, 0, 0);
    setContentsMargins(0, 0, 0, 0);
    // The grid keeps what is typed as its edit text.
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (grid_->inplaceCol_ != -1 && grid_->inplaceRow_ != -1)
            grid_->setEditText(grid_->inplaceCol_, grid_->inplaceRow_, ansiText());
    });
}

AnsiString TInplaceEdit::ansiText() const {
    return fromQt(text()).value_or(AnsiString());
}

void TInplaceEdit::updateContents() {
    setMaxLength(32767);
    setText(QString());
    setFont(grid_->font());
    setAlignment(grid_->editAlignment() | Qt::AlignVCenter);
    const AnsiString text = grid_->getEditText(grid_->Col(), grid_->Row());
    setText(toQt(text));
    const int limit = grid_->getEditLimit();
    setMaxLength(limit > 0 ? limit : 32767);
}

void TInplaceEdit::moveTo(const QRect& rect) {
    if (rect.isEmpty()) {
        if (isVisible()) {
            if (hasFocus()) {
                grid_->movingFocus_ = true;
                grid_->setFocus(Qt::OtherFocusReason);
                grid_->movingFocus_ = false;
            }
            hide();
        }
        return;
    }
    setGeometry(rect);
    if (!isVisible())
        show();
    raise();
    if (grid_->hasFocus())
        setFocus(Qt::OtherFocusReason);
}

void TInplaceEdit::deselect() {
    QLineEdit::deselect();
    setCursorPosition(static_cast<int>(text().size()));
}

bool TInplaceEdit::charKey(char& ch) {
    grid_->keyPress(ch);
    if (ch == 0)
        return false;
    const auto code = static_cast<unsigned char>(ch);
    if (code >= 32 && !grid_->canEditAcceptKey(ch)) {
        ch = 0;
        grid_->beep();
        return false;
    }
    switch (code) {
    case 9:
    case 27:
        return false;
    case 13:
        if (selectionStart() == 0 && selectedText().size() == text().size())
            deselect();
        else
            selectAll();
        return false;
    case 8:
    case 22: // Ctrl+V
    case 24: // Ctrl+X
        return grid_->canEditModify();
    default:
        if (code >= 32)
            return grid_->canEditModify();
        return true;
    }
}

bool TInplaceEdit::pasteAllowed() {
    const QString pasted = QApplication::clipboard()->text();
    if (!isAnsiRepresentable(pasted)) {
        grid_->beep();
        return false;
    }
    return true;
}

bool TInplaceEdit::isModifyingKey(QKeyEvent* event) const {
    return event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut) ||
           event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) ||
           event->matches(QKeySequence::Delete) ||
           event->matches(QKeySequence::DeleteStartOfWord) ||
           event->matches(QKeySequence::DeleteEndOfWord) ||
           event->matches(QKeySequence::DeleteEndOfLine) ||
           event->matches(QKeySequence::DeleteCompleteLine) ||
           event->matches(QKeySequence::Backspace);
}

bool TInplaceEdit::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if ((k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) &&
            !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            if (grid_->gridOptions().contains(goTabs)) {
                keyPressEvent(k);
            } else {
                // Tab leaves the grid for the next control, as from the grid itself.
                const bool forward =
                    k->key() == Qt::Key_Tab && !(k->modifiers() & Qt::ShiftModifier);
                grid_->guarded([&] { grid_->tabOutOfEditor(forward); });
            }
            return true;
        }
    }
    return QLineEdit::event(event);
}

void TInplaceEdit::keyPressEvent(QKeyEvent* event) {
    event->accept();
    grid_->guarded([&] {
        int key = event->key();
        if (key == Qt::Key_Backtab)
            key = Qt::Key_Tab;
        const Qt::KeyboardModifiers modifiers =
            event->modifiers() &
            (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        const bool ctrl = modifiers & Qt::ControlModifier;
        // With the editor always shown, the caret at the text's edge hands Left, Right, Home and
        // End on to the grid.
        const bool forwardMovement = grid_->gridOptions().contains(goAlwaysShowEditor);
        const bool leftSide =
            cursorPosition() == 0 && (!hasSelectedText() || selectionStart() == 0);
        const bool rightSide = cursorPosition() == text().size();
        auto sendToParent = [&] {
            grid_->keyDown(key, modifiers);
            key = 0;
        };
        switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Escape:
            sendToParent();
            break;
        case Qt::Key_Insert:
            if (modifiers == Qt::NoModifier)
                sendToParent();
            else if (modifiers == Qt::ShiftModifier) {
                // Shift+Insert pastes, whatever the platform's key bindings say.
                if (pasteAllowed() && grid_->canEditModify()) {
                    grid_->doKeyDownEvent(key, modifiers);
                    if (key != 0)
                        paste();
                }
                return;
            }
            break;
        case Qt::Key_Left:
        case Qt::Key_Home:
            if (forwardMovement && (ctrl || leftSide))
                sendToParent();
            break;
        case Qt::Key_Right:
        case Qt::Key_End:
            if (forwardMovement && (ctrl || rightSide))
                sendToParent();
            break;
        case Qt::Key_F2:
            grid_->doKeyDownEvent(key, modifiers);
            if (key == Qt::Key_F2)
                deselect();
            return;
        case Qt::Key_Tab:
            if (!(modifiers & Qt::AltModifier))
                sendToParent();
            break;
        default:
            break;
        }
        if (key == Qt::Key_Delete && !grid_->canEditModify())
            key = 0;
        if (key == 0)
            return;
        grid_->doKeyDownEvent(key, modifiers);
        if (key == 0)
            return;

        // The character part of the key.
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            char ch = '\r';
            charKey(ch);
            return;
        }
        if (key == Qt::Key_Backspace) {
            char ch = '\b';
            if (!charKey(ch))
                return;
            QLineEdit::keyPressEvent(event);
            return;
        }
        const QString typed = event->text();
        const bool printable = !typed.isEmpty() && typed.at(0).unicode() >= 32 &&
                               typed.at(0).unicode() != 127 &&
                               !(modifiers & (Qt::ControlModifier | Qt::MetaModifier));
        if (printable) {
            // Every character must exist in Windows-1252 and pass the field's test.
            AnsiString bytes;
            for (QChar c : typed) {
                char b = 0;
                if (!ansiCharFromQt(c, b)) {
                    grid_->beep();
                    return;
                }
                bytes.push_back(b);
            }
            for (char b : bytes) {
                char ch = b;
                if (!charKey(ch))
                    return;
            }
            QLineEdit::keyPressEvent(event);
            return;
        }
        if (event->matches(QKeySequence::Paste) && !pasteAllowed())
            return;
        if (isModifyingKey(event) && key != Qt::Key_Delete && !grid_->canEditModify())
            return;
        QLineEdit::keyPressEvent(event);
    });
}

void TInplaceEdit::typeChar(char ch) {
    char c = ch;
    if (!charKey(c))
        return;
    if (c == '\b')
        backspace();
    else
        insert(toQt(AnsiString(1, c)));
}

void TInplaceEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    if (commit.isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    bool allowed = true;
    grid_->guarded([&] {
        for (QChar c : commit) {
            char b = 0;
            if (!ansiCharFromQt(c, b) || !grid_->canEditAcceptKey(b)) {
                grid_->beep();
                allowed = false;
                return;
            }
        }
        allowed = grid_->canEditModify();
    });
    if (!allowed)
        event->setCommitString(QString());
    QLineEdit::inputMethodEvent(event);
}

void TInplaceEdit::contextMenuEvent(QContextMenuEvent* event) {
    // The usual edit menu; the commands that change the text ask the grid first, as keys do.
    QMenu menu(this);
    auto modifying = [this](void (QLineEdit::*command)(), bool paste) {
        return [this, command, paste] {
            grid_->guarded([&] {
                if (paste && !pasteAllowed())
                    return;
                if (!grid_->canEditModify())
                    return;
                (this->*command)();
            });
        };
    };
    const bool writable = !isReadOnly();
    QAction* a = menu.addAction(tr("&Undo"), this, modifying(&QLineEdit::undo, false));
    a->setEnabled(writable && isUndoAvailable());
    a = menu.addAction(tr("&Redo"), this, modifying(&QLineEdit::redo, false));
    a->setEnabled(writable && isRedoAvailable());
    menu.addSeparator();
    a = menu.addAction(tr("Cu&t"), this, modifying(&QLineEdit::cut, false));
    a->setEnabled(writable && hasSelectedText());
    a = menu.addAction(tr("&Copy"), this, &QLineEdit::copy);
    a->setEnabled(hasSelectedText());
    a = menu.addAction(tr("&Paste"), this, modifying(&QLineEdit::paste, true));
    a->setEnabled(writable && !QApplication::clipboard()->text().isEmpty());
    a = menu.addAction(tr("Delete"), this, modifying(&QLineEdit::del, false));
    a->setEnabled(writable && hasSelectedText());
    menu.addSeparator();
    a = menu.addAction(tr("Select All"), this, &QLineEdit::selectAll);
    a->setEnabled(!text().isEmpty());
    menu.exec(event->globalPos());
}

void TInplaceEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    grid_->editorFocusOut(event);
}

void TInplaceEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    grid_->editorFocusIn();
}

} // namespace cibrano
