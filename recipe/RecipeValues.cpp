#include "recipe/RecipeValues.h"

#include "dataset/NumberFormat.h"
#include "platform/Format.h"
#include "recipe/Nutrients.h"

namespace cibrano {

namespace {

RecipeTotals scaled(const RecipeTotals& t, double factor, double divisor) {
    RecipeTotals s;
    for (const Nutrient& n : kNutrients)
        s.*n.amount = t.*n.amount * factor / divisor;
    return s;
}

} // namespace

RecipeTotals sumRecipeLines(const std::vector<RecipeLine>& lines) {
    RecipeTotals totals;
    for (const RecipeLine& line : lines) {
        // Multiply, divide by 100, add: the same steps, in the same order, as the food table's
        // totals, so that a loaded recipe shows there what it shows here.
        const double q = line.Quantita;
        for (const Nutrient& n : kNutrients)
            totals.*n.amount += line.*n.perHundredGrams * q / 100;
    }
    return totals;
}

RecipeValues recipeValues(const std::vector<RecipeLine>& lines, int servings) {
    RecipeValues v;
    v.servings = servings < 1 ? 1 : servings;
    v.totals = sumRecipeLines(lines);
    for (const RecipeLine& line : lines)
        v.grams += line.Quantita;
    v.perServing = scaled(v.totals, 1, v.servings);
    if (v.grams > 0)
        v.per100g = scaled(v.totals, 100, v.grams);
    return v;
}

AnsiString formatRecipeValue(double value) {
    return formatFloat(RecipeCalculator::kTotalFormat, value);
}

TotalsLabelSet formatRecipeTotals(const RecipeTotals& totals) {
    auto shown = [&](size_t i) {
        return formatRecipeValue(totals.*kNutrients[kShownOrder[i]].amount);
    };
    return {shown(0), shown(1), shown(2), shown(3)};
}

AnsiString recipeWeightText(const RecipeValues& v) {
    return formatText("Peso totale: %s g  \xB7  %d %s", formatRecipeValue(v.grams).c_str(),
                      v.servings, v.servings == 1 ? "porzione" : "porzioni");
}

} // namespace cibrano
