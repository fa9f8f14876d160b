#include "app/BookDialog.h"

#include "app/EnergyChart.h"
#include "app/FoodCardDialog.h"
#include "app/LabelDialog.h"
#include "app/SaveRecipeDialog.h"
#include "app/SheetActions.h"
#include "dataset/DataSource.h"
#include "grid/TitleDBCtrl.h"
#include "platform/DatabaseError.h"
#include "platform/Format.h"
#include "platform/UiServices.h"
#include "platform/qt/CommandErrors.h"
#include "platform/qt/Panel.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtText.h"
#include "platform/qt/WindowPlacement.h"
#include "recipe/FoodCard.h"
#include "recipe/FoodCardMessages.h"
#include "recipe/Nutrients.h"
#include "recipe/RecipeBook.h"
#include "recipe/RecipeBookMessages.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace cibrano {

namespace {

void addColumns(TTitleDBGrid* grid, std::initializer_list<std::pair<const char*, int>> columns) {
    for (const auto& [field, width] : columns) {
        TColumn* column = grid->Columns().add();
        column->setFieldName(field);
        column->setWidth(width);
    }
}

} // namespace

BookDialog::BookDialog(RecipeBook& book, QWidget* parent, RecipeCalculator* calculator)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      book_(book), calculator_(calculator) {
    setObjectName("frmRicettario");
    setWindowTitle("Ricettario");
    installFontSubstitutes();
    setFont(msSansSerif(11));
    setModal(true);
    setSizeGripEnabled(true);
    resize(kClientWidth, kClientHeight);
    setMinimumSize(520, 400);
    runReportingErrors([this] { book_.open(); });
    createControls();
    configureGrids();
    connectFoodCard();
    showSummary();
}

BookDialog::~BookDialog() {
    // The grids go before the book's data sources stop calling back here.
    delete RecipesGrid;
    RecipesGrid = nullptr;
    delete LinesGrid;
    LinesGrid = nullptr;
    book_.RecipesSource->OnDataChange = nullptr;
    book_.LinesSource->OnDataChange = nullptr;
}

void BookDialog::createControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(4);

    ReadOnlyLabel = new QLabel(toQt(book_.readOnlyReason()), this);
    ReadOnlyLabel->setObjectName("ReadOnlyLabel");
    ReadOnlyLabel->setWordWrap(true);
    ReadOnlyLabel->setStyleSheet("color: #a00000");
    ReadOnlyLabel->setVisible(book_.readOnly());
    layout->addWidget(ReadOnlyLabel);

    RecipesLabel = new QLabel("&Ricette", this);
    RecipesLabel->setFont(msSansSerif(11, true));
    layout->addWidget(RecipesLabel);
    RecipesGrid = new TTitleDBGrid(this);
    RecipesGrid->setObjectName("RecipesGrid");
    RecipesGrid->setToolTip("Cliccando sulle intestazioni di colonna si cambia l'ordinamento "
                            "delle ricette");
    RecipesLabel->setBuddy(RecipesGrid);
    layout->addWidget(RecipesGrid, 3);

    LinesLabel = new QLabel("&Ingredienti della ricetta (valori per 100 g)", this);
    LinesLabel->setFont(msSansSerif(11, true));
    layout->addWidget(LinesLabel);
    LinesGrid = new TTitleDBGrid(this);
    LinesGrid->setObjectName("LinesGrid");
    LinesLabel->setBuddy(LinesGrid);
    layout->addWidget(LinesGrid, 4);

    layout->addWidget(createSummary());

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    SaveButton = new QPushButton(QString::fromUtf8("&Salva ricetta corrente\u2026"), this);
    SaveButton->setObjectName("SaveButton");
    LoadButton = new QPushButton("&Carica nella tabella", this);
    LoadButton->setObjectName("LoadButton");
    DeleteButton = new QPushButton("&Elimina", this);
    DeleteButton->setObjectName("DeleteButton");
    CloseButton = new QPushButton("C&hiudi", this);
    CloseButton->setObjectName("CloseButton");
    for (QPushButton* b : {SaveButton, LoadButton, DeleteButton, CloseButton}) {
        b->setAutoDefault(false);
        b->setMinimumHeight(25);
    }
    buttons->addWidget(SaveButton);
    buttons->addWidget(LoadButton);
    buttons->addWidget(DeleteButton);
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);
    layout->addLayout(buttons);

    // The sheets: of the selected recipe, and of the food table's current quantities.
    auto* sheets = new QHBoxLayout;
    sheets->setSpacing(6);
    PrintButton = new QPushButton(QString::fromUtf8("S&tampa\u2026"), this);
    PrintButton->setObjectName("PrintButton");
    PdfButton = new QPushButton(QString::fromUtf8("Esporta &PDF\u2026"), this);
    PdfButton->setObjectName("PdfButton");
    CsvButton = new QPushButton(QString::fromUtf8("Esporta CS&V\u2026"), this);
    CsvButton->setObjectName("CsvButton");
    CurrentSheetButton =
        new QPushButton(QString::fromUtf8("Scheda della ricetta c&orrente\u2026"), this);
    CurrentSheetButton->setObjectName("CurrentSheetButton");
    for (QPushButton* b : {PrintButton, PdfButton, CsvButton, CurrentSheetButton}) {
        b->setAutoDefault(false);
        b->setMinimumHeight(25);
    }
    PrintButton->setToolTip("Stampa la scheda nutrizionale della ricetta selezionata");
    PdfButton->setToolTip("Salva la scheda nutrizionale della ricetta selezionata in PDF");
    CsvButton->setToolTip("Salva ingredienti e totali della ricetta selezionata in CSV");
    CurrentSheetButton->setToolTip(
        QString::fromUtf8("La scheda delle quantit\u00e0 della tabella degli alimenti, "
                          "anche non salvate"));
    sheets->addWidget(PrintButton);
    sheets->addWidget(PdfButton);
    sheets->addWidget(CsvButton);
    LabelButton = new QPushButton(QString::fromUtf8("Etichetta &nutrizionale\u2026"), this);
    LabelButton->setObjectName("LabelButton");
    LabelButton->setAutoDefault(false);
    LabelButton->setMinimumHeight(25);
    LabelButton->setToolTip("La dichiarazione nutrizionale della ricetta selezionata, come in "
                            "etichetta (Reg. UE 1169/2011)");
    sheets->addWidget(LabelButton);
    connect(LabelButton, &QPushButton::clicked, this, &BookDialog::LabelButtonClick);
    sheets->addStretch(1);
    sheets->addWidget(CurrentSheetButton);
    layout->addLayout(sheets);
    attachSheetMenu(CurrentSheetButton, [this]() -> std::optional<RecipeSheetData> {
        if (!calculator_ || !settleEdits())
            return std::nullopt;
        return currentRecipeSheet(*calculator_, &book_);
    });

    connect(SaveButton, &QPushButton::clicked, this, &BookDialog::SaveButtonClick);
    connect(LoadButton, &QPushButton::clicked, this, &BookDialog::LoadButtonClick);
    connect(DeleteButton, &QPushButton::clicked, this, &BookDialog::DeleteButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(PrintButton, &QPushButton::clicked, this, &BookDialog::PrintButtonClick);
    connect(PdfButton, &QPushButton::clicked, this, &BookDialog::PdfButtonClick);
    connect(CsvButton, &QPushButton::clicked, this, &BookDialog::CsvButtonClick);

    setTabOrder(RecipesGrid, LinesGrid);
    setTabOrder(LinesGrid, SaveButton);
    setTabOrder(SaveButton, LoadButton);
    setTabOrder(LoadButton, DeleteButton);
    setTabOrder(DeleteButton, CloseButton);
    setTabOrder(CloseButton, PrintButton);
    setTabOrder(PrintButton, PdfButton);
    setTabOrder(PdfButton, CsvButton);
    setTabOrder(CsvButton, CurrentSheetButton);
    setTabOrder(CsvButton, LabelButton);
    setTabOrder(LabelButton, CurrentSheetButton);
}

QWidget* BookDialog::createSummary() {
    auto* panel = new TPanel(this, bvLowered);
    panel->setObjectName("SummaryPanel");
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(8, 4, 8, 4);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(2);
    const QFont bold = msSansSerif(11, true);
    const int columns = static_cast<int>(kNutrientCount);
    for (int c = 0; c < columns; ++c) {
        const Nutrient& n = kNutrients[kShownOrder[static_cast<size_t>(c)]];
        auto* h = new QLabel(n.heading, panel);
        h->setFont(bold);
        h->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        h->setToolTip(n.unit ? QStringLiteral("%1, in %2").arg(n.heading, n.unit)
                             : QString::fromLatin1(n.heading));
        grid->addWidget(h, 1, c + 1);
    }
    const char* rows[] = {"Totale della ricetta", "Per porzione", "Per 100 g"};
    for (int r = 0; r < 3; ++r) {
        auto* h = new QLabel(rows[r], panel);
        h->setFont(bold);
        grid->addWidget(h, r + 2, 0);
        if (r == 1)
            PerServingLabel = h;
        for (int c = 0; c < columns; ++c) {
            QLabel* v = new QLabel(panel);
            v->setObjectName(QString("Value%1%2").arg(r).arg(c));
            v->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            v->setMinimumWidth(52);
            grid->addWidget(v, r + 2, c + 1);
            Values[static_cast<size_t>(r)][static_cast<size_t>(c)] = v;
        }
    }
    PerServingLabel->setObjectName("PerServingLabel");
    WeightLabel = new QLabel(panel);
    WeightLabel->setObjectName("WeightLabel");
    grid->addWidget(WeightLabel, 0, 0, 1, columns + 1);
    MissingLabel = new QLabel(panel);
    MissingLabel->setObjectName("MissingLabel");
    MissingLabel->setWordWrap(true);
    grid->addWidget(MissingLabel, 5, 0, 1, columns + 1);
    EnergyChart = new TEnergyChart(panel);
    EnergyChart->setObjectName("EnergyChart");
    grid->addWidget(EnergyChart, 0, columns + 1, 6, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(columns + 1, 1);
    return panel;
}

void BookDialog::configureGrids() {
    const TDBGridOptions options{dgEditing,  dgTitles,   dgIndicator,   dgColumnResize,
                                 dgColLines, dgRowLines, dgCancelOnExit};
    RecipesGrid->setDataSource(book_.RecipesSource);
    addColumns(RecipesGrid,
               {{"Nome", 330}, {"Porzioni", 64}, {"PesoFinale", 96}, {"Modificata", 120}});
    LinesGrid->setDataSource(book_.LinesSource);
    addColumns(LinesGrid, {{"Gruppo", 110}, {"Nome", 200}, {"Quantita", 64}});
    for (size_t i : kShownOrder)
        addColumns(LinesGrid, {{kNutrients[i].field, 56}});
    for (TTitleDBGrid* grid : {RecipesGrid, LinesGrid}) {
        grid->setOptions(options);
        grid->setTitleButtons(true);
        grid->setTitleFont(msSansSerif(11));
        grid->setReadOnly(book_.readOnly());
        // Each value typed is written when Enter or a move leaves its cell.
        grid->setPostsEachCell(true);
        grid->OnTitleBtnClick = [this](TTitleDBGrid*, int, TField* field) {
            runReportingErrors([&] { book_.sortBy(field); });
        };
    }
    RecipesGrid->OnDblClick = [this](TCustomDBGrid*) { LoadButtonClick(); };
    // Escape with nothing being typed goes on from the grids to the window, which closes.
    RecipesGrid->OnKeyDown = [this](TCustomDBGrid*, int& key, Qt::KeyboardModifiers modifiers) {
        recipesKeyDown(key, modifiers);
    };
    book_.RecipesSource->OnDataChange = [this](TDataSource*, TField*) { showSummary(); };
    book_.LinesSource->OnDataChange = [this](TDataSource*, TField*) { showSummary(); };
}

void BookDialog::recipesKeyDown(int& key, Qt::KeyboardModifiers modifiers) {
    // Delete removes the recipe, with a question, unless a name or servings are being typed.
    if (key == Qt::Key_Delete && !(modifiers & (Qt::ControlModifier | Qt::AltModifier)) &&
        !RecipesGrid->EditorMode()) {
        key = 0;
        DeleteButtonClick();
    }
}

int BookDialog::showModal() {
    QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (owner && owner->isVisible()) {
        QRect frame = frameGeometry();
        frame.moveCenter(owner->frameGeometry().center());
        move(frame.topLeft());
    } else {
        centreOnScreen(this);
    }
    return exec();
}

void BookDialog::showSummary() {
    const std::optional<int> code = book_.currentCode();
    const RecipeValues v = code ? book_.valuesOf(*code) : RecipeValues{};
    const NutrientTotals* rows[] = {&v.totals, &v.perServing, v.per100g ? &*v.per100g : nullptr};
    const std::vector<RecipeLine> lines = code ? book_.linesOf(*code) : std::vector<RecipeLine>{};
    const std::vector<AnsiString> missing = missingValuesTexts(lines);
    for (size_t r = 0; r < 3; ++r) {
        const std::vector<AnsiString> texts = code && rows[r]
                                                  ? shownTotalsTexts(*rows[r])
                                                  : std::vector<AnsiString>(kNutrientCount, "-");
        for (size_t c = 0; c < kNutrientCount; ++c) {
            QLabel* cell = Values[r][c];
            cell->setText(toQt(texts[c]));
            // An incomplete total says what it lacks.
            const size_t n = kShownOrder[c];
            QString tip;
            if (code && rows[r] && !rows[r]->complete(n))
                for (const AnsiString& m : missing)
                    if (m.rfind(kNutrients[n].heading, 0) == 0)
                        tip = toQt(m);
            cell->setToolTip(tip);
        }
    }
    PerServingLabel->setText(code ? toQt(perServingHeading(v)) : QStringLiteral("Per porzione"));
    WeightLabel->setText(code ? toQt(recipeWeightText(v)) : QString());
    QString missingText;
    if (!missing.empty()) {
        missingText = toQt(incompleteTotalsNote()) + "\n";
        for (size_t i = 0; i < missing.size(); ++i)
            missingText += (i ? "; " : "") + toQt(missing[i]);
    }
    MissingLabel->setText(missingText);
    MissingLabel->setVisible(!missing.empty());
    if (code)
        EnergyChart->setTotals(v.totals);
    else
        EnergyChart->clear();
    for (QPushButton* b : {PrintButton, PdfButton, CsvButton})
        b->setEnabled(code.has_value());
    CurrentSheetButton->setEnabled(calculator_ != nullptr);
    LabelButton->setEnabled(code.has_value());
    const bool writable = !book_.readOnly();
    SaveButton->setEnabled(writable);
    LoadButton->setEnabled(code.has_value());
    DeleteButton->setEnabled(writable && code.has_value());
}

bool BookDialog::settleEdits() {
    // A grid that just refused a value says so itself.
    if (RecipesGrid->RefusalPending() || LinesGrid->RefusalPending())
        return false;
    return runReportingErrors([&] {
        LinesGrid->commitEdit();
        RecipesGrid->commitEdit();
        book_.postPendingEdits();
    });
}

void BookDialog::reject() {
    if (settleEdits())
        QDialog::reject();
}

// --- Commands ------------------------------------------------------------------------------

void BookDialog::SaveButtonClick() {
    if (!settleEdits())
        return;
    runReportingErrors([this] {
        if (!book_.foodTableHasQuantities())
            databaseError(bookmsg::NoQuantities);
        SaveRecipeDialog ask(book_, this);
        if (const std::optional<RecipeInfo> source = book_.sourceRecipe())
            ask.propose(source->Nome, source->Porzioni, source->PesoFinale);
        if (ask.exec() != QDialog::Accepted)
            return;
        book_.saveCurrentRecipe(ask.recipeName(), ask.servings(), ask.replacesExisting(),
                                ask.finalWeight());
        RecipesGrid->setFocus();
    });
    showSummary();
}

void BookDialog::LoadButtonClick() {
    if (!settleEdits())
        return;
    bool loaded = false;
    runReportingErrors([&] {
        const std::optional<int> code = book_.currentCode();
        if (!code)
            return;
        const AnsiString name = book_.recipe(*code)->Nome;
        if (book_.foodTableHasQuantities() &&
            !askYesNo(formatText(bookmsg::ReplaceQuantitiesQuestion, name.c_str())))
            return;
        const RecipeLoadResult result = book_.loadRecipe(*code);
        if (!result.missing.empty())
            uiServices().showWarning(applicationTitle(),
                                     RecipeBook::missingFoodsMessage(result.missing));
        loaded = true;
    });
    // The recipe is in the food table: the book steps aside to show it.
    if (loaded)
        accept();
}

std::optional<RecipeSheetData> BookDialog::selectedSheet() {
    if (!settleEdits())
        return std::nullopt;
    const std::optional<int> code = book_.currentCode();
    if (!code)
        return std::nullopt;
    return recipeSheet(book_, *code);
}

void BookDialog::PrintButtonClick() {
    runReportingErrors([this] {
        if (const std::optional<RecipeSheetData> sheet = selectedSheet())
            printRecipeSheet(this, *sheet);
    });
}

void BookDialog::PdfButtonClick() {
    runReportingErrors([this] {
        if (const std::optional<RecipeSheetData> sheet = selectedSheet())
            exportRecipeSheetPdf(this, *sheet);
    });
}

void BookDialog::CsvButtonClick() {
    runReportingErrors([this] {
        if (const std::optional<RecipeSheetData> sheet = selectedSheet())
            exportRecipeSheetCsv(this, *sheet);
    });
}

void BookDialog::LabelButtonClick() {
    if (!settleEdits())
        return;
    if (const std::optional<int> code = book_.currentCode()) {
        LabelDialog label(book_, *code, this);
        label.exec();
    }
    showSummary();
}

void BookDialog::DeleteButtonClick() {
    if (!settleEdits())
        return;
    runReportingErrors([this] {
        const std::optional<int> code = book_.currentCode();
        if (!code)
            return;
        const AnsiString name = book_.recipe(*code)->Nome;
        if (askYesNo(formatText(bookmsg::DeleteQuestion, name.c_str())))
            book_.deleteRecipe(*code);
    });
    showSummary();
}

// --- The food card of a line -----------------------------------------------------------------

void BookDialog::connectFoodCard() {
    auto* action = new QAction(QString::fromUtf8("Scheda alimento\u2026"), this);
    action->setObjectName("LinesFoodCardAction");
    action->setShortcut(Qt::Key_F4);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    connect(action, &QAction::triggered, this, &BookDialog::LinesFoodCardClick);
    LinesGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(LinesGrid, &QWidget::customContextMenuRequested, this, [this, action](QPoint at) {
        if (LinesGrid->mouseCoord(at.x(), at.y()).Y < LinesGrid->TitleOffset())
            return;
        QMenu menu(this);
        menu.addAction(action);
        menu.exec(LinesGrid->viewport()->mapToGlobal(at));
    });
}

void BookDialog::LinesFoodCardClick() {
    if (!calculator_ || !settleEdits() || book_.Lines->hasNoRecords())
        return;
    runReportingErrors([this] {
        const AnsiString gruppo = book_.LinesGruppo->stringValue();
        const AnsiString nome = book_.LinesNome->stringValue();
        const std::optional<FoodCardRow> row = findFoodRow(*calculator_, gruppo, nome);
        if (!row)
            databaseError(formatText(cardmsg::NoSuchFood, nome.c_str(), gruppo.c_str()));
        FoodCardDialog dialog(row->card, this);
        dialog.OnConfirm = [&](const FoodCardTyped& typed) {
            return saveFoodCard(*calculator_, *row, typed) != FoodCardOutcome::declined;
        };
        dialog.exec();
    });
}

} // namespace cibrano
