#pragma once
// The engine's built-in "Login password" dialog: a label, a masked edit pre-filled with the
// current password and all selected, OK (default) and Cancel (Esc). Text that Windows-1252
// cannot hold cannot be typed into it.

#include "platform/AnsiString.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace cibrano {

class TPasswordDialog : public QDialog {
    Q_OBJECT
public:
    explicit TPasswordDialog(QWidget* parent = nullptr);

    void setPassword(const AnsiString& password);
    AnsiString password() const;

    QLabel* label() const { return label_; }
    QLineEdit* edit() const { return edit_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    // Shows the dialog modally, pre-filled with `password`; true on OK, with the typed text in
    // `password`, which Cancel (or the close box) leaves as it was.
    static bool ask(AnsiString& password, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* label_;
    QLineEdit* edit_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace cibrano
