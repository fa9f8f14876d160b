#include "recipe/RecipeSheetData.h"

#include "platform/Clock.h"
#include "platform/DatabaseError.h"
#include "platform/Files.h"
#include "platform/Format.h"
#include "recipe/RecipeBook.h"
#include "recipe/RecipeBookMessages.h"
#include "recipe/RecipeFoodRows.h"

namespace cibrano {

RecipeSheetData recipeSheet(const RecipeInfo& recipe, std::vector<RecipeLine> lines) {
    RecipeSheetData s;
    s.name = recipe.Nome;
    s.values = recipeValues(lines, recipe.Porzioni, recipe.PesoFinale);
    s.servings = s.values.servings;
    s.date = recipe.Modificata;
    s.lines = std::move(lines);
    return s;
}

RecipeSheetData recipeSheet(const RecipeBook& book, int code) {
    const std::optional<RecipeInfo> recipe = book.recipe(code);
    if (!recipe)
        databaseError(formatText(bookmsg::NoSuchRecipe, code));
    return recipeSheet(*recipe, book.linesOf(code));
}

RecipeSheetData currentQuantitiesSheet(RecipeCalculator& calc, int servings, double finalWeight) {
    RecipeSheetData s;
    s.name = kCurrentRecipeName;
    s.kept = false;
    s.date = now();
    s.lines = usedFoodRows(calc);
    s.values = recipeValues(s.lines, servings, finalWeight);
    s.servings = s.values.servings;
    return s;
}

RecipeSheetData currentQuantitiesSheet(const RecipeBook& book, RecipeCalculator& calc) {
    const std::optional<RecipeInfo> recipe = book.recipeOfCurrentQuantities();
    RecipeSheetData s = currentQuantitiesSheet(calc, recipe ? recipe->Porzioni : 1,
                                               recipe ? recipe->PesoFinale : 0);
    if (recipe)
        s.name = recipe->Nome;
    return s;
}

void writeExportFile(const std::string& path, std::string_view bytes) {
    try {
        writeFileAtomically(path, bytes);
    } catch (const std::exception& e) {
        // The system's reason closes the writer's message: "Cannot write file F: reason".
        std::string reason = e.what();
        const size_t colon = reason.rfind(": ");
        if (colon != std::string::npos)
            reason.erase(0, colon + 2);
        const AnsiString file = utf8ToAnsi(path).value_or(path);
        databaseError(
            formatText("Il file %s non si pu\xF2 scrivere (%s).", file.c_str(), reason.c_str()));
    }
}

AnsiString sheetTitle(const RecipeSheetData& sheet) {
    return "Scheda nutrizionale \x97 " + sheet.name;
}

std::vector<AnsiString> per100gTexts(const RecipeValues& values) {
    if (!values.per100g)
        return std::vector<AnsiString>(kNutrientCount, kNoValue);
    return shownTotalsTexts(*values.per100g);
}

} // namespace cibrano
