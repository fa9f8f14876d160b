#pragma once
// A kept recipe's numbers without a window: its lines, the totals the main window's formula
// gives for them (each line's per-100 g value times its grams divided by 100, added line by
// line), the same totals per serving and per 100 g of the finished dish, and the one text form
// every window and sheet shows them in. A value a line does not know is left out of the sums,
// and the total says it is incomplete (recipe/Nutrients.h).

#include "platform/AnsiString.h"
#include "recipe/Nutrients.h"
#include "recipe/RecipeCalculator.h"

#include <bitset>
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
    // Per 100 g, in kNutrients' order; a value not known holds what the file keeps (0).
    std::array<double, kNutrientCount> values{};
    // The values not known (the line's Mancanti).
    std::bitset<kNutrientCount> missing;

    bool knows(size_t nutrient) const { return !missing[nutrient]; }
};

// A recipe's amount of each nutrient, in kNutrients' order: the sum over the lines that know
// it, and how many lines do not.
struct NutrientTotals {
    std::array<double, kNutrientCount> amount{};
    std::array<int, kNutrientCount> lacking{};
    int lines = 0;

    // Every line knows it (a recipe of no lines knows everything: nothing).
    bool complete(size_t nutrient) const { return lacking[nutrient] == 0; }
    // No line knows it.
    bool unknown(size_t nutrient) const { return lines > 0 && lacking[nutrient] == lines; }
};

// Everything a recipe's summary shows.
struct RecipeValues {
    NutrientTotals totals;
    // The totals divided by the servings.
    NutrientTotals perServing;
    // The totals for 100 g of the finished dish (weight()); none when it weighs nothing.
    std::optional<NutrientTotals> per100g;
    // The sum of the lines' grams.
    double grams = 0;
    // The weight of the finished dish as kept; 0 when none was given.
    double finalWeight = 0;
    int servings = 1;

    // What the dish weighs: its final weight, else the sum of the grams.
    double weight() const { return finalWeight > 0 ? finalWeight : grams; }
    double servingWeight() const { return weight() / servings; }
};

// The totals of the lines as the main window works them out: every stored value counts, an
// empty one as 0.
RecipeTotals sumRecipeLines(const std::vector<RecipeLine>& lines);
// Each nutrient's sum over the lines that know it, by the same formula, line by line.
NutrientTotals sumNutrients(const std::vector<RecipeLine>& lines);
// The totals, per serving (servings below 1 count as 1) and per 100 g of the finished dish
// (`finalWeight`, or the sum of the grams when it is not above 0).
RecipeValues recipeValues(const std::vector<RecipeLine>& lines, int servings,
                          double finalWeight = 0);
// A value as the windows show it: "#,##0.0" with the user's separators.
AnsiString formatRecipeValue(double value);
// A nutrient's value in its own pattern (kNutrients' format).
AnsiString formatNutrient(size_t nutrient, double value);
// The main window's four values in the order it shows them: carbohydrates, proteins, fats,
// energy.
TotalsLabelSet formatRecipeTotals(const RecipeTotals& totals);
// A total as the book and the sheet show it: its value; followed by kIncompleteMark when some
// line does not know it; kNotKnown when none does.
AnsiString nutrientTotalText(const NutrientTotals& totals, size_t nutrient);
// Every total in kShownOrder.
std::vector<AnsiString> shownTotalsTexts(const NutrientTotals& totals);
// A line's value as the book shows it: kNotKnown when the line does not know it.
AnsiString lineValueText(const RecipeLine& line, size_t nutrient);
// What each incomplete total lacks, one sentence per nutrient in kShownOrder: "Zuccheri: manca
// il dato di 2 ingredienti (Farina, Uova)"; none when every total is complete.
std::vector<AnsiString> missingValuesTexts(const std::vector<RecipeLine>& lines);
// What a total marked incomplete is: "+: somma dei valori noti; n.d.: nessun ingrediente ha il
// dato."
AnsiString incompleteTotalsNote();
// The recipe's weight and servings as its summary states them: "Peso totale: 1.234,0 g  ·
// 4 porzioni", with a final weight "Peso totale: 1.200,0 g  ·  peso finale: 950,0 g  ·
// 4 porzioni".
AnsiString recipeWeightText(const RecipeValues& values);
// The heading of the per-serving values: "Per porzione (237,5 g)".
AnsiString perServingHeading(const RecipeValues& values);

// The text of a value no line knows, and the mark after a total that some line lacks.
inline constexpr const char* kNotKnown = "n.d.";
inline constexpr const char* kIncompleteMark = "+";

} // namespace cibrano
