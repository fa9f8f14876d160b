#include "platform/qt/QtUiServices.h"

#include "platform/qt/PasswordDialog.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QMessageBox>

namespace cibrano {

QWidget* QtUiServices::dialogParent() {
    // A box over the window the user works in; while that window is still being made (an
    // error during its creation) the box stands on its own.
    QWidget* active = QApplication::activeWindow();
    return active && active->isVisible() ? active : nullptr;
}

void QtUiServices::showWarning(const AnsiString& caption, const AnsiString& text) {
    QMessageBox::warning(dialogParent(), toQt(caption), toQt(text));
}

bool QtUiServices::askPassword(AnsiString& password) {
    return TPasswordDialog::ask(password, dialogParent());
}

void QtUiServices::showError(const AnsiString& caption, const AnsiString& text) {
    QMessageBox::critical(dialogParent(), toQt(caption), toQt(text));
}

bool QtUiServices::askYesNo(const AnsiString& caption, const AnsiString& text, bool yesIsDefault) {
    return QMessageBox::question(
               dialogParent(), toQt(caption), toQt(text), QMessageBox::Yes | QMessageBox::No,
               yesIsDefault ? QMessageBox::Yes : QMessageBox::No) == QMessageBox::Yes;
}

} // namespace cibrano
