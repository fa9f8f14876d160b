#pragma once
// Where a recipe's energy comes from: the kilocalories of its carbohydrates, proteins and fats
// by the usual factors (4, 4 and 9 kcal per gram) and each one's share of their sum, with the
// notes the sheet and the recipe book's chart show beside it. The food table's own
// kilocalories are measured values; the factors are a convention, so the two sums need not
// agree, and a difference above 10 % is said plainly.

#include "platform/AnsiString.h"
#include "recipe/Nutrients.h"
#include "recipe/RecipeValues.h"

namespace cibrano {

struct EnergySplit {
    static constexpr double kCarbsFactor = kNutrients[nGlucidi].kcalPerGram;
    static constexpr double kProteinsFactor = kNutrients[nProteine].kcalPerGram;
    static constexpr double kFatsFactor = kNutrients[nLipidi].kcalPerGram;
    // The largest difference, as a share of the table's kilocalories, left without a note.
    static constexpr double kTolerance = 0.10;

    // Kilocalories from each nutrient, and their sum.
    double carbs = 0, proteins = 0, fats = 0;
    double sum = 0;
    // The recipe's kilocalories as the food table gives them.
    double tableKcal = 0;
    // Each nutrient's share of the sum, in percent; all 0 when the split cannot be drawn.
    double carbsShare = 0, proteinsShare = 0, fatsShare = 0;

    // Whether there is a split to draw: some energy, and none of it negative (a negative
    // quantity gives negative energy, which no chart can show).
    bool drawable() const;
    // Whether the factors' sum differs from the table's kilocalories by more than 10 %.
    bool differsFromTable() const;
};

// The split of a recipe's totals; a total some line does not know counts what is known.
EnergySplit energySplit(const NutrientTotals& totals);

// A share as the sheet shows it: "#,##0.0" and " %", with the user's separators.
AnsiString formatShare(double percent);
// "Fattori usati: ..." — the factors, stated as the convention they are.
AnsiString energyFactorsText();
// What the split rests on, the heading of the chart's description: "Energia da glucidi,
// proteine e lipidi (4, 4 e 9 kcal/g)".
AnsiString energySourcesText();
// The short note under the chart's legend: why nothing is drawn, or that the energy differs
// from the table's by more than the tolerance; empty otherwise.
AnsiString energyShortNote(const EnergySplit& split);
// Why the chart is empty; empty when it is not.
AnsiString energyEmptyNote(const EnergySplit& split);
// The difference from the table's kilocalories; empty when within 10 % (or nothing is drawn).
AnsiString energyDifferenceNote(const EnergySplit& split);

} // namespace cibrano
