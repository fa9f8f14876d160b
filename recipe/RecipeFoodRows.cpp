#include "recipe/RecipeFoodRows.h"

#include "platform/DatabaseError.h"
#include "platform/RunThenAlways.h"
#include "recipe/MissingValues.h"
#include "recipe/RecipeCalculator.h"

namespace cibrano {

FoodSlots foodSlots(const RecipeCalculator& calc) {
    const TZerovTable& food = *calc.Table1;
    food.checkActive();
    FoodSlots s{
        {food, calc.Table1Gruppo}, {food, calc.Table1Nome}, {food, calc.Table1Quantita}, {}, {}};
    bool found = s.gruppo && s.nome && s.quantita;
    for (size_t i = 0; i < kNutrientCount; ++i) {
        s.values[i] = StoredField(food, food.findField(kNutrients[i].field));
        found = found && (s.values[i] || kNutrients[i].optional);
    }
    if (calc.Table1Mancanti)
        s.missing = StoredField(food, calc.Table1Mancanti);
    if (!found)
        databaseError("The food table lacks a field a recipe needs");
    if (s.quantita.storageKind() != kindFloat)
        databaseError("The food table's Quantita is not a float field");
    return s;
}

RecipeLine FoodSlots::line(const uint8_t* data) const {
    RecipeLine l;
    l.Gruppo = AnsiString(gruppo.text(data));
    l.Nome = AnsiString(nome.text(data));
    l.Quantita = quantita.number(data);
    const std::string_view missingText = missing ? missing.text(data) : std::string_view();
    const MissingValues lacking{AnsiString(missingText)};
    for (size_t i = 0; i < kNutrientCount; ++i) {
        l.values[i] = values[i] ? values[i].number(data) : 0;
        l.missing[i] = !values[i] || (!missingText.empty() && lacking.lists(kNutrients[i].field));
    }
    return l;
}

void settleFoodTable(RecipeCalculator& calc) {
    TZerovTable& food = *calc.Table1;
    food.checkActive();
    if (food.State() == stateInsert && !food.Modified())
        food.cancelRecord();
    else if (food.State() == stateEdit || food.State() == stateInsert)
        food.postRecord();
}

std::vector<RecipeLine> usedFoodRows(RecipeCalculator& calc) {
    settleFoodTable(calc);
    const FoodSlots s = foodSlots(calc);
    std::vector<RecipeLine> lines;
    forEachStoredRecord(*calc.Table1, [&](const RecordEntry& e) {
        const double grams = s.quantita.number(e.data);
        if (grams == 0)
            return;
        lines.push_back(s.line(e.data));
    });
    return lines;
}

bool foodTableHasQuantities(RecipeCalculator& calc) {
    settleFoodTable(calc);
    const FoodSlots s = foodSlots(calc);
    bool used = false;
    forEachStoredRecord(
        *calc.Table1, [&](const RecordEntry& e) { used = used || s.quantita.number(e.data) != 0; });
    return used;
}

void setFoodQuantities(RecipeCalculator& calc,
                       const std::unordered_map<const RecordEntry*, double>& quantities) {
    TZerovTable& food = *calc.Table1;
    food.suspendControls();
    runThenAlways(
        [&] {
            const bool filtered = food.Filtered();
            if (filtered && !quantities.empty())
                food.setFiltered(false);
            runThenAlways(
                [&] {
                    std::vector<std::pair<int, double>> rows;
                    rows.reserve(quantities.size());
                    const RecordView& view = food.recordView();
                    for (size_t i = 0; i < view.size() && rows.size() < quantities.size(); ++i)
                        if (const auto q = quantities.find(view[i]); q != quantities.end())
                            rows.emplace_back(static_cast<int>(i), q->second);
                    for (const auto& [position, grams] : rows) {
                        food.moveToRecordNumber(position + 1);
                        food.beginEdit();
                        calc.Table1Quantita->setFloatValue(grams);
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
}

std::vector<FoodRowNow> foodRowsAsEdited(const RecipeCalculator& calc) {
    const FoodSlots s = foodSlots(calc);
    const TZerovTable& food = *calc.Table1;
    const DatasetState state = food.State();
    // In edit state the bookmark is the record's entry; a new row has none yet.
    const RecordEntry* edited =
        state == stateEdit ? static_cast<const RecordEntry*>(food.getBookmark()) : nullptr;
    auto fieldsNow = [&] {
        RecipeLine l;
        l.Gruppo = calc.Table1Gruppo->stringValue();
        l.Nome = calc.Table1Nome->stringValue();
        l.Quantita = calc.Table1Quantita->floatValue();
        const MissingValues lacking(calc.Table1Mancanti ? calc.Table1Mancanti->stringValue()
                                                        : AnsiString());
        for (size_t i = 0; i < kNutrientCount; ++i) {
            const TField* field = food.findField(kNutrients[i].field);
            l.values[i] = field ? field->floatValue() : 0;
            l.missing[i] = !field || lacking.lists(kNutrients[i].field);
        }
        return l;
    };
    std::vector<FoodRowNow> rows;
    rows.reserve(food.store()->entries().size() + 1);
    forEachStoredRecord(food, [&](const RecordEntry& e) {
        if (&e == edited) {
            rows.push_back({&e, fieldsNow()});
            return;
        }
        rows.push_back({&e, s.line(e.data)});
    });
    if (state == stateInsert && food.Modified())
        rows.push_back({nullptr, fieldsNow()});
    return rows;
}

} // namespace cibrano
