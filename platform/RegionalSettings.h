#pragma once
// The user's regional settings that number, date and time texts follow. One process-wide
// object: programs fill it once from the user's locale at start-up, tests set fixed values.

#include "platform/AnsiString.h"

namespace cibrano {

struct RegionalSettings {
    char decimalSeparator = '.';
    char thousandSeparator = ',';
    int currencyDecimals = 2;
    AnsiString currencySymbol = "$";
    char dateSeparator = '/';
    char timeSeparator = ':';
    // Patterns in the letters d, m, y (date) and h, n, s (time); the separators above stand
    // for "/" and ":" in them.
    AnsiString shortDateFormat = "dd/mm/yyyy";
    AnsiString longTimeFormat = "hh:nn:ss";
};

const RegionalSettings& regional();
void setRegional(const RegionalSettings& settings);

// The settings of the user's locale (LC_NUMERIC, LC_MONETARY and LC_TIME of the environment);
// anything the locale does not say keeps the default above.
RegionalSettings userLocaleSettings();

} // namespace cibrano
