#pragma once
// The user's regional settings as Qt's locale states them: decimal and thousands separators,
// currency, short date and long time formats, turned into the process-wide RegionalSettings.

#include "platform/RegionalSettings.h"

#include <QLocale>
#include <QString>

namespace cibrano {

// The settings `locale` states; what the 8-bit text cannot hold keeps a sound default.
RegionalSettings regionalSettingsFrom(const QLocale& locale);
// A Qt date or time pattern ("dd/MM/yyyy", "HH:mm:ss") in the d/m/y and h/n/s letters.
AnsiString patternFromQt(const QString& qtPattern, bool time);
// Reads QLocale::system() into regional(); the program does this once at start-up.
void installSystemRegionalSettings();

} // namespace cibrano
