#include "recipe/DeclarationRounding.h"

#include <cmath>
#include <cstdio>

namespace cibrano {

namespace {

// How a kind of value is rounded: from `whole` up to 1 (0.1 for salt), above `floor` to the
// finer step, and at `floor` or below written as "< shown", in the fine step's decimals and
// the user's separator.
struct Steps {
    double whole;       // at or above: the coarse step
    int coarseDecimals; // decimals of the coarse step
    int fineDecimals;   // decimals of the fine step
    double floor;       // at or below (and above 0): "< shown"
    double shown;
};

Steps stepsOf(DeclarationRounding rounding) {
    switch (rounding) {
    case DeclarationRounding::Saturates:
        return {10, 0, 1, 0.1, 0.1};
    case DeclarationRounding::Salt:
        return {1, 1, 2, 0.0125, 0.01};
    case DeclarationRounding::Nutrient:
    case DeclarationRounding::Energy:
        break;
    }
    return {10, 0, 1, 0.5, 0.5};
}

// `value` rounded to `decimals`, halves away from zero. The values are sums of products of
// decimal data held in binary: a value that is a half in decimal may lie a hair below it, and
// the nudge of a millionth of a step puts it back where decimal arithmetic has it.
double roundHalfAway(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    return std::copysign(std::floor(std::fabs(scaled) + 0.5 + 1e-6), scaled) / scale;
}

AnsiString numberText(double value, int decimals, char decimalSeparator) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    AnsiString out = text;
    for (char& c : out)
        if (c == '.')
            c = decimalSeparator;
    return out;
}

} // namespace

AnsiString declaredValueText(DeclarationRounding rounding, double value, const char* unit,
                             char decimalSeparator) {
    const AnsiString suffix = AnsiString(" ") + unit;
    if (rounding == DeclarationRounding::Energy)
        return numberText(roundHalfAway(value, 0), 0, decimalSeparator) + suffix;
    if (value == 0)
        return "0" + suffix;
    const Steps steps = stepsOf(rounding);
    if (value <= steps.floor)
        return "< " + numberText(steps.shown, steps.fineDecimals, decimalSeparator) + suffix;
    const int decimals = value >= steps.whole ? steps.coarseDecimals : steps.fineDecimals;
    return numberText(roundHalfAway(value, decimals), decimals, decimalSeparator) + suffix;
}

AnsiString referenceIntakeText(double value, double referenceIntake) {
    const double percent = value / referenceIntake * 100;
    if (percent > 0 && percent < 0.5)
        return "< 1 %";
    return numberText(roundHalfAway(percent, 0), 0, '.') + " %";
}

} // namespace cibrano
