#include "app/SaveRecipeDialog.h"

#include "dataset/NumberFormat.h"
#include "platform/Abort.h"
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
constexpr int kClientHeight = 140;
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

    FinalWeightLabel = new QLabel("Peso &finale (g):", this);
    FinalWeightLabel->setGeometry(8, 86, 100, 16);
    FinalWeightEdit = new QLineEdit(this);
    FinalWeightEdit->setObjectName("FinalWeightEdit");
    FinalWeightEdit->setGeometry(112, 83, 80, 21);
    FinalWeightEdit->setAlignment(Qt::AlignRight);
    FinalWeightEdit->setValidator(new AnsiValidator(FinalWeightEdit));
    FinalWeightEdit->setToolTip("Il peso della ricetta finita, dopo la cottura: vuoto per la "
                                "somma dei grammi degli ingredienti");
    FinalWeightLabel->setBuddy(FinalWeightEdit);
    auto* optional = new QLabel("facoltativo", this);
    optional->setGeometry(200, 86, 112, 16);
    optional->setEnabled(false);
    connect(NameEdit, &QLineEdit::textEdited, this, [this] { followName(); });
    connect(ServingsEdit, &QLineEdit::textEdited, this, [this] { servingsTyped_ = true; });
    connect(FinalWeightEdit, &QLineEdit::textEdited, this, [this] { finalWeightTyped_ = true; });

    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setGeometry(152, 112, 77, 23);
    OKButton->setDefault(true);
    CancelButton = new QPushButton("Annulla", this);
    CancelButton->setObjectName("CancelButton");
    CancelButton->setGeometry(235, 112, 77, 23);
    connect(OKButton, &QPushButton::clicked, this, &SaveRecipeDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(NameEdit, ServingsEdit);
    setTabOrder(ServingsEdit, FinalWeightEdit);
    setTabOrder(FinalWeightEdit, OKButton);
    setTabOrder(OKButton, CancelButton);
}

void SaveRecipeDialog::propose(const AnsiString& name, int servings, double finalWeight) {
    NameEdit->setText(toQt(name));
    proposedServings_ = servings;
    proposedFinalWeight_ = finalWeight;
    servingsTyped_ = false;
    finalWeightTyped_ = false;
    ServingsEdit->setText(QString::number(servings));
    FinalWeightEdit->setText(finalWeightText(finalWeight));
}

QString SaveRecipeDialog::finalWeightText(double grams) {
    return grams > 0 ? toQt(formatFloat("#.#", grams)) : QString();
}

void SaveRecipeDialog::followName() {
    const std::optional<AnsiString> typed = fromQt(NameEdit->text());
    const std::optional<int> code = typed ? book_.findRecipe(*typed) : std::nullopt;
    const std::optional<RecipeInfo> kept = code ? book_.recipe(*code) : std::nullopt;
    if (!servingsTyped_)
        ServingsEdit->setText(QString::number(kept ? kept->Porzioni : proposedServings_));
    if (!finalWeightTyped_)
        FinalWeightEdit->setText(finalWeightText(kept ? kept->PesoFinale : proposedFinalWeight_));
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
        double finalWeight = 0;
        try {
            finalWeight =
                RecipeBook::finalWeightFromText(fromQt(FinalWeightEdit->text()).value_or(""));
            const AnsiString far =
                RecipeBook::finalWeightQuestion(finalWeight, book_.currentQuantitiesGrams());
            if (!far.empty() && !askYesNo(far))
                throw EAbort();
        } catch (const EAbort&) {
            FinalWeightEdit->setFocus();
            FinalWeightEdit->selectAll();
            return;
        } catch (const std::exception& e) {
            reportError(e);
            FinalWeightEdit->setFocus();
            FinalWeightEdit->selectAll();
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
        finalWeight_ = finalWeight;
        replace_ = replace;
        QDialog::accept();
    } catch (const std::exception& e) {
        reportError(e);
        NameEdit->setFocus();
        NameEdit->selectAll();
    }
}

} // namespace cibrano
