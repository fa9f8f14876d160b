#pragma once
// Dates and times as the dataset framework holds them: a double counting days since
// 1899-12-30, the time of day as the fraction. Calendar arithmetic is proleptic Gregorian.

#include <cstdint>

namespace cibrano {

using TDateTime = double;

// Days from 0001-01-01 (day 1) to 1899-12-30 (day 0 of TDateTime).
constexpr int kDateDelta = 693594;
constexpr int kMSecsPerDay = 86400000;

// Day numbers of 0001-01-01 and 9999-12-31: the calendar's range.
constexpr int kFirstDayNumber = 1;
constexpr int kLastDayNumber = 3652059;

// Whether a value names a moment of the calendar: finite, on a day from 0001-01-01 to
// 9999-12-31. Values from outside (a damaged file, arithmetic gone astray) are decoded as
// zeros and formatted as the empty or zero value, never as an arbitrary date.
bool isValidDateTime(TDateTime value);

bool isLeapYear(int year);
int daysInMonth(int year, int month);

// Day number from 0001-01-01 = 1; false for an impossible date (years 1-9999).
bool tryEncodeDayNumber(int year, int month, int day, int& dayNumber);
bool tryEncodeDate(int year, int month, int day, TDateTime& result);
bool tryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result);

// A day number outside 1..kLastDayNumber, or a value that is no moment of the calendar,
// decodes as all zeros.
void decodeDayNumber(int dayNumber, int& year, int& month, int& day);
void decodeDate(TDateTime value, int& year, int& month, int& day);
// Only a value that is not a number or infinite decodes as all zeros: every finite value has
// a time of day.
void decodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec);

// The stored forms of table files: a day number (0001-01-01 = 1), milliseconds of the day,
// and milliseconds counted as day number x 86,400,000 + milliseconds of the day. Each answers
// false, with `value` 0, when the stored value names no moment of the calendar: a day
// outside 0001-01-01..9999-12-31, milliseconds outside the day, a number that is not one.
bool dateFromDayNumber(int32_t dayNumber, TDateTime& value);
bool timeFromMilliseconds(int32_t milliseconds, TDateTime& value);
bool dateTimeFromMilliseconds(double milliseconds, TDateTime& value);

} // namespace cibrano
