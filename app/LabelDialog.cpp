#include "app/LabelDialog.h"

#include "app/SheetActions.h"
#include "platform/DatabaseError.h"
#include "platform/Format.h"
#include "platform/RegionalSettings.h"
#include "platform/qt/CommandErrors.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtText.h"
#include "recipe/LabelSvg.h"
#include "recipe/RecipeBook.h"
#include "recipe/RecipeBookMessages.h"
#include "sheet/LabelFiles.h"
#include "sheet/LabelPainter.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace cibrano {

namespace {

// The preview's scale: about the label's size on a common screen.
constexpr double kPreviewDotsPerMm = 4.5;

// The final weight as the book's field shows it: empty for none.
QString finalWeightText(double grams) {
    return grams > 0 ? toQt(formatRecipeValue(grams)) : QString();
}

// A field's text as 8-bit text; one that cannot be is refused by the checks as any wrong text.
AnsiString typed(const QLineEdit* edit) {
    return fromQt(edit->text()).value_or(AnsiString("?"));
}

void writeLabelSvg(const LabelLayout& layout, const std::string& path) {
    writeExportFile(path, labelSvg(layout));
}

} // namespace

LabelDialog::LabelDialog(RecipeBook& book, int code, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      book_(book), code_(code) {
    setObjectName("frmEtichetta");
    setWindowTitle("Etichetta nutrizionale");
    setFont(msSansSerif(11));
    setModal(true);
    createControls();
    if (const std::optional<RecipeInfo> recipe = book_.recipe(code_)) {
        setWindowTitle(QStringLiteral("Etichetta nutrizionale \u2014 ") + toQt(recipe->Nome));
        FinalWeightEdit->setText(finalWeightText(recipe->PesoFinale));
        ServingsEdit->setText(QString::number(recipe->Porzioni));
    }
    refresh();
}

void LabelDialog::createControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(6);
    FinalWeightLabel = new QLabel("&Peso finale (g):", this);
    FinalWeightEdit = new QLineEdit(this);
    FinalWeightEdit->setObjectName("FinalWeightEdit");
    FinalWeightEdit->setPlaceholderText(QStringLiteral("somma degli ingredienti"));
    FinalWeightEdit->setToolTip(
        QStringLiteral("Il peso del prodotto finito; vuoto: la somma dei grammi degli "
                       "ingredienti"));
    FinalWeightEdit->setMinimumWidth(
        FinalWeightEdit->fontMetrics().horizontalAdvance(FinalWeightEdit->placeholderText()) + 16);
    FinalWeightLabel->setBuddy(FinalWeightEdit);
    ServingsLabel = new QLabel("Por&zioni:", this);
    ServingsEdit = new QLineEdit(this);
    ServingsEdit->setObjectName("ServingsEdit");
    ServingsEdit->setMaxLength(3);
    ServingsLabel->setBuddy(ServingsEdit);
    WidthLabel = new QLabel("&Larghezza (mm):", this);
    WidthEdit = new QSpinBox(this);
    WidthEdit->setObjectName("WidthEdit");
    WidthEdit->setRange(static_cast<int>(kMinLabelWidth), static_cast<int>(kMaxLabelWidth));
    WidthEdit->setValue(static_cast<int>(kDefaultLabelWidth));
    WidthEdit->setSuffix(" mm");
    WidthLabel->setBuddy(WidthEdit);
    fields->addWidget(FinalWeightLabel, 0, 0);
    fields->addWidget(FinalWeightEdit, 0, 1);
    fields->addWidget(ServingsLabel, 0, 2);
    fields->addWidget(ServingsEdit, 0, 3);
    fields->addWidget(WidthLabel, 0, 4);
    fields->addWidget(WidthEdit, 0, 5);
    fields->setColumnStretch(6, 1);
    layout->addLayout(fields);

    Preview = new QLabel(this);
    Preview->setObjectName("Preview");
    Preview->setAlignment(Qt::AlignCenter);
    Preview->setMinimumSize(static_cast<int>(kMaxLabelWidth * kPreviewDotsPerMm) + 8, 200);
    layout->addWidget(Preview, 1);
    MessagesLabel = new QLabel(this);
    MessagesLabel->setObjectName("MessagesLabel");
    MessagesLabel->setWordWrap(true);
    MessagesLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(MessagesLabel);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    CopyButton = new QPushButton("Copia &testo", this);
    CopyButton->setObjectName("CopyButton");
    CopyButton->setToolTip(QStringLiteral("La tabella separata da tabulazioni e la forma lineare"));
    PdfButton = new QPushButton(QString::fromUtf8("Esporta P&DF\u2026"), this);
    PdfButton->setObjectName("PdfButton");
    SvgButton = new QPushButton(QString::fromUtf8("Esporta &SVG\u2026"), this);
    SvgButton->setObjectName("SvgButton");
    PngButton = new QPushButton(QString::fromUtf8("Esporta PN&G\u2026"), this);
    PngButton->setObjectName("PngButton");
    CloseButton = new QPushButton("C&hiudi", this);
    CloseButton->setObjectName("CloseButton");
    for (QPushButton* b : {CopyButton, PdfButton, SvgButton, PngButton, CloseButton}) {
        // Enter in a field writes its value; it presses no button.
        b->setAutoDefault(false);
        b->setMinimumHeight(25);
        buttons->addWidget(b);
        if (b == PngButton)
            buttons->addStretch(1);
    }
    layout->addLayout(buttons);

    connect(FinalWeightEdit, &QLineEdit::returnPressed, this, [this] {
        if (applyEdits())
            refresh();
    });
    connect(ServingsEdit, &QLineEdit::returnPressed, this, [this] {
        if (applyEdits())
            refresh();
    });
    connect(WidthEdit, &QSpinBox::valueChanged, this, [this] { refresh(); });
    connect(CopyButton, &QPushButton::clicked, this, &LabelDialog::CopyButtonClick);
    connect(PdfButton, &QPushButton::clicked, this, &LabelDialog::PdfButtonClick);
    connect(SvgButton, &QPushButton::clicked, this, &LabelDialog::SvgButtonClick);
    connect(PngButton, &QPushButton::clicked, this, &LabelDialog::PngButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<LabelLayout> LabelDialog::shownLabel() const {
    if (!declaration_)
        return std::nullopt;
    return labelLayout(*declaration_, WidthEdit->value());
}

void LabelDialog::refresh() {
    declaration_.reset();
    QString messages;
    try {
        const std::optional<RecipeInfo> recipe = book_.recipe(code_);
        if (!recipe)
            databaseError(formatText(bookmsg::NoSuchRecipe, code_));
        declaration_ = nutritionDeclaration(recipe->Nome, book_.linesOf(code_), recipe->Porzioni,
                                            recipe->PesoFinale, regional().decimalSeparator);
        for (const AnsiString& w : declaration_->warnings)
            messages += (messages.isEmpty() ? "" : "\n") + toQt(kWarningPrefix + w);
        for (const AnsiString& n : declaration_->notes)
            messages += (messages.isEmpty() ? "" : "\n") + toQt(kNotePrefix + n);
    } catch (const EDatabaseError& e) {
        messages = toQt(e.message());
    }
    MessagesLabel->setText(messages);
    MessagesLabel->setVisible(!messages.isEmpty());
    MessagesLabel->setStyleSheet(declaration_ && declaration_->complete ? QString()
                                                                        : "color: #a00000");
    if (const std::optional<LabelLayout> l = shownLabel())
        Preview->setPixmap(QPixmap::fromImage(labelImage(*l, kPreviewDotsPerMm)));
    else
        Preview->clear();
    for (QPushButton* b : {CopyButton, PdfButton, SvgButton, PngButton})
        b->setEnabled(declaration_.has_value());
    const bool writable = !book_.readOnly();
    FinalWeightEdit->setReadOnly(!writable);
    ServingsEdit->setReadOnly(!writable);
}

bool LabelDialog::applyEdits() {
    const std::optional<RecipeInfo> recipe = book_.recipe(code_);
    if (!recipe || book_.readOnly())
        return true;
    return runReportingErrors([&] {
        const double grams = RecipeBook::finalWeightFromText(typed(FinalWeightEdit));
        const int servings = RecipeBook::servingsFromText(typed(ServingsEdit));
        if (grams != recipe->PesoFinale) {
            book_.setFinalWeight(code_, grams);
            FinalWeightEdit->setText(finalWeightText(grams));
        }
        if (servings != recipe->Porzioni)
            book_.setServings(code_, servings);
    });
}

void LabelDialog::reject() {
    if (applyEdits())
        QDialog::reject();
}

void LabelDialog::CopyButtonClick() {
    if (!applyEdits())
        return;
    refresh();
    if (declaration_)
        QGuiApplication::clipboard()->setText(toQt(declarationText(*declaration_)));
}

void LabelDialog::exportLabel(const QString& caption, const QString& suffix, const QString& filter,
                              void (*write)(const LabelLayout&, const std::string&)) {
    if (!applyEdits())
        return;
    refresh();
    runReportingErrors([&] {
        const std::optional<LabelLayout> l = shownLabel();
        if (!l)
            return;
        const QString proposed =
            proposedExportPath(toQt(declaration_->recipeName), " - etichetta" + suffix);
        const QString path = chooseExportPath(this, caption, proposed, suffix, filter);
        if (!path.isEmpty())
            write(*l, path.toStdString());
    });
}

void LabelDialog::PdfButtonClick() {
    exportLabel(QStringLiteral("Esporta l'etichetta in PDF"), QStringLiteral(".pdf"),
                QStringLiteral("Documenti PDF (*.pdf)"), writeNutritionLabelPdf);
}

void LabelDialog::SvgButtonClick() {
    exportLabel(QStringLiteral("Esporta l'etichetta in SVG"), QStringLiteral(".svg"),
                QStringLiteral("Immagini SVG (*.svg)"), writeLabelSvg);
}

void LabelDialog::PngButtonClick() {
    exportLabel(QStringLiteral("Esporta l'etichetta in PNG"), QStringLiteral(".png"),
                QStringLiteral("Immagini PNG (*.png)"), writeNutritionLabelPng);
}

} // namespace cibrano
