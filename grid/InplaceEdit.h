#pragma once
// TInplaceEdit: the one-line editor that a grid shows over its current cell. It routes keys:
// Esc, PgUp, PgDn, Up, Down and Insert (without Shift) go to the grid's key handling; Left,
// Right, Home and End stay in the text (unless the grid always shows its editor and the caret
// is at the text's edge); F2 puts the caret at the end; Enter goes to the grid; Tab and Esc
// are never typed. Every typed character is first offered to the grid's character test (a
// refused one beeps and is dropped), and every key that changes the text first asks the grid
// whether the cell may change. Text holding a character that Windows-1252 cannot hold is
// refused with a beep, whether typed or pasted.

#include "platform/AnsiString.h"

#include <QLineEdit>

namespace cibrano {

class TCustomGrid;

class TInplaceEdit : public QLineEdit {
    Q_OBJECT
public:
    TInplaceEdit(TCustomGrid* grid, QWidget* parent);

    TCustomGrid* grid() const { return grid_; }
    // Fills the editor from the grid's current cell: text and length limit.
    void updateContents();
    // Shows the editor over `rect` (viewport coordinates), or hides it when `rect` is empty;
    // takes the focus from the grid.
    void moveTo(const QRect& rect);
    // Clears the selection and puts the caret at the end.
    void deselect();
    // A character the grid received while the editor was hidden: handled as if typed here.
    void typeChar(char ch);
    // The text as the engine holds it (Windows-1252). The editor never holds other text.
    AnsiString ansiText() const;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    // The character part of a key: the grid's key press first, then the character test,
    // then the modify check. Answers whether the key may go on into the text.
    bool charKey(char& ch);
    // Whether pasting the clipboard may go ahead.
    bool pasteAllowed();
    bool isModifyingKey(QKeyEvent* event) const;

    TCustomGrid* grid_;
};

} // namespace cibrano
