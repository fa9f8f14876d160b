#include "recipe/RecipeValues.h"

#include "dataset/NumberFormat.h"
#include "platform/Format.h"

namespace cibrano {

namespace {

NutrientTotals scaled(const NutrientTotals& t, double factor, double divisor) {
    NutrientTotals s = t;
    for (double& a : s.amount)
        a = a * factor / divisor;
    return s;
}

// The most ingredients a sentence of missing values names before "e altri N".
constexpr size_t kNamedLines = 4;

} // namespace

RecipeTotals sumRecipeLines(const std::vector<RecipeLine>& lines) {
    RecipeTotals totals;
    for (const RecipeLine& line : lines) {
        // Multiply, divide by 100, add: the same steps, in the same order, as the food table's
        // totals, so that a loaded recipe shows there what it shows here.
        const double q = line.Quantita;
        totals.Glucidi += line.values[nGlucidi] * q / 100;
        totals.Lipidi += line.values[nLipidi] * q / 100;
        totals.Proteine += line.values[nProteine] * q / 100;
        totals.Kcalorie += line.values[nKcalorie] * q / 100;
    }
    return totals;
}

NutrientTotals sumNutrients(const std::vector<RecipeLine>& lines) {
    NutrientTotals totals;
    totals.lines = static_cast<int>(lines.size());
    for (const RecipeLine& line : lines)
        for (size_t i = 0; i < kNutrientCount; ++i) {
            if (line.knows(i))
                totals.amount[i] += line.values[i] * line.Quantita / 100;
            else
                ++totals.lacking[i];
        }
    return totals;
}

RecipeValues recipeValues(const std::vector<RecipeLine>& lines, int servings, double finalWeight) {
    RecipeValues v;
    v.servings = servings < 1 ? 1 : servings;
    v.finalWeight = finalWeight > 0 ? finalWeight : 0;
    v.totals = sumNutrients(lines);
    for (const RecipeLine& line : lines)
        v.grams += line.Quantita;
    v.perServing = scaled(v.totals, 1, v.servings);
    if (v.weight() > 0)
        v.per100g = scaled(v.totals, 100, v.weight());
    return v;
}

AnsiString formatRecipeValue(double value) {
    return formatFloat(RecipeCalculator::kTotalFormat, value);
}

AnsiString formatNutrient(size_t nutrient, double value) {
    return formatFloat(kNutrients[nutrient].format, value);
}

TotalsLabelSet formatRecipeTotals(const RecipeTotals& totals) {
    return {formatRecipeValue(totals.Glucidi), formatRecipeValue(totals.Proteine),
            formatRecipeValue(totals.Lipidi), formatRecipeValue(totals.Kcalorie)};
}

AnsiString nutrientTotalText(const NutrientTotals& totals, size_t nutrient) {
    if (totals.unknown(nutrient))
        return kNotKnown;
    const AnsiString value = formatNutrient(nutrient, totals.amount[nutrient]);
    return totals.complete(nutrient) ? value : value + kIncompleteMark;
}

std::vector<AnsiString> shownTotalsTexts(const NutrientTotals& totals) {
    std::vector<AnsiString> texts;
    for (size_t i : kShownOrder)
        texts.push_back(nutrientTotalText(totals, i));
    return texts;
}

AnsiString lineValueText(const RecipeLine& line, size_t nutrient) {
    return line.knows(nutrient) ? formatNutrient(nutrient, line.values[nutrient])
                                : AnsiString(kNotKnown);
}

std::vector<AnsiString> missingValuesTexts(const std::vector<RecipeLine>& lines) {
    std::vector<AnsiString> texts;
    for (size_t i : kShownOrder) {
        std::vector<const RecipeLine*> lacking;
        for (const RecipeLine& line : lines)
            if (!line.knows(i))
                lacking.push_back(&line);
        if (lacking.empty())
            continue;
        AnsiString names;
        for (size_t k = 0; k < lacking.size() && k < kNamedLines; ++k)
            names += (k ? ", " : "") + lacking[k]->Nome;
        if (lacking.size() > kNamedLines)
            names += formatText(" e altri %d", static_cast<int>(lacking.size() - kNamedLines));
        texts.push_back(formatText("%s: manca il dato di %d %s (%s)", kNutrients[i].heading,
                                   static_cast<int>(lacking.size()),
                                   lacking.size() == 1 ? "ingrediente" : "ingredienti",
                                   names.c_str()));
    }
    return texts;
}

AnsiString incompleteTotalsNote() {
    return formatText("%s dopo un totale: somma dei valori noti, manca il dato di qualche "
                      "ingrediente; %s: nessun ingrediente ha il dato.",
                      kIncompleteMark, kNotKnown);
}

AnsiString recipeWeightText(const RecipeValues& v) {
    const AnsiString servings =
        formatText("%d %s", v.servings, v.servings == 1 ? "porzione" : "porzioni");
    if (v.finalWeight <= 0)
        return formatText("Peso totale: %s g  \xB7  %s", formatRecipeValue(v.grams).c_str(),
                          servings.c_str());
    return formatText("Peso totale: %s g  \xB7  peso finale: %s g  \xB7  %s",
                      formatRecipeValue(v.grams).c_str(), formatRecipeValue(v.finalWeight).c_str(),
                      servings.c_str());
}

AnsiString perServingHeading(const RecipeValues& v) {
    return formatText("Per porzione (%s g)", formatRecipeValue(v.servingWeight()).c_str());
}

} // namespace cibrano
