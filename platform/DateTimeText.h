#pragma once
// Texts of dates and times in the regional short date and long time formats.
//
// Format letters (either case): d / dd day, m / mm month, yy two-digit year, yyyy (or any
// other run of three or more y) four-digit year; h / hh hour, n / nn minute, s / ss second.
// A single letter writes the number in as few digits as it needs, a doubled one in two.
// "/" in the date format and ":" in the time format stand for the regional separators; text
// in single or double quotes and every other character are copied as they stand.
//
// Reading takes the order of day, month and year from the short date format, numbers
// separated by the regional date separator. A missing year is the current year. A year
// written with one or two digits falls in the hundred-year window from 50 years before the
// current year to 49 years after it (in 2026: 1976..2075, so 75 is 2075 and 76 is 1976).
// Times are h[:n[:s]] with the regional time separator, optionally followed by AM or PM
// (then the hour is 1 to 12). Blanks may surround the text. Impossible dates and times
// (31 April, 24:00, 13 PM) are not read.

#include "platform/AnsiString.h"
#include "platform/DateTime.h"

#include <string_view>

namespace cibrano {

// A value that is no moment of the calendar (not a number, infinite, a day outside
// 0001-01-01..9999-12-31) gives the empty text for a date or a time, and the zero date and
// time (30/12/1899 00:00:00) for a date and time.
AnsiString formatDate(TDateTime value);     // short date format
AnsiString formatTime(TDateTime value);     // long time format
AnsiString formatDateTime(TDateTime value); // short date, a blank, long time

bool tryParseDate(std::string_view text, TDateTime& value);
bool tryParseTime(std::string_view text, TDateTime& value);
// A date, optionally followed by blanks and a time.
bool tryParseDateTime(std::string_view text, TDateTime& value);

} // namespace cibrano
