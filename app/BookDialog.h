#pragma once
// BookDialog: the recipe book's window ("Ricettario"), modal and resizable. The recipes in
// a title grid (Nome, Porzioni, PesoFinale, Modificata; a title click sorts), below it the
// ingredients of the selected recipe with their nine values per 100 g in a second title grid,
// then the recipe's nine totals, per serving and per 100 g of the finished dish, with its
// weights and what the incomplete totals lack, and the commands: save the food table's
// current recipe, load the selected one into the food table (also a double click), delete it
// (also the Delete key). Names, servings, final weights and grams are edited in place in the
// grids; F4 or the ingredients' context menu opens the line's food card. The window is a thin
// view over RecipeBook, which checks and writes every change. Beside the totals, the selected
// recipe's energy split; below the commands, its sheet printed or exported as PDF or CSV, its
// nutrition label (LabelDialog), and the sheet of the food table's current quantities (a menu
// of the same three).

#include "platform/AnsiString.h"
#include "recipe/RecipeSheetData.h"

#include <QDialog>

#include <array>
#include <optional>

class QLabel;
class QPushButton;

namespace cibrano {

class RecipeBook;
class RecipeCalculator;
class TEnergyChart;
class TTitleDBGrid;
class TCustomDBGrid;

class BookDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 940;
    static constexpr int kClientHeight = 600;

    // Opens the book when it is not open yet. The calculator, when given, is the food table
    // whose current quantities "Scheda della ricetta corrente…" makes a sheet of.
    BookDialog(RecipeBook& book, QWidget* parent = nullptr, RecipeCalculator* calculator = nullptr);
    ~BookDialog() override;

    // Shows the window modally, centred on its parent (on the screen without one); returns when
    // it closes.
    int showModal();

    QLabel* ReadOnlyLabel;
    QLabel* RecipesLabel;
    TTitleDBGrid* RecipesGrid;
    QLabel* LinesLabel;
    TTitleDBGrid* LinesGrid;
    // Summary: rows total, per serving, per 100 g of the finished dish; a column per nutrient,
    // in kShownOrder.
    std::array<std::array<QLabel*, kNutrientCount>, 3> Values;
    QLabel* PerServingLabel;
    QLabel* WeightLabel;
    // What the incomplete totals lack; hidden when nothing is missing.
    QLabel* MissingLabel;
    // The selected recipe's energy split.
    TEnergyChart* EnergyChart;
    QPushButton* SaveButton;
    QPushButton* LoadButton;
    QPushButton* DeleteButton;
    QPushButton* CloseButton;
    QPushButton* PrintButton;
    QPushButton* PdfButton;
    QPushButton* CsvButton;
    // Opens a menu: print, PDF or CSV of the food table's current quantities.
    QPushButton* CurrentSheetButton;
    // The selected recipe's nutrition label (LabelDialog).
    QPushButton* LabelButton;

    // --- Commands --------------------------------------------------------------------------
    void SaveButtonClick();
    void LoadButtonClick();
    void DeleteButtonClick();
    // The selected recipe's sheet: printed, or exported as PDF or CSV.
    void PrintButtonClick();
    void PdfButtonClick();
    void CsvButtonClick();
    // The selected recipe's nutrition label, in its own window.
    void LabelButtonClick();
    // Shows the selected recipe's values and enables what applies.
    void showSummary();
    // Closing (the button, Alt+H, Escape, the window's close) first posts what is being
    // edited; a refused value keeps the window open with its message.
    void reject() override;

private:
    void createControls();
    void configureGrids();
    QWidget* createSummary();
    void recipesKeyDown(int& key, Qt::KeyboardModifiers modifiers);
    // Posts an edit still open in a grid (its checks may refuse it: then false, the message
    // shown once).
    bool settleEdits();
    // The selected recipe's sheet, edits settled first; none without a recipe.
    std::optional<RecipeSheetData> selectedSheet();
    // "Scheda alimento…" on the ingredients (F4, the grid's context menu): the card of the line's
    // food, the food table's row with its Gruppo and Nome.
    void connectFoodCard();
    void LinesFoodCardClick();

    RecipeBook& book_;
    RecipeCalculator* calculator_;
};

} // namespace cibrano
