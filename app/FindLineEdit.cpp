#include "app/FindLineEdit.h"

#include "engine/VolFndEd.h"
#include "platform/UiServices.h"
#include "platform/qt/AnsiValidator.h"
#include "platform/qt/QtText.h"

namespace cibrano {

TFindLineEdit::TFindLineEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(new AnsiValidator(this));
    connect(this, &QLineEdit::textChanged, this, &TFindLineEdit::forwardText);
}

TFindLineEdit::~TFindLineEdit() {
    setFindEdit(nullptr);
}

void TFindLineEdit::setFindEdit(TZerovFindEdit* findEdit) {
    if (findEdit_)
        findEdit_->OnChange = nullptr;
    findEdit_ = findEdit;
    if (!findEdit_)
        return;
    findEdit_->OnChange = [this](TZerovFindEdit*) { showFindText(); };
    showFindText();
}

void TFindLineEdit::showFindText() {
    // The text typed here comes back unchanged: the caret and the undo steps stay as they are.
    const QString text = toQt(findEdit_->Text());
    if (text != this->text())
        setText(text);
}

void TFindLineEdit::forwardText(const QString& text) {
    if (!findEdit_)
        return;
    try {
        // The validator keeps out what Windows-1252 cannot hold; text set by the program is
        // held to the same rule.
        if (const auto ansi = fromQt(text))
            findEdit_->setText(*ansi);
    } catch (const std::exception& e) {
        reportError(e);
    }
}

} // namespace cibrano
