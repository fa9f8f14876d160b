#include "app/alimenti.h"

#include "app/AppResources.h"
#include "app/BookDialog.h"
#include "app/FindLineEdit.h"
#include "app/FoodCardDialog.h"
#include "app/InfoDialog.h"
#include "grid/TitleDBCtrl.h"
#include "platform/DateTimeText.h"
#include "platform/Format.h"
#include "platform/Timer.h"
#include "platform/UiServices.h"
#include "platform/qt/CommandErrors.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Panel.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtText.h"
#include "platform/qt/WindowPlacement.h"
#include "recipe/FoodCard.h"
#include "recipe/RecipeCalculatorMessages.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

namespace cibrano {

namespace {

// The window's client size as designed, and the heights of the two bottom panels.
constexpr int kClientWidth = 747;
constexpr int kClientHeight = 449;
constexpr int kSearchBarHeight = 29;
constexpr int kTotalsPanelHeight = 89;

} // namespace

TForm1::TForm1(QWidget* parent)
    : QWidget(parent), recipe_(std::make_unique<RecipeCalculator>()),
      book_(std::make_unique<RecipeBook>(*recipe_)),
      recovery_(std::make_unique<CrashRecovery>(*recipe_)), recoveryTimer_(createTimer()) {
    loadAppResources();
    setObjectName("Form1");
    setWindowTitle("Cibrano");
    setWindowIcon(QIcon(":/cibrano/cibrano-32.png"));
    setFont(msSansSerif(11));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
    setAutoFillBackground(true);
    resize(kClientWidth, kClientHeight);
    centreOnScreen(this);

    createControls();
    layOut();

    recoveryTimer_->setInterval(CrashRecovery::kWriteDelay);
    recoveryTimer_->setSingleShot(true);
    recoveryTimer_->OnTimer = [this] { RecoveryTimerTimer(); };
    recipe_->OnShowTotals = [this](const TotalsLabelSet& totals) { DataSource1DataChange(totals); };
    // Made with the window; its failure is reported and the window opens all the same.
    FormCreate();
}

TForm1::~TForm1() {
    recoveryTimer_.reset();
    // The controls bound to the food table go before the table and its data source.
    delete TitleDBGrid1;
    TitleDBGrid1 = nullptr;
    delete Panel2;
    Panel2 = nullptr;
    // The book and the recovery read the food table: they go first.
    book_.reset();
    recovery_.reset();
    if (recipe_)
        recipe_->OnShowTotals = nullptr;
    recipe_.reset();
}

void TForm1::createControls() {
    TitleDBGrid1 = new TTitleDBGrid(this);
    TitleDBGrid1->setObjectName("TitleDBGrid1");
    TitleDBGrid1->setToolTip(
        "Cliccando sulle intestazioni di colonna si cambia l'ordinamento delle righe");
    configureGrid();
    createSearchBar();
    createTotalsPanel();
    setTabOrders();
    createFoodCardCommand();
}

void TForm1::configureGrid() {
    TTitleDBGrid* grid = TitleDBGrid1;
    grid->setDataSource(recipe_->DataSource1);
    const struct {
        const char* field;
        int width;
    } columns[] = {{"Gruppo", 113}, {"Nome", 276},    {"Quantita", 77}, {"Glucidi", 60},
                   {"Lipidi", 60},  {"Proteine", 60}, {"Kcalorie", 60}};
    for (const auto& c : columns) {
        TColumn* column = grid->Columns().add();
        column->setFieldName(c.field);
        column->setWidth(c.width);
    }
    grid->setOptions(TDBGridOptions{dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines,
                                    dgRowLines, dgCancelOnExit});
    grid->setTitleButtons(true);
    grid->setTitleFont(msSansSerif(11));
    grid->OnTitleBtnClick = [this](TTitleDBGrid* sender, int col, TField* field) {
        TitleDBGrid1TitleBtnClick(sender, col, field);
    };
}

void TForm1::createFoodCardCommand() {
    FoodCardAction = new QAction(QString::fromUtf8("Scheda alimento\u2026"), this);
    FoodCardAction->setObjectName("FoodCardAction");
    FoodCardAction->setShortcut(Qt::Key_F4);
    FoodCardAction->setShortcutContext(Qt::WindowShortcut);
    addAction(FoodCardAction);
    connect(FoodCardAction, &QAction::triggered, this, [this] {
        // The column box keeps F4 for its list.
        if (ComboBox1->isAncestorOf(focusWidget()) || focusWidget() == ComboBox1) {
            ComboBox1->showPopup();
            return;
        }
        FoodCardActionExecute();
    });
    // On the grid's rows (the right button has made the row under it current); not on its
    // titles, where the right button moves a column.
    TitleDBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TitleDBGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (TitleDBGrid1->mouseCoord(at.x(), at.y()).Y < TitleDBGrid1->TitleOffset())
            return;
        QMenu menu(this);
        menu.addAction(FoodCardAction);
        menu.exec(TitleDBGrid1->viewport()->mapToGlobal(at));
    });
}

void TForm1::createSearchBar() {
    Panel2 = new TPanel(this);
    Panel2->setObjectName("Panel2");

    Label11 = newLabel(Panel2, "Ricerca / filtra per colonna ", QRect(8, 8, 129, 13), font());

    ComboBox1 = new QComboBox(Panel2);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setGeometry(144, 4, 125, 21);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->addItems({"Gruppo", "Nome"});
    // "Nome" stands in the box with no item chosen.
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText("Nome");
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TForm1::ComboBox1Change);
    // Typing into the box chooses no item.
    connect(ComboBox1->lineEdit(), &QLineEdit::textEdited, this, [this] { ComboBox1Change(-1); });

    Label12 = newLabel(Panel2, "che contiene", QRect(276, 8, 62, 13), font());

    ZerovFindEdit1 = new TFindLineEdit(Panel2);
    ZerovFindEdit1->setObjectName("ZerovFindEdit1");
    ZerovFindEdit1->setGeometry(348, 4, 121, 21);
    ZerovFindEdit1->setFindEdit(recipe_->ZerovFindEdit1);

    BitBtn2 = newButton(Panel2, "&Informazioni", QRect(636, 4, 107, 21),
                        glyphIcon(QPixmap(":/cibrano/question-glyph.png"), 2));
    BitBtn2->setObjectName("BitBtn2");
    connect(BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);

    // In the free room left of "Informazioni", on its row; after it in the tab order.
    BitBtn6 = newButton(Panel2, QString::fromUtf8("&Ricette\u2026"), QRect(525, 4, 107, 21));
    BitBtn6->setObjectName("BitBtn6");
    connect(BitBtn6, &QPushButton::clicked, this, &TForm1::BitBtn6Click);
}

void TForm1::createTotalsPanel() {
    Panel1 = new TPanel(this);
    Panel1->setObjectName("Panel1");

    BitBtn3 = newButton(Panel1, QString::fromUtf8("Mostra solo righe con quantit\u00E0 <> 0"),
                        QRect(4, 4, 261, 25));
    BitBtn4 = newButton(Panel1, "Mostra tutte le righe del database", QRect(4, 32, 261, 25));
    BitBtn5 = newButton(Panel1, QString::fromUtf8("Azzera tutte le quantit\u00E0"),
                        QRect(4, 60, 261, 25));
    BitBtn3->setObjectName("BitBtn3");
    BitBtn4->setObjectName("BitBtn4");
    BitBtn5->setObjectName("BitBtn5");
    connect(BitBtn3, &QPushButton::clicked, this, &TForm1::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TForm1::BitBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TForm1::BitBtn5Click);

    const QFont totalsFont = msSansSerif(16, true);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignTop;
    auto label = [&](const char* name, const char* caption, int left, int top) {
        QLabel* l = newLabel(Panel1, caption, QRect(left, top, 80, 20), totalsFont, right);
        l->setObjectName(name);
        return l;
    };
    Label2 = label("Label2", "Glucidi", 328, 20);
    Label4 = label("Label4", "Proteine", 436, 20);
    Label3 = label("Label3", "Lipidi", 544, 20);
    Label1 = label("Label1", "Kcalorie", 652, 20);
    // The value labels show their design captions until the first totals.
    t1 = label("t1", "Glucidi", 328, 40);
    t2 = label("t2", "Proteine", 436, 40);
    t3 = label("t3", "Lipidi", 544, 40);
    t4 = label("t4", "Kcalorie", 652, 40);
}

void TForm1::setTabOrders() {
    // The grid, then the search bar (column, find box, information, recipes), then the totals
    // panel's buttons.
    QWidget* order[] = {TitleDBGrid1, ComboBox1, ZerovFindEdit1, BitBtn2,
                        BitBtn6,      BitBtn3,   BitBtn4,        BitBtn5};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TForm1::layOut() {
    // Both panels keep their heights along the bottom, at full width; the grid takes the rest.
    const int w = width();
    const int h = height();
    Panel1->setGeometry(0, h - kTotalsPanelHeight, w, kTotalsPanelHeight);
    Panel2->setGeometry(0, h - kTotalsPanelHeight - kSearchBarHeight, w, kSearchBarHeight);
    TitleDBGrid1->setGeometry(0, 0, w, std::max(0, h - kTotalsPanelHeight - kSearchBarHeight));
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        TitleDBGrid1->setFocus();
}

// --- Handlers -------------------------------------------------------------------------------

void TForm1::FormCreate() {
    runReportingErrors([this] { recipe_->OpenRecipeTables(); });
    if (recipe_->Table1->Active())
        runReportingErrors([this] { offerRecovery(); });
}

void TForm1::offerRecovery() {
    recovery_->noteTableOpened();
    const RecoveryFound found = recovery_->examine();
    if (found.kind == RecoveryFound::refused) {
        uiServices().showWarning(applicationTitle(), found.message);
        return;
    }
    if (found.kind != RecoveryFound::offer)
        return;
    const AnsiString question =
        formatText(calcmsg::RecoveryQuestion, static_cast<int>(found.quantities.size()),
                   formatDateTime(found.written).c_str());
    if (!askYesNo(question, true)) {
        recovery_->decline();
        return;
    }
    const int missing = recovery_->apply(found.quantities);
    if (missing > 0)
        uiServices().showWarning(applicationTitle(), formatText(calcmsg::RecoveryMissing, missing));
}

void TForm1::DataSource1DataChange(const TotalsLabelSet& totals) {
    t1->setText(toQt(totals.t1));
    t2->setText(toQt(totals.t2));
    t3->setText(toQt(totals.t3));
    t4->setText(toQt(totals.t4));
    noteChangeForRecovery();
}

void TForm1::noteChangeForRecovery() {
    if (!recovery_ || !recoveryTimer_ || !recovery_->active() || recoveryTimer_->Enabled())
        return;
    const DatasetState state = recipe_->Table1->State();
    // At most one write per delay: later changes wait for the one already due.
    if (recipe_->Table1->hasUnsavedChanges() || state == stateEdit || state == stateInsert)
        recoveryTimer_->setEnabled(true);
}

void TForm1::RecoveryTimerTimer() {
    try {
        recovery_->writeNow();
        recoveryFailureShown_ = false;
    } catch (const std::exception& e) {
        if (recoveryFailureShown_)
            return;
        recoveryFailureShown_ = true;
        // The system's reason closes the writer's message: "Cannot write file F: reason".
        std::string reason = e.what();
        if (const size_t colon = reason.rfind(": "); colon != std::string::npos)
            reason.erase(0, colon + 2);
        const AnsiString name = utf8ToAnsi(recovery_->path()).value_or(recovery_->path());
        uiServices().showWarning(applicationTitle(), formatText(calcmsg::RecoveryNotWritten,
                                                                name.c_str(), reason.c_str()));
    }
}

void TForm1::TitleDBGrid1TitleBtnClick(TTitleDBGrid*, int, TField* Field) {
    runReportingErrors([&] { recipe_->SortByField(Field); });
}

void TForm1::BitBtn3Click() {
    runCommand([this] {
        recipe_->ShowUsedRowsOnly();
        TitleDBGrid1->viewport()->repaint();
    });
}

void TForm1::BitBtn4Click() {
    runCommand([this] {
        recipe_->ShowAllRows();
        TitleDBGrid1->viewport()->repaint();
    });
}

void TForm1::BitBtn5Click() {
    runCommand([this] {
        // A stray key must not empty a recipe: zeroing quantities in use asks first.
        const int count = recipe_->QuantitiesToZero();
        if (count > 0 && !askYesNo(count == 1 ? AnsiString(calcmsg::ZeroOneQuestion)
                                              : formatText(calcmsg::ZeroManyQuestion, count)))
            return;
        recipe_->ZeroAllQuantities();
    });
}

void TForm1::ComboBox1Change(int index) {
    runReportingErrors([&] { recipe_->SetSearchColumn(index); });
}

void TForm1::runCommand(const std::function<void()>& command) {
    // The grid refused a value as the focus left it and is about to say so itself.
    if (TitleDBGrid1->RefusalPending())
        return;
    runReportingErrors(command);
}

void TForm1::BitBtn2Click() {
    if (frmInfo_)
        frmInfo_->showModal();
}

void TForm1::BitBtn6Click() {
    runCommand([this] {
        BookDialog dialog(*book_, this, recipe_.get());
        dialog.showModal();
    });
}

void TForm1::FoodCardActionExecute() {
    runCommand([this] {
        // A value being typed in the grid goes into its row first, as leaving the row would.
        TitleDBGrid1->commitEdit();
        const FoodCardRow row = currentFoodRow(*recipe_);
        FoodCardDialog dialog(row.card, this);
        dialog.OnConfirm = [&](const FoodCardTyped& typed) {
            return saveFoodCard(*recipe_, row, typed) != FoodCardOutcome::declined;
        };
        dialog.exec();
    });
}

bool TForm1::FormClose() {
    // What the save is to write is in the recovery file first: should the save fail, its
    // discard leaves the file as the one copy, for the next start to offer.
    if (recipe_->Table1->Active() && recipe_->Table1->hasUnsavedChanges()) {
        try {
            recovery_->writeNow();
        } catch (const std::exception&) {
            // The save is what matters now; a recovery that cannot be written was told already
            // or will be of no use once the save succeeds.
        }
    }
    try {
        recipe_->SaveOnClose();
    } catch (const std::exception& e) {
        if (recipe_->Table1->Active() && !recipe_->Table1->hasUnsavedChanges())
            recovery_->keepForNextStart();
        reportError(e);
        return false;
    }
    recovery_->removeFile();
    return true;
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (FormClose())
        event->accept();
    else
        event->ignore();
}

} // namespace cibrano
