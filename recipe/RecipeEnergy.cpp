#include "recipe/RecipeEnergy.h"

#include "platform/Format.h"
#include "recipe/RecipeValues.h"

#include <cmath>

namespace cibrano {

bool EnergySplit::drawable() const {
    return sum > 0 && carbs >= 0 && proteins >= 0 && fats >= 0 && std::isfinite(sum);
}

bool EnergySplit::differsFromTable() const {
    if (!drawable())
        return false;
    return std::fabs(sum - tableKcal) > kTolerance * std::fabs(tableKcal);
}

EnergySplit energySplit(const NutrientTotals& totals) {
    EnergySplit s;
    s.carbs = totals.amount[nGlucidi] * EnergySplit::kCarbsFactor;
    s.proteins = totals.amount[nProteine] * EnergySplit::kProteinsFactor;
    s.fats = totals.amount[nLipidi] * EnergySplit::kFatsFactor;
    s.sum = s.carbs + s.proteins + s.fats;
    s.tableKcal = totals.amount[nKcalorie];
    if (s.drawable()) {
        s.carbsShare = s.carbs * 100 / s.sum;
        s.proteinsShare = s.proteins * 100 / s.sum;
        s.fatsShare = s.fats * 100 / s.sum;
    }
    return s;
}

AnsiString formatShare(double percent) {
    return formatRecipeValue(percent) + " %";
}

AnsiString energyFactorsText() {
    // No-break spaces keep each factor with its unit.
    return formatText("Fattori usati (una convenzione): glucidi %g\xA0kcal/g, proteine "
                      "%g\xA0kcal/g, lipidi %g\xA0kcal/g.",
                      EnergySplit::kCarbsFactor, EnergySplit::kProteinsFactor,
                      EnergySplit::kFatsFactor);
}

AnsiString energySourcesText() {
    return formatText("Energia da glucidi, proteine e lipidi (%g, %g e %g kcal/g)",
                      EnergySplit::kCarbsFactor, EnergySplit::kProteinsFactor,
                      EnergySplit::kFatsFactor);
}

AnsiString energyShortNote(const EnergySplit& split) {
    if (!split.drawable())
        return split.carbs < 0 || split.proteins < 0 || split.fats < 0 ? "Energia negativa."
                                                                       : "Nessuna energia.";
    if (split.differsFromTable())
        return formatText("Kcal: scarto oltre %g %%.", EnergySplit::kTolerance * 100);
    return AnsiString();
}

AnsiString energyEmptyNote(const EnergySplit& split) {
    if (split.drawable())
        return AnsiString();
    if (split.carbs < 0 || split.proteins < 0 || split.fats < 0)
        return "Una quantit\xE0 negativa d\xE0 energia negativa: la ripartizione non si pu\xF2 "
               "disegnare.";
    return "Nessuna energia da glucidi, proteine e lipidi: il grafico \xE8 vuoto.";
}

AnsiString energyDifferenceNote(const EnergySplit& split) {
    if (!split.differsFromTable())
        return AnsiString();
    // One plain sentence: what the split rests on, how far it is from the table, what to do.
    const AnsiString convention =
        formatText("La ripartizione usa la convenzione di %g, %g e %g\xA0kcal/g: d\xE0 ",
                   EnergySplit::kCarbsFactor, EnergySplit::kProteinsFactor,
                   EnergySplit::kFatsFactor) +
        formatRecipeValue(split.sum) + "\xA0kcal, ";
    const AnsiString check = "; controllare i valori degli alimenti.";
    if (split.tableKcal <= 0)
        return convention + "ma la tabella degli alimenti non d\xE0 energia per questi" + check;
    const double apart = (split.sum - split.tableKcal) / split.tableKcal * 100;
    return convention + "il " + formatRecipeValue(apart < 0 ? -apart : apart) + "\xA0%" +
           (apart < 0 ? " in meno" : " in pi\xF9") + " delle " +
           formatRecipeValue(split.tableKcal) + "\xA0kcal della tabella degli alimenti" + check;
}

} // namespace cibrano
