#include "platform/DateTime.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace cibrano {

bool isValidDateTime(TDateTime value) {
    if (!std::isfinite(value))
        return false;
    const double day = std::trunc(value) + kDateDelta;
    return day >= kFirstDayNumber && day <= kLastDayNumber;
}

bool isLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return kDays[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0);
}

bool tryEncodeDayNumber(int year, int month, int day, int& dayNumber) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > daysInMonth(year, month))
        return false;
    int n = day;
    for (int m = 1; m < month; ++m)
        n += daysInMonth(year, m);
    int y = year - 1;
    dayNumber = y * 365 + y / 4 - y / 100 + y / 400 + n;
    return true;
}

bool tryEncodeDate(int year, int month, int day, TDateTime& result) {
    int n;
    if (!tryEncodeDayNumber(year, month, day, n))
        return false;
    result = n - kDateDelta;
    return true;
}

bool tryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        msec < 0 || msec > 999)
        return false;
    result = (((hour * 60 + minute) * 60 + second) * 1000 + msec) / double(kMSecsPerDay);
    return true;
}

void decodeDayNumber(int dayNumber, int& year, int& month, int& day) {
    if (dayNumber < kFirstDayNumber || dayNumber > kLastDayNumber) {
        year = month = day = 0;
        return;
    }
    int t = dayNumber - 1;
    int y = 1;
    // Whole cycles of 400, 100, 4 and 1 years. The last day of a 400-year (or 4-year) cycle
    // would count as a fifth 100-year (or 1-year) cycle: it belongs to the fourth.
    auto takeCycles = [&](int cycleDays, int cycleYears, int most) {
        int cycles = std::min(t / cycleDays, most);
        t -= cycles * cycleDays;
        y += cycles * cycleYears;
    };
    takeCycles(146097, 400, INT_MAX);
    takeCycles(36524, 100, 3);
    takeCycles(1461, 4, INT_MAX);
    takeCycles(365, 1, 3);
    int m = 1;
    while (t >= daysInMonth(y, m)) {
        t -= daysInMonth(y, m);
        ++m;
    }
    year = y;
    month = m;
    day = t + 1;
}

void decodeDate(TDateTime value, int& year, int& month, int& day) {
    if (!isValidDateTime(value)) {
        year = month = day = 0;
        return;
    }
    decodeDayNumber(static_cast<int>(std::trunc(value)) + kDateDelta, year, month, day);
}

void decodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec) {
    if (!std::isfinite(value)) {
        hour = minute = second = msec = 0;
        return;
    }
    double frac = std::fabs(value - std::trunc(value));
    long long ms = std::llround(frac * kMSecsPerDay);
    if (ms >= kMSecsPerDay)
        ms = kMSecsPerDay - 1;
    msec = static_cast<int>(ms % 1000);
    ms /= 1000;
    second = static_cast<int>(ms % 60);
    ms /= 60;
    minute = static_cast<int>(ms % 60);
    hour = static_cast<int>(ms / 60);
}

bool dateFromDayNumber(int32_t dayNumber, TDateTime& value) {
    value = 0;
    if (dayNumber < kFirstDayNumber || dayNumber > kLastDayNumber)
        return false;
    value = dayNumber - kDateDelta;
    return true;
}

bool timeFromMilliseconds(int32_t milliseconds, TDateTime& value) {
    value = 0;
    if (milliseconds < 0 || milliseconds >= kMSecsPerDay)
        return false;
    value = static_cast<double>(milliseconds) / kMSecsPerDay;
    return true;
}

bool dateTimeFromMilliseconds(double milliseconds, TDateTime& value) {
    value = 0;
    if (!std::isfinite(milliseconds))
        return false;
    // Whole milliseconds: the day and the time of day are split exactly.
    const double ms = std::nearbyint(milliseconds);
    const double day = std::floor(ms / kMSecsPerDay);
    if (day < kFirstDayNumber || day > kLastDayNumber)
        return false;
    const double time = (ms - day * kMSecsPerDay) / kMSecsPerDay;
    const double date = day - kDateDelta;
    // Before 1899-12-30 the time of day still counts forward from the (negative) date.
    value = date >= 0 ? date + time : date - time;
    return true;
}

} // namespace cibrano
