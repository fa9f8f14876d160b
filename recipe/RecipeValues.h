#pragma once
// A kept recipe's numbers without a window: its lines, the totals the main window's formula
// gives for them (each line's per-100 g value times its grams divided by 100, added in the
// order carbohydrates, fats, proteins, energy), the same totals per serving and per 100 g of
// the recipe, and the one text form every window and sheet shows them in.

#include "platform/AnsiString.h"
#include "recipe/RecipeCalculator.h"

#include <optional>
#include <vector>

namespace cibrano {

// One ingredient line: the food as it was when the recipe was saved (its per-100 g values
// included, so that the recipe's totals stay right when the food table changes later) and the
// grams used.
struct RecipeLine {
    AnsiString Gruppo;
    AnsiString Nome;
    double Quantita = 0;
    double Kcalorie = 0;
    double Glucidi = 0;
    double Lipidi = 0;
    double Proteine = 0;
};

// Everything a recipe's summary shows.
struct RecipeValues {
    RecipeTotals totals;
    // The totals divided by the servings.
    RecipeTotals perServing;
    // The totals for 100 g of the recipe, its grams being the sum of the lines' grams; none when
    // those grams are not above 0.
    std::optional<RecipeTotals> per100g;
    double grams = 0;
    int servings = 1;
};

// The totals of the lines, by the main window's formula and in its order.
RecipeTotals sumRecipeLines(const std::vector<RecipeLine>& lines);
// The totals, per serving (servings below 1 count as 1) and per 100 g.
RecipeValues recipeValues(const std::vector<RecipeLine>& lines, int servings);
// A value as the windows show it: "#,##0.0" with the user's separators.
AnsiString formatRecipeValue(double value);
// The four values in the order the windows show them: carbohydrates, proteins, fats, energy.
TotalsLabelSet formatRecipeTotals(const RecipeTotals& totals);
// The recipe's weight and servings as its summary states them: "Peso totale: 1.234,0 g  ·
// 4 porzioni".
AnsiString recipeWeightText(const RecipeValues& values);

} // namespace cibrano
