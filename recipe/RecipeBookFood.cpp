// The recipe book and the food table: taking the current recipe from it and putting a kept
// recipe back into it, each with one pass over the food table's stored records.

#include "recipe/RecipeBook.h"

#include "dataset/DataSource.h"
#include "platform/DatabaseError.h"
#include "platform/Format.h"
#include "platform/RunThenAlways.h"
#include "recipe/RecipeBookMessages.h"

#include <string_view>
#include <unordered_map>
#include <utility>

namespace cibrano {

namespace {

// Where the food table keeps the values a recipe needs.
struct FoodSlots {
    StoredField gruppo, nome, quantita, kcalorie, glucidi, lipidi, proteine;
};

FoodSlots foodSlots(const RecipeCalculator& calc) {
    const TZerovTable& food = *calc.Table1;
    food.checkActive();
    FoodSlots s{{food, calc.Table1Gruppo},   {food, calc.Table1Nome},
                {food, calc.Table1Quantita}, {food, calc.Table1Kcalorie},
                {food, calc.Table1Glucidi},  {food, calc.Table1Lipidi},
                {food, calc.Table1Proteine}};
    for (const StoredField* f :
         {&s.gruppo, &s.nome, &s.quantita, &s.kcalorie, &s.glucidi, &s.lipidi, &s.proteine})
        if (!*f)
            databaseError("The food table lacks a field a recipe needs");
    if (s.quantita.storageKind() != kindFloat)
        databaseError("The food table's Quantita is not a float field");
    return s;
}

} // namespace

void RecipeBook::settleFoodTable() {
    TZerovTable& food = *calc_.Table1;
    food.checkActive();
    // A value still being typed counts, as it would once the row is left; a new row nothing
    // was typed into goes, as the grid lets it go.
    if (food.State() == stateInsert && !food.Modified())
        food.cancelRecord();
    else if (food.State() == stateEdit || food.State() == stateInsert)
        food.postRecord();
}

std::vector<RecipeLine> RecipeBook::usedFoodRows() {
    settleFoodTable();
    const FoodSlots s = foodSlots(calc_);
    std::vector<RecipeLine> lines;
    // Every stored row, whatever the food table's filter, range or order shows.
    forEachStoredRecord(*calc_.Table1, [&](const RecordEntry& e) {
        const double grams = s.quantita.number(e.data);
        if (grams == 0)
            return;
        lines.push_back({AnsiString(s.gruppo.text(e.data)), AnsiString(s.nome.text(e.data)), grams,
                         s.kcalorie.number(e.data), s.glucidi.number(e.data),
                         s.lipidi.number(e.data), s.proteine.number(e.data)});
    });
    return lines;
}

bool RecipeBook::foodTableHasQuantities() {
    settleFoodTable();
    const FoodSlots s = foodSlots(calc_);
    bool used = false;
    forEachStoredRecord(*calc_.Table1, [&](const RecordEntry& e) {
        used = used || s.quantita.number(e.data) != 0;
    });
    return used;
}

RecipeLoadResult RecipeBook::loadRecipe(int code) {
    // Without its lines a recipe would load as nothing at all: every quantity 0.
    if (!linesUnreadable_.empty())
        databaseError(formatText(bookmsg::ReadOnly, linesUnreadable_.c_str()));
    const std::optional<RecipeInfo> info = recipe(code);
    if (!info)
        databaseError(formatText(bookmsg::NoSuchRecipe, code));
    const std::vector<RecipeLine> lines = linesOf(code);
    settleFoodTable();
    const FoodSlots s = foodSlots(calc_);
    TZerovTable& food = *calc_.Table1;

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
    forEachStoredRecord(food, [&](const RecordEntry& entry) {
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

    // The changes go through the food table itself, as typing them would: each row is put
    // into edit state and posted, so the table counts unsaved changes and saves them on close.
    // Its controls hear nothing until the end, then one change: the grid redraws once and the
    // totals are computed once. A filter in force is lifted meanwhile, so that every row can be
    // reached, and set again afterwards, showing the rows as they now are.
    food.suspendControls();
    runThenAlways(
        [&] {
            const bool filtered = food.Filtered();
            if (filtered && !changes.empty())
                food.setFiltered(false);
            runThenAlways(
                [&] {
                    if (changes.empty())
                        return;
                    std::vector<std::pair<int, double>> rows;
                    rows.reserve(changes.size());
                    const RecordView& view = food.recordView();
                    for (size_t i = 0; i < view.size() && rows.size() < changes.size(); ++i) {
                        const auto change = changes.find(view[i]);
                        if (change != changes.end())
                            rows.emplace_back(static_cast<int>(i), change->second);
                    }
                    for (const auto& [position, grams] : rows) {
                        food.moveToRecordNumber(position + 1);
                        food.beginEdit();
                        calc_.Table1Quantita->setFloatValue(grams);
                        food.postRecord();
                    }
                },
                [&] {
                    if (filtered && !food.Filtered())
                        food.setFiltered(true);
                });
            food.moveFirst();
        },
        [&] { food.resumeControls(); });

    lastLoadedName_ = info->Nome;
    return result;
}

} // namespace cibrano
