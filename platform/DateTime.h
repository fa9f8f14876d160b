#pragma once
// Dates and times as the dataset framework holds them: a double counting days since
// 1899-12-30, the time of day as the fraction. Calendar arithmetic is proleptic Gregorian.

namespace cibrano {

using TDateTime = double;

// Days from 0001-01-01 (day 1) to 1899-12-30 (day 0 of TDateTime).
constexpr int kDateDelta = 693594;
constexpr int kMSecsPerDay = 86400000;

bool isLeapYear(int year);
int daysInMonth(int year, int month);

// Day number from 0001-01-01 = 1; false for an impossible date (years 1-9999).
bool tryEncodeDayNumber(int year, int month, int day, int& dayNumber);
bool tryEncodeDate(int year, int month, int day, TDateTime& result);
bool tryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result);

void decodeDayNumber(int dayNumber, int& year, int& month, int& day);
void decodeDate(TDateTime value, int& year, int& month, int& day);
void decodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec);

} // namespace cibrano
