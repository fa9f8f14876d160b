#pragma once
// The recipe book's sheet commands, each a function of a parent window and the recipe's data:
// "Stampa…" (the print dialog, then the sheet on the chosen printer), "Esporta PDF…" and
// "Esporta CSV…" (a save dialog proposing "<recipe name>.pdf" or ".csv" in the user's
// documents folder, then the file written atomically). The data come from a recipe of the
// book (recipeSheet(book, code)) or from the food table's current quantities
// (currentQuantitiesSheet). Errors are shown in the error box; nothing is left half-written.

#include "app/RecipeSheetData.h"

#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace cibrano {

// A recipe name made into a file name: characters no file name may hold on the usual systems
// (/ \ : * ? " < > | and control characters) become "_", blanks and dots at either end go, a
// name left empty becomes "ricetta"; at most 100 characters.
QString safeFileName(const QString& name);
// "<documents folder>/<safe name><suffix>" (the home folder when there is no documents one).
QString proposedExportPath(const QString& recipeName, const QString& suffix);

// Each answers whether the sheet went out (false: cancelled or failed, the error shown).
bool printRecipeSheet(QWidget* parent, const RecipeSheetData& sheet);
bool exportRecipeSheetPdf(QWidget* parent, const RecipeSheetData& sheet);
bool exportRecipeSheetCsv(QWidget* parent, const RecipeSheetData& sheet);

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
