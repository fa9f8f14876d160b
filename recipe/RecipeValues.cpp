#include "recipe/RecipeValues.h"

#include "dataset/NumberFormat.h"
#include "platform/Format.h"

namespace cibrano {

namespace {

RecipeTotals scaled(const RecipeTotals& t, double factor, double divisor) {
    return {t.Glucidi * factor / divisor, t.Proteine * factor / divisor,
            t.Lipidi * factor / divisor, t.Kcalorie * factor / divisor};
}

} // namespace

RecipeTotals sumRecipeLines(const std::vector<RecipeLine>& lines) {
    RecipeTotals totals;
    for (const RecipeLine& line : lines) {
        // Multiply, divide by 100, add: the same steps, in the same order, as the food table's
        // totals, so that a loaded recipe shows there what it shows here.
        const double q = line.Quantita;
        totals.Glucidi += line.Glucidi * q / 100;
        totals.Lipidi += line.Lipidi * q / 100;
        totals.Proteine += line.Proteine * q / 100;
        totals.Kcalorie += line.Kcalorie * q / 100;
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
    return {formatRecipeValue(totals.Glucidi), formatRecipeValue(totals.Proteine),
            formatRecipeValue(totals.Lipidi), formatRecipeValue(totals.Kcalorie)};
}

AnsiString recipeWeightText(const RecipeValues& v) {
    return formatText("Peso totale: %s g  \xB7  %d %s", formatRecipeValue(v.grams).c_str(),
                      v.servings, v.servings == 1 ? "porzione" : "porzioni");
}

} // namespace cibrano
