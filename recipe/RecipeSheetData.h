#pragma once
// What a recipe's sheet (printed, as PDF or as CSV) shows, gathered without a window: the
// recipe's name, servings and date, its lines in the book's order and its values. A sheet is
// made from a recipe of the book or from the food table's current quantities (a recipe not
// kept yet).

#include "platform/AnsiString.h"
#include "platform/DateTime.h"
#include "recipe/RecipeValues.h"

#include <string>
#include <string_view>
#include <vector>

namespace cibrano {

class RecipeBook;
struct RecipeInfo;

struct RecipeSheetData {
    AnsiString name;
    int servings = 1;
    // When the recipe was last saved; for the current quantities, when the sheet was made.
    TDateTime date = 0;
    // False for the food table's current quantities.
    bool kept = true;
    std::vector<RecipeLine> lines;
    RecipeValues values;
};

// The name the sheet of the current quantities carries.
inline constexpr const char* kCurrentRecipeName = "Ricetta corrente (non salvata)";

RecipeSheetData recipeSheet(const RecipeInfo& recipe, std::vector<RecipeLine> lines);
// A recipe of the book; raises when the book has none with that code.
RecipeSheetData recipeSheet(const RecipeBook& book, int code);
// The food table's current quantities: every stored row whose quantity is not 0, in stored
// order, whatever the food table shows (usedFoodRows: a value still being typed is posted
// first, a new row nothing was typed into goes). Raises when the food table is not open.
RecipeSheetData currentQuantitiesSheet(RecipeCalculator& calculator, int servings = 1,
                                       double finalWeight = 0);
// The same, named after the kept recipe the quantities still are (its name, servings and final
// weight; see
// RecipeBook::recipeOfCurrentQuantities), else kCurrentRecipeName.
RecipeSheetData currentQuantitiesSheet(const RecipeBook& book, RecipeCalculator& calculator);

// The sheet's title, "Scheda nutrizionale \x97 " and the recipe's name (a printed document's
// name, a PDF's title, the sheet's heading).
AnsiString sheetTitle(const RecipeSheetData& sheet);
// The per-100 g texts in kShownOrder: "—" each when the recipe weighs nothing.
std::vector<AnsiString> per100gTexts(const RecipeValues& values);
// Writes an exported file atomically: the bytes go to a temporary file in the same folder,
// renamed over `path` once all of them are on disk. A file that cannot be written (folder
// missing, read-only, disk full) raises EDatabaseError with an Italian message naming it, and
// leaves neither a half-written file nor the temporary one behind.
void writeExportFile(const std::string& path, std::string_view bytes);

// The text shown for a value that does not exist (a per-100 g value of a recipe of 0 g).
inline constexpr const char* kNoValue = "\x97";

} // namespace cibrano
