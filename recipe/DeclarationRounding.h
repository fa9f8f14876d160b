#pragma once
// How a nutrition declaration rounds and writes its values: the European Commission's
// guidance on tolerances and rounding for nutrition labelling (December 2012), under
// Regulation (EU) No 1169/2011. The rule depends on the kind of value; halves round away from
// zero; numbers take the user's decimal separator and energy no thousands separator.
//
//   energy               to the nearest 1 kJ and 1 kcal
//   fat, carbohydrate,   >= 10 g to 1 g; < 10 g and > 0.5 g to 0.1 g; <= 0.5 g "< 0,5 g"
//   sugars, fibre,
//   protein
//   saturates            >= 10 g to 1 g; < 10 g and > 0.1 g to 0.1 g; <= 0.1 g "< 0,1 g"
//   salt                 >= 1 g to 0.1 g; < 1 g and > 0.0125 g to 0.01 g; <= 0.0125 g
//                        "< 0,01 g"
//
// A value of exactly 0 is "0 g". The share of a reference intake is worked out from the
// value before rounding and written as a whole percent, "< 1 %" above 0 and below 0.5 %.

#include "platform/AnsiString.h"

namespace cibrano {

enum class DeclarationRounding { Energy, Nutrient, Saturates, Salt };

// The value as the declaration writes it, with its unit: "1046 kJ", "250 kcal" (energy takes
// the unit given), "12 g", "7,1 g", "< 0,5 g", "0 g".
AnsiString declaredValueText(DeclarationRounding rounding, double value, const char* unit,
                             char decimalSeparator);

// The value's share of the reference intake: "12 %", "< 1 %", "0 %".
AnsiString referenceIntakeText(double value, double referenceIntake);

} // namespace cibrano
