#include "app/SaveRecipeDialog.h"

#include "platform/DatabaseError.h"
#include "platform/Format.h"
#include "platform/UiServices.h"
#include "platform/qt/AnsiValidator.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtText.h"
#include "recipe/RecipeBook.h"
#include "recipe/RecipeBookMessages.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace cibrano {

namespace {
constexpr int kClientWidth = 320;
constexpr int kClientHeight = 112;
} // namespace

SaveRecipeDialog::SaveRecipeDialog(RecipeBook& book, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      book_(book) {
    setObjectName("frmSalvaRicetta");
    setWindowTitle("Salva ricetta");
    installFontSubstitutes();
    setFont(msSansSerif(11));
    setFixedSize(kClientWidth, kClientHeight);
    setModal(true);

    NameLabel = new QLabel("&Nome della ricetta:", this);
    NameLabel->setGeometry(8, 8, 304, 16);
    NameEdit = new QLineEdit(this);
    NameEdit->setObjectName("NameEdit");
    NameEdit->setGeometry(8, 26, 304, 21);
    NameEdit->setValidator(new AnsiValidator(NameEdit));
    NameLabel->setBuddy(NameEdit);

    ServingsLabel = new QLabel("&Porzioni:", this);
    ServingsLabel->setGeometry(8, 58, 60, 16);
    ServingsEdit = new QLineEdit("1", this);
    ServingsEdit->setObjectName("ServingsEdit");
    ServingsEdit->setGeometry(72, 55, 64, 21);
    ServingsEdit->setAlignment(Qt::AlignRight);
    ServingsEdit->setValidator(new AnsiValidator(ServingsEdit));
    ServingsLabel->setBuddy(ServingsEdit);
    connect(NameEdit, &QLineEdit::textEdited, this, [this] { followName(); });
    connect(ServingsEdit, &QLineEdit::textEdited, this, [this] { servingsTyped_ = true; });

    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setGeometry(152, 84, 77, 23);
    OKButton->setDefault(true);
    CancelButton = new QPushButton("Annulla", this);
    CancelButton->setObjectName("CancelButton");
    CancelButton->setGeometry(235, 84, 77, 23);
    connect(OKButton, &QPushButton::clicked, this, &SaveRecipeDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(NameEdit, ServingsEdit);
    setTabOrder(ServingsEdit, OKButton);
    setTabOrder(OKButton, CancelButton);
}

void SaveRecipeDialog::propose(const AnsiString& name, int servings) {
    NameEdit->setText(toQt(name));
    proposedServings_ = servings;
    servingsTyped_ = false;
    ServingsEdit->setText(QString::number(servings));
}

void SaveRecipeDialog::followName() {
    if (servingsTyped_)
        return;
    const std::optional<AnsiString> typed = fromQt(NameEdit->text());
    const std::optional<int> code = typed ? book_.findRecipe(*typed) : std::nullopt;
    const std::optional<RecipeInfo> kept = code ? book_.recipe(*code) : std::nullopt;
    ServingsEdit->setText(QString::number(kept ? kept->Porzioni : proposedServings_));
}

void SaveRecipeDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    NameEdit->setFocus();
    NameEdit->selectAll();
}

void SaveRecipeDialog::accept() {
    try {
        const std::optional<AnsiString> typed = fromQt(NameEdit->text());
        const AnsiString name = RecipeBook::checkedName(typed.value_or(AnsiString()));
        int servings = 0;
        try {
            servings = RecipeBook::servingsFromText(fromQt(ServingsEdit->text()).value_or(""));
        } catch (const std::exception& e) {
            reportError(e);
            ServingsEdit->setFocus();
            ServingsEdit->selectAll();
            return;
        }
        bool replace = false;
        if (const std::optional<int> code = book_.findRecipe(name)) {
            const AnsiString kept = book_.recipe(*code)->Nome;
            replace = askYesNo(formatText(bookmsg::ReplaceNameQuestion, kept.c_str()));
            if (!replace) {
                NameEdit->setFocus();
                NameEdit->selectAll();
                return;
            }
        }
        name_ = name;
        servings_ = servings;
        replace_ = replace;
        QDialog::accept();
    } catch (const std::exception& e) {
        reportError(e);
        NameEdit->setFocus();
        NameEdit->selectAll();
    }
}

} // namespace cibrano
