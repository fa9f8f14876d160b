// The recipe book and the food table: putting a kept recipe back into it with one pass over
// its stored records (taking the current recipe from it is recipe/RecipeFoodRows.h's walk).

#include "recipe/RecipeBook.h"

#include "dataset/DataSource.h"
#include "platform/DatabaseError.h"
#include "platform/Format.h"
#include "recipe/RecipeBookMessages.h"
#include "recipe/RecipeFoodRows.h"

#include <map>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace cibrano {

bool RecipeBook::foodTableHasQuantities() {
    return cibrano::foodTableHasQuantities(food());
}

double RecipeBook::currentQuantitiesGrams() {
    double grams = 0;
    for (const RecipeLine& line : usedFoodRows(food()))
        grams += line.Quantita;
    return grams;
}

RecipeLoadResult RecipeBook::loadRecipe(int code) {
    // Without its lines a recipe would load as nothing at all: every quantity 0.
    if (!linesUnreadable_.empty())
        databaseError(formatText(bookmsg::ReadOnly, linesUnreadable_.c_str()));
    postPendingEdits();
    const std::optional<RecipeInfo> info = recipe(code);
    if (!info)
        databaseError(formatText(bookmsg::NoSuchRecipe, code));
    const std::vector<RecipeLine> lines = linesOf(code);
    RecipeCalculator& calc = food();
    settleFoodTable(calc);
    const FoodSlots s = foodSlots(calc);
    TZerovTable& foodTable = *calc.Table1;

    // The lines by food name; a name seldom stands in more than one line.
    std::unordered_map<std::string_view, std::vector<size_t>> byName;
    byName.reserve(lines.size() * 2);
    for (size_t i = 0; i < lines.size(); ++i)
        byName[lines[i].Nome].push_back(i);

    // One pass over the stored rows, in stored order: each line goes to the first row with its
    // Gruppo and Nome (two lines of one food both go there, their grams added), every other
    // row to 0. Only the rows whose quantity must change are noted.
    std::vector<bool> found(lines.size(), false);
    std::unordered_map<const RecordEntry*, double> changes;
    forEachStoredRecord(foodTable, [&](const RecordEntry& entry) {
        const RecordEntry* e = &entry;
        double wanted = 0;
        if (!byName.empty()) {
            const auto hit = byName.find(s.nome.text(e->data));
            if (hit != byName.end()) {
                const std::string_view gruppo = s.gruppo.text(e->data);
                for (size_t i : hit->second)
                    if (!found[i] && lines[i].Gruppo == gruppo) {
                        found[i] = true;
                        wanted += lines[i].Quantita;
                    }
            }
        }
        if (s.quantita.number(e->data) != wanted)
            changes.emplace(e, wanted);
    });

    RecipeLoadResult result;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (found[i])
            ++result.loaded;
        else
            result.missing.push_back(lines[i]);
    }

    setFoodQuantities(calc, changes);

    sourceCode_ = code;
    return result;
}

std::optional<RecipeInfo> RecipeBook::sourceRecipe() const {
    return sourceCode_ ? recipe(*sourceCode_) : std::nullopt;
}

std::optional<RecipeInfo> RecipeBook::recipeOfCurrentQuantities() const {
    const std::optional<RecipeInfo> source = sourceRecipe();
    if (!source)
        return std::nullopt;
    // Compared as sets of foods: a line goes to the first row of its food, wherever it is.
    auto grams = [](const std::vector<RecipeLine>& lines) {
        std::map<std::pair<AnsiString, AnsiString>, double> byFood;
        for (const RecipeLine& l : lines)
            byFood[{l.Gruppo, l.Nome}] += l.Quantita;
        return byFood;
    };
    if (grams(usedFoodRows(food())) != grams(linesOf(source->Codice)))
        return std::nullopt;
    return source;
}

} // namespace cibrano
