#include "platform/qt/PasswordDialog.h"

#include "platform/qt/AnsiValidator.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtText.h"
#include "platform/qt/WindowPlacement.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace cibrano {

TPasswordDialog::TPasswordDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint) {
    setWindowTitle("Login password");
    setFont(msSansSerif(11));
    setFixedSize(205, 116);

    label_ = new QLabel("Enter password:", this);
    label_->setGeometry(18, 7, 170, 28);
    label_->setWordWrap(true);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    edit_ = new QLineEdit(this);
    edit_->setGeometry(18, 45, 170, 21);
    edit_->setMaxLength(255);
    edit_->setEchoMode(QLineEdit::Password);
    // Each character shows as "*", whatever bullet the style would choose.
    edit_->setStyleSheet("QLineEdit { lineedit-password-character: 42; }");
    edit_->setValidator(new AnsiValidator(edit_));
    label_->setBuddy(edit_);

    ok_ = new QPushButton("OK", this);
    ok_->setGeometry(18, 77, 75, 25);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    // QDialog closes with Esc as rejected, which is what the Cancel key does.
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setGeometry(113, 77, 75, 25);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(edit_, ok_);
    setTabOrder(ok_, cancel_);
}

void TPasswordDialog::setPassword(const AnsiString& password) {
    edit_->setText(toQt(password));
    edit_->selectAll();
}

AnsiString TPasswordDialog::password() const {
    // The validator keeps anything Windows-1252 cannot hold out of the edit.
    return fromQt(edit_->text()).value_or(AnsiString());
}

void TPasswordDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    edit_->setFocus();
    edit_->selectAll();
}

bool TPasswordDialog::ask(AnsiString& password, QWidget* parent) {
    TPasswordDialog dialog(parent);
    dialog.setPassword(password);
    centreOnScreen(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    password = dialog.password();
    return true;
}

} // namespace cibrano
