#include "recipe/RecipeSheetData.h"

#include "platform/Clock.h"
#include "platform/DatabaseError.h"
#include "platform/Files.h"
#include "platform/Format.h"
#include "recipe/RecipeBook.h"
#include "recipe/RecipeBookSlots.h"

namespace cibrano {

RecipeSheetData recipeSheet(const RecipeInfo& recipe, std::vector<RecipeLine> lines) {
    RecipeSheetData s;
    s.name = recipe.Nome;
    s.values = recipeValues(lines, recipe.Porzioni);
    s.servings = s.values.servings;
    s.date = recipe.Modificata;
    s.lines = std::move(lines);
    return s;
}

RecipeSheetData recipeSheet(const RecipeBook& book, int code) {
    const std::optional<RecipeInfo> recipe = book.recipe(code);
    if (!recipe)
        databaseError(formatText("La ricetta numero %d non esiste pi\xF9.", code));
    return recipeSheet(*recipe, book.linesOf(code));
}

RecipeSheetData currentQuantitiesSheet(RecipeCalculator& calc, int servings) {
    TZerovTable& food = *calc.Table1;
    food.checkActive();
    // A value still being typed counts, as it would once the row is left.
    if (food.State() == stateEdit || food.State() == stateInsert)
        food.postRecord();
    const TZerovField* gruppo = food.storedField(calc.Table1Gruppo);
    const TZerovField* nome = food.storedField(calc.Table1Nome);
    const TZerovField* quantita = food.storedField(calc.Table1Quantita);
    const TZerovField* kcalorie = food.storedField(calc.Table1Kcalorie);
    const TZerovField* glucidi = food.storedField(calc.Table1Glucidi);
    const TZerovField* lipidi = food.storedField(calc.Table1Lipidi);
    const TZerovField* proteine = food.storedField(calc.Table1Proteine);
    for (const TZerovField* f : {gruppo, nome, quantita, kcalorie, glucidi, lipidi, proteine})
        if (!f)
            databaseError("The food table lacks a field a recipe needs");

    RecipeSheetData s;
    s.name = kCurrentRecipeName;
    s.kept = false;
    s.date = now();
    // Every stored row, whatever the food table's filter, range or order shows.
    for (const RecordEntry* e : food.store()->entries()) {
        if (!e->isLive() || !e->data)
            continue;
        const double grams = slotNumber(e->data, *quantita);
        if (grams == 0)
            continue;
        s.lines.push_back({AnsiString(slotText(e->data, *gruppo)),
                           AnsiString(slotText(e->data, *nome)), grams,
                           slotNumber(e->data, *kcalorie), slotNumber(e->data, *glucidi),
                           slotNumber(e->data, *lipidi), slotNumber(e->data, *proteine)});
    }
    s.values = recipeValues(s.lines, servings);
    s.servings = s.values.servings;
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

TotalsLabelSet per100gTexts(const RecipeValues& values) {
    if (!values.per100g)
        return {kNoValue, kNoValue, kNoValue, kNoValue};
    return formatRecipeTotals(*values.per100g);
}

} // namespace cibrano
