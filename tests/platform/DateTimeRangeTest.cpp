// Dates and times from outside the calendar: not numbers, infinite, days before 0001-01-01 or
// after 9999-12-31. Decoding and formatting them is defined (the suite also runs under the
// undefined-behaviour sanitizer) and gives the empty date or time, or the zero date and time.

#include "platform/DateTimeText.h"
#include "platform/RegionalSettings.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>

using namespace cibrano;

namespace {

class DateTimeRange : public ::testing::Test {
protected:
    void SetUp() override {
        RegionalSettings rs;
        rs.shortDateFormat = "dd/mm/yyyy";
        rs.longTimeFormat = "hh:nn:ss";
        rs.dateSeparator = '/';
        rs.timeSeparator = ':';
        setRegional(rs);
    }
    void TearDown() override { setRegional(RegionalSettings()); }
};

// TDateTime values of no calendar day.
const double kOutside[] = {std::nan(""), HUGE_VAL, -HUGE_VAL, DBL_MAX, -DBL_MAX, 1e10, -1e10,
                           // the day before 0001-01-01 and the day after 9999-12-31
                           -693594.0, 3652060.0 - kDateDelta, 2958466.0,
                           // beyond what an int holds, either way
                           static_cast<double>(INT_MAX) + 10, static_cast<double>(INT_MIN) - 10};

} // namespace

TEST_F(DateTimeRange, ValuesOutsideTheCalendarDecodeAsZerosAndShowEmptyOrZero) {
    for (double v : kOutside) {
        SCOPED_TRACE(v);
        EXPECT_FALSE(isValidDateTime(v));
        int y = -1, m = -1, d = -1;
        decodeDate(v, y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, 0);
        EXPECT_EQ(formatDate(v), "");
        EXPECT_EQ(formatDateTime(v), "30/12/1899 00:00:00");
    }
    // Every finite value has a time of day; only a value that is not a number has none.
    int h = -1, n = -1, s = -1, ms = -1;
    decodeTime(std::nan(""), h, n, s, ms);
    EXPECT_EQ(h + n + s + ms, 0);
    EXPECT_EQ(formatTime(std::nan("")), "");
    EXPECT_EQ(formatTime(HUGE_VAL), "");
    EXPECT_EQ(formatTime(1e300), "00:00:00");
    EXPECT_EQ(formatTime(-2.75), "18:00:00");

    // The first and last days of the calendar are shown as they are.
    EXPECT_EQ(formatDateTime(-693593.5), "01/01/0001 12:00:00");
    EXPECT_EQ(formatDate(2958465.999), "31/12/9999");
    int y, m, d;
    decodeDayNumber(kLastDayNumber + 1, y, m, d);
    EXPECT_EQ(y, 0);
    decodeDayNumber(INT_MIN, y, m, d);
    EXPECT_EQ(y, 0);
    decodeDayNumber(kLastDayNumber, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 99991231);
}

TEST_F(DateTimeRange, StoredFormsOutsideTheCalendarAreRefusedAsZero) {
    TDateTime v = -1;
    EXPECT_TRUE(dateFromDayNumber(kFirstDayNumber, v));
    EXPECT_EQ(formatDate(v), "01/01/0001");
    EXPECT_TRUE(dateFromDayNumber(kLastDayNumber, v));
    EXPECT_EQ(formatDate(v), "31/12/9999");
    for (int32_t day : {0, -1, INT32_MIN, kLastDayNumber + 1, INT32_MAX}) {
        v = -1;
        EXPECT_FALSE(dateFromDayNumber(day, v)) << day;
        EXPECT_EQ(v, 0);
    }

    EXPECT_TRUE(timeFromMilliseconds(0, v));
    EXPECT_TRUE(timeFromMilliseconds(kMSecsPerDay - 1, v));
    EXPECT_EQ(formatTime(v), "23:59:59");
    for (int32_t ms : {-1, INT32_MIN, kMSecsPerDay, INT32_MAX}) {
        v = -1;
        EXPECT_FALSE(timeFromMilliseconds(ms, v)) << ms;
        EXPECT_EQ(v, 0);
    }

    const double day = kMSecsPerDay;
    EXPECT_TRUE(dateTimeFromMilliseconds(day, v)); // 0001-01-01 00:00:00
    EXPECT_EQ(formatDateTime(v), "01/01/0001 00:00:00");
    EXPECT_TRUE(dateTimeFromMilliseconds(693594 * day + 3723000, v));
    EXPECT_EQ(formatDateTime(v), "30/12/1899 01:02:03");
    // Half a millisecond before midnight rounds to the next day, not to 23:59:59 of this one.
    EXPECT_TRUE(dateTimeFromMilliseconds(693595 * day - 0.4, v));
    EXPECT_EQ(formatDateTime(v), "31/12/1899 00:00:00");
    EXPECT_TRUE(dateTimeFromMilliseconds(kLastDayNumber * day + day - 1, v));
    EXPECT_EQ(formatDateTime(v), "31/12/9999 23:59:59");
    for (double ms : {0.0, -1.0, day - 1, (kLastDayNumber + 1) * day, DBL_MAX, -DBL_MAX, HUGE_VAL,
                      -HUGE_VAL, std::nan("")}) {
        v = -1;
        EXPECT_FALSE(dateTimeFromMilliseconds(ms, v)) << ms;
        EXPECT_EQ(v, 0);
    }
}
