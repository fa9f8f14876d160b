#pragma once
// The food card ("Scheda alimento"): one row of the food table with every value it keeps, read
// into plain values for a window to show, and what a person typed over them checked and
// written back. The window shows the grid's seven columns; the card shows the row's group,
// name, source (when the file has `Fonte`) and each nutrient of kNutrients that the food
// table has as a field: its value per 100 g, or "not known" when the row's Mancanti lists it
// (recipe/MissingValues.h). A nutrient whose field the table lacks is not offered; on a table
// without Mancanti (the seven fields of an earlier version) no value can be "not known".
//
// Writing is one edit of the food table through the dataset (its controls follow: the grid
// redraws, the totals are computed again), a change the food table saves on close as every
// other: group, name and the values that changed, and Mancanti listing exactly the unknown
// ones of those offered (the names it lists of other fields stay). An unknown value's field is
// left empty (0 in the file). Nothing is written when nothing changed.

#include "platform/AnsiString.h"
#include "platform/DatabaseError.h"
#include "recipe/RecipeCalculator.h"

#include <optional>
#include <vector>

namespace cibrano {

struct RecordEntry;

// One value of the card: the nutrient's field, heading and unit (kNutrients), and the row's
// value of it.
struct FoodCardValue {
    const char* field = nullptr;
    const char* heading = nullptr;
    // None for energy, whose heading names it.
    const char* unit = nullptr;
    bool known = true;
    // Per 100 g, when known.
    double value = 0;
    // The value as the card shows it (general format, the user's decimal separator), every
    // digit kept; empty when not known.
    AnsiString text;
};

// What the card shows.
struct FoodCard {
    AnsiString gruppo;
    AnsiString nome;
    // The longest texts the food table's Gruppo and Nome hold.
    int gruppoSize = 0;
    int nomeSize = 0;
    // The food's source (Fonte); none when the file has no such field.
    std::optional<AnsiString> fonte;
    // Whether a value can be "not known": the table has Mancanti.
    bool unknownAllowed = false;
    // In kNutrients' order.
    std::vector<FoodCardValue> values;
    // A sentence the card shows under its values; empty for none.
    AnsiString note;
};

// What a person typed: one entry per value of the card, in its order.
struct FoodCardTypedValue {
    AnsiString text;
    bool unknown = false;
};
struct FoodCardTyped {
    AnsiString gruppo;
    AnsiString nome;
    std::vector<FoodCardTypedValue> values;
};

// A value the card refuses, with the Italian message, and where it was typed.
class FoodCardRefusal : public EDatabaseError {
public:
    enum Where { group = -2, name = -1 };
    // `where`: group, name, or the index of the value.
    FoodCardRefusal(const AnsiString& message, int where)
        : EDatabaseError(message), where_(where) {}
    int where() const { return where_; }

private:
    int where_;
};

// The food table's row the card is of, and what its card showed.
struct FoodCardRow {
    const RecordEntry* entry = nullptr;
    FoodCard card;
};

// The card of the food table's current row, an edit under way ended first as leaving the row
// would. Raises with a message when the food table is not open or shows no row.
FoodCardRow currentFoodRow(RecipeCalculator& calculator);
// The card of the first stored row with exactly this group and name, as loading a recipe finds
// a line's food; none when no row has them.
std::optional<FoodCardRow> findFoodRow(RecipeCalculator& calculator, const AnsiString& gruppo,
                                       const AnsiString& nome);

// What the typed card comes to.
struct FoodCardChecked {
    AnsiString gruppo;
    AnsiString nome;
    // The card's values as typed, in its order.
    std::vector<FoodCardValue> values;
    // Whether anything differs from the card as shown.
    bool changed = false;
    // The questions to be answered Yes before writing: a part above its whole (saturates over
    // fats, sugars over carbohydrates), both known and one of them changed.
    std::vector<AnsiString> questions;
};

// Checks what was typed over the card: group and name within their fields' sizes, the name not
// empty; each value a number in the user's format, not negative; an empty value "not known"
// when ticked so, refused when not (counted as 0 on a table without Mancanti, as the window
// counts an empty cell). A text left as shown keeps the value exactly. Raises FoodCardRefusal.
FoodCardChecked checkFoodCard(const FoodCard& card, const FoodCardTyped& typed);

enum class FoodCardOutcome { written, unchanged, declined };

// Checks the typed card (a refusal raises FoodCardRefusal, nothing written), asks its questions
// (askYesNo, No the default: a No writes nothing and answers declined) and writes the row as
// one edit of the food table. A filter that hides the row is lifted for the edit and set again.
FoodCardOutcome saveFoodCard(RecipeCalculator& calculator, const FoodCardRow& row,
                             const FoodCardTyped& typed);

} // namespace cibrano
