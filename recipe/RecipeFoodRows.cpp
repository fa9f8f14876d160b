#include "recipe/RecipeFoodRows.h"

#include "platform/DatabaseError.h"
#include "recipe/RecipeCalculator.h"

namespace cibrano {

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
        lines.push_back({AnsiString(s.gruppo.text(e.data)), AnsiString(s.nome.text(e.data)), grams,
                         s.kcalorie.number(e.data), s.glucidi.number(e.data),
                         s.lipidi.number(e.data), s.proteine.number(e.data)});
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

std::vector<FoodRowNow> foodRowsAsEdited(const RecipeCalculator& calc) {
    const FoodSlots s = foodSlots(calc);
    const TZerovTable& food = *calc.Table1;
    const DatasetState state = food.State();
    // In edit state the bookmark is the record's entry; a new row has none yet.
    const RecordEntry* edited =
        state == stateEdit ? static_cast<const RecordEntry*>(food.getBookmark()) : nullptr;
    auto fieldsNow = [&] {
        return RecipeLine{calc.Table1Gruppo->stringValue(),  calc.Table1Nome->stringValue(),
                          calc.Table1Quantita->floatValue(), calc.Table1Kcalorie->floatValue(),
                          calc.Table1Glucidi->floatValue(),  calc.Table1Lipidi->floatValue(),
                          calc.Table1Proteine->floatValue()};
    };
    std::vector<FoodRowNow> rows;
    rows.reserve(food.store()->entries().size() + 1);
    forEachStoredRecord(food, [&](const RecordEntry& e) {
        if (&e == edited) {
            rows.push_back({&e, fieldsNow()});
            return;
        }
        rows.push_back(
            {&e,
             {AnsiString(s.gruppo.text(e.data)), AnsiString(s.nome.text(e.data)),
              s.quantita.number(e.data), s.kcalorie.number(e.data), s.glucidi.number(e.data),
              s.lipidi.number(e.data), s.proteine.number(e.data)}});
    });
    if (state == stateInsert && food.Modified())
        rows.push_back({nullptr, fieldsNow()});
    return rows;
}

} // namespace cibrano
