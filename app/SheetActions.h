#pragma once
// The recipe book's sheet commands, each a function of a parent window and the recipe's data:
// "Stampa…" (the print dialog, then the sheet on the chosen printer), "Esporta PDF…" and
// "Esporta CSV…" (a save dialog proposing "<recipe name>.pdf" or ".csv" in the user's
// documents folder, then the file written atomically). The data come from a recipe of the
// book (recipeSheet(book, code)) or from the food table's current quantities
// (currentQuantitiesSheet). Errors are shown in the error box; nothing is left half-written.

#include "recipe/RecipeSheetData.h"

#include <QString>

#include <functional>
#include <optional>

class QMenu;
class QPrinter;
class QPushButton;
class QWidget;

namespace cibrano {

// A recipe name made into a file name: characters no file name may hold on the usual systems
// (/ \ : * ? " < > | and control characters) become "_", blanks and dots at either end go, a
// name left empty becomes "ricetta"; at most 100 characters.
QString safeFileName(const QString& name);
// "<documents folder>/<safe name><suffix>" (the home folder when there is no documents one).
QString proposedExportPath(const QString& recipeName, const QString& suffix);

// The save dialog of an export (the one a test installs, else Qt's), proposing `proposed`: the
// file chosen, `suffix` added when its name has none; empty when cancelled.
QString chooseExportPath(QWidget* parent, const QString& caption, const QString& proposed,
                         const QString& suffix, const QString& filter);

// Each answers whether the sheet went out (false: cancelled or failed, the error shown).
bool printRecipeSheet(QWidget* parent, const RecipeSheetData& sheet);
bool exportRecipeSheetPdf(QWidget* parent, const RecipeSheetData& sheet);
bool exportRecipeSheetCsv(QWidget* parent, const RecipeSheetData& sheet);

// The sheet of the food table's current quantities (with a book, named after the kept recipe
// they still are); none, after a message saying so, when no food has a quantity other than 0.
std::optional<RecipeSheetData> currentRecipeSheet(RecipeCalculator& calculator,
                                                  const RecipeBook* book = nullptr);

// Gives `button` a menu of the three commands, "&Stampa…", "Esporta &PDF…" and
// "Esporta &CSV…", each run on the sheet `source` gives when it is chosen (none: nothing is
// done). Answers the menu (owned by the button).
QMenu* attachSheetMenu(QPushButton* button, std::function<std::optional<RecipeSheetData>()> source);

// The dialogs the commands ask, replaceable by tests (none restores Qt's own).
struct SheetDialogs {
    // The save dialog: the file chosen, or an empty text when cancelled.
    std::function<QString(QWidget* parent, const QString& caption, const QString& proposed,
                          const QString& filter)>
        saveFileName;
    // The print dialog on `printer`: true when confirmed.
    std::function<bool(QWidget* parent, QPrinter& printer)> choosePrinter;
};
void setSheetDialogsForTesting(SheetDialogs dialogs);

} // namespace cibrano
