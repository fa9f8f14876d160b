#pragma once
// TForm1: the program's main window. The food grid fills the top; below it the search bar
// (column choice, find box, information button) and the totals panel (three command buttons
// and the four totals). Every control event is handed to RecipeCalculator, which owns the
// food table and works out the totals; the window only shows what it produces.

#include "recipe/CrashRecovery.h"
#include "recipe/RecipeBook.h"
#include "recipe/RecipeCalculator.h"

#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QPushButton;

namespace cibrano {

class TDataSet;
class TField;
class TFindLineEdit;
class TPanel;
class TTimer;
class TTitleDBGrid;
class TfrmInfo;

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // Makes the window and its components and runs FormCreate: the food table opens from the
    // working folder. An error there is reported and the window is made all the same.
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The information dialog BitBtn2 shows (not owned).
    void setInfoDialog(TfrmInfo* dialog) { frmInfo_ = dialog; }

    RecipeCalculator* recipe() const { return recipe_.get(); }
    // The recipe book over the food table; it opens the first time its window does.
    RecipeBook* book() const { return book_.get(); }
    // The crash recovery of the typed quantities (recipe/CrashRecovery.h).
    CrashRecovery* recovery() const { return recovery_.get(); }
    TTimer* recoveryTimer() const { return recoveryTimer_.get(); }

    TTitleDBGrid* TitleDBGrid1;
    TPanel* Panel2;
    QLabel* Label11;
    QComboBox* ComboBox1;
    QLabel* Label12;
    TFindLineEdit* ZerovFindEdit1;
    QPushButton* BitBtn6; // "&Ricette..."
    QPushButton* BitBtn2;
    TPanel* Panel1;
    QPushButton* BitBtn3;
    QPushButton* BitBtn4;
    QPushButton* BitBtn5;
    QLabel* Label2;
    QLabel* Label4;
    QLabel* Label3;
    QLabel* Label1;
    QLabel* t1;
    QLabel* t2;
    QLabel* t3;
    QLabel* t4;
    // "Scheda alimento…" (F4, and the food grid's context menu on its rows).
    QAction* FoodCardAction;

    // --- Handlers ------------------------------------------------------------------------
    void FormCreate();
    void DataSource1DataChange(const TotalsLabelSet& totals);
    void TitleDBGrid1TitleBtnClick(TTitleDBGrid* sender, int ACol, TField* Field);
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void ComboBox1Change(int index);
    void BitBtn2Click();
    // Shows the recipe book's window modally, centred on this one.
    void BitBtn6Click();
    // Opens the food card of the food grid's current row; its OK writes the row.
    void FoodCardActionExecute();
    // Saves the food table when it changed; false when saving failed and the window stays.
    // The recovery file goes after a save or with nothing to save; a failed save leaves it.
    bool FormClose();
    // The recovery timer's handler: writes the quantities not saved yet (a failure is told
    // once, until a write succeeds again).
    void RecoveryTimerTimer();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Runs a command button's work, its error reported; nothing while the grid is about to
    // report a value it refused as the focus left it, so that the message shows once.
    void runCommand(const std::function<void()>& command);
    void createControls();
    void createSearchBar();
    void createTotalsPanel();
    void configureGrid();
    // The food card's command: F4 and the grid's context menu.
    void createFoodCardCommand();
    void setTabOrders();
    void layOut();
    // At start, when the food table opened: offers the quantities a recovery file holds.
    void offerRecovery();
    // After a data change: the recovery is written within its delay when something may differ.
    void noteChangeForRecovery();

    std::unique_ptr<RecipeCalculator> recipe_;
    std::unique_ptr<RecipeBook> book_;
    std::unique_ptr<CrashRecovery> recovery_;
    std::unique_ptr<TTimer> recoveryTimer_;
    bool recoveryFailureShown_ = false;
    TfrmInfo* frmInfo_ = nullptr;
};

} // namespace cibrano
