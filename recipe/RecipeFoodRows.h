#pragma once
// The food table's rows as a recipe reads them: one walk of its stored records, in stored
// order, whatever the food table's filter, range or order shows. Saving a recipe and the sheet
// of the current quantities both take the used rows from here; loading a recipe reads the
// rows' slots from here.

#include "recipe/Nutrients.h"
#include "recipe/RecipeValues.h"

#include <unordered_map>
#include <vector>

namespace cibrano {

class RecipeCalculator;

// Where the food table keeps the values a recipe needs.
struct FoodSlots {
    StoredField gruppo, nome, quantita;
    // Each nutrient's per-100 g value, in kNutrients' order; an optional nutrient's is empty
    // when the table has no field for it.
    std::array<StoredField, kNutrientCount> values;
    // The row's Mancanti; empty when the table has none.
    StoredField missing;
    // A stored row as a recipe line: a value listed in Mancanti, or without a field, is not
    // known.
    RecipeLine line(const uint8_t* data) const;
};

// The food table's slots; raises when the table is not open or lacks one of the fields that
// are not optional.
FoodSlots foodSlots(const RecipeCalculator& calculator);

// Ends an edit of the food table as leaving its row would: a value still being typed counts
// and is posted, a new row nothing was typed into goes, as the grid lets it go.
void settleFoodTable(RecipeCalculator& calculator);

// Every stored row whose quantity is not 0, in stored order, as recipe lines (the food table
// settled first).
std::vector<RecipeLine> usedFoodRows(RecipeCalculator& calculator);

// Whether any stored row's quantity is not 0 (the food table settled first).
bool foodTableHasQuantities(RecipeCalculator& calculator);

// Puts each row's new quantity into the food table as typing it would: each row put into
// edit state and posted, so the table counts unsaved changes and saves them on close. Its
// controls hear nothing until the end, then one change (the grid redraws once, the totals are
// computed once), and it shows its first row. A filter in force is lifted meanwhile, so that
// every row can be reached, and set again afterwards.
void setFoodQuantities(RecipeCalculator& calculator,
                       const std::unordered_map<const RecordEntry*, double>& quantities);

// A row of the food table as it stands now, and the record it is stored in: none for a new
// row being typed.
struct FoodRowNow {
    const RecordEntry* entry = nullptr;
    RecipeLine line;
};

// Every stored row in stored order, quantity 0 included, with the record being edited as its
// fields hold it now, although nothing is posted; a new row being typed comes last (one that
// nothing was typed into is left out). Nothing moves, nothing is settled. Raises when the food
// table is not open.
std::vector<FoodRowNow> foodRowsAsEdited(const RecipeCalculator& calculator);

} // namespace cibrano
