#pragma once
// Number texts: the pattern language of DisplayFormat/EditFormat, the general, fixed and
// currency formats, and the float input grammar. Every separator comes from regional().
//
// Rounding always works on decimal digits: the value is first written with 18 significant
// digits by a correctly rounded conversion, and that digit string is then rounded half away
// from zero, so 0.25 shows as .3 and 1234.56 as 1,234.6 without binary surprises.

#include "platform/AnsiString.h"

#include <string_view>

namespace cibrano {

// The longest pattern formatFloat accepts.
inline constexpr size_t kMaxFormatPatternLength = 224;

// The number pattern language ("#,##0.0", "#.#", "0.######", up to three sections separated
// by ";", quoted text, E+/E- scientific notation). Raises EDatabaseError
// "Format string too long" for a pattern over 224 characters. An empty pattern (or an empty
// section in use) gives general format with 15 significant digits.
AnsiString formatFloat(std::string_view pattern, double value);

// General format with `precision` significant digits (held within 2..18): fixed form while
// the decimal exponent stays within -3..precision, scientific form ("1.5E-5", "1E20")
// outside it; "INF", "NAN", with "-" when the sign is set.
AnsiString formatGeneral(double value, int precision = 15);

// Fixed format: exactly `decimals` decimals (held within 0..18), no grouping, "-" only for
// a value that is not zero once rounded. Values with more than 18 integer digits and values
// that are not finite fall back to general format.
AnsiString formatFixed(double value, int decimals);

// Currency format: like fixed format with thousands grouping, the regional currency symbol
// written right before the digits and the minus sign before the symbol ("-$1,234.50").
AnsiString formatCurrency(double value, int decimals);

// The float text input grammar: optional blanks, an optional sign, digits with at most one
// regional decimal separator (at least one digit in all), an optional exponent ("E" or "e",
// an optional sign and digits), optional blanks, end. Grouping separators are refused.
// False when the text does not follow it, and for numbers too large for a double (a number
// too small for one reads as zero). Empty text is not a number here; callers treat it as null.
bool tryParseFloat(std::string_view text, double& value);

} // namespace cibrano
