#include "platform/DateTimeText.h"

#include "platform/Clock.h"
#include "platform/RegionalSettings.h"

#include <gtest/gtest.h>

using namespace cibrano;

namespace {

TDateTime date(int y, int m, int d) {
    TDateTime v = 0;
    EXPECT_TRUE(tryEncodeDate(y, m, d, v));
    return v;
}

TDateTime time(int h, int n, int s) {
    TDateTime v = 0;
    EXPECT_TRUE(tryEncodeTime(h, n, s, 0, v));
    return v;
}

class DateTimeTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegionalSettings rs;
        rs.shortDateFormat = "dd/mm/yyyy";
        rs.longTimeFormat = "hh:nn:ss";
        rs.dateSeparator = '/';
        rs.timeSeparator = ':';
        setRegional(rs);
        TDateTime today = date(2026, 3, 15) + time(10, 0, 0);
        setClockForTesting([today] { return today; });
    }
    void TearDown() override {
        setRegional(RegionalSettings());
        setClockForTesting(nullptr);
    }
    static void useFormats(const char* dateFormat, char dateSep, const char* timeFormat,
                           char timeSep) {
        RegionalSettings rs = regional();
        rs.shortDateFormat = dateFormat;
        rs.dateSeparator = dateSep;
        rs.longTimeFormat = timeFormat;
        rs.timeSeparator = timeSep;
        setRegional(rs);
    }
};

} // namespace

TEST_F(DateTimeTextTest, WritesTheRegionalFormats) {
    TDateTime v = date(2024, 2, 9) + time(7, 5, 3);
    EXPECT_EQ(formatDate(v), "09/02/2024");
    EXPECT_EQ(formatTime(v), "07:05:03");
    EXPECT_EQ(formatDateTime(v), "09/02/2024 07:05:03");
    useFormats("yyyy-m-d 'w'", '-', "h.nn", '.');
    EXPECT_EQ(formatDate(v), "2024-2-9 w");
    EXPECT_EQ(formatTime(v), "7.05");
    useFormats("d/m/yy", '.', "hh:nn:ss", ':');
    EXPECT_EQ(formatDate(date(1999, 12, 31)), "31.12.99");
    // A day before 1899-12-30 keeps its time of day.
    EXPECT_EQ(formatDateTime(date(1899, 12, 29) - time(18, 0, 0)), "29.12.99 18:00:00");
}

TEST_F(DateTimeTextTest, ReadsDatesInTheFormatsOrder) {
    TDateTime v = 0;
    EXPECT_TRUE(tryParseDate(" 9/2/2024 ", v));
    EXPECT_EQ(v, date(2024, 2, 9));
    EXPECT_TRUE(tryParseDate("09/02", v)); // the current year
    EXPECT_EQ(v, date(2026, 2, 9));
    useFormats("mm-dd-yyyy", '-', "hh:nn:ss", ':');
    EXPECT_TRUE(tryParseDate("02-09-2024", v));
    EXPECT_EQ(v, date(2024, 2, 9));
    useFormats("yyyy.mm.dd", '.', "hh:nn:ss", ':');
    EXPECT_TRUE(tryParseDate("2024.2.9", v));
    EXPECT_EQ(v, date(2024, 2, 9));
    EXPECT_FALSE(tryParseDate("2024/2/9", v)); // not the regional separator
}

TEST_F(DateTimeTextTest, TwoDigitYearsFallInAHundredYearWindow) {
    TDateTime v = 0;
    EXPECT_TRUE(tryParseDate("1/1/75", v));
    EXPECT_EQ(v, date(2075, 1, 1));
    EXPECT_TRUE(tryParseDate("1/1/76", v));
    EXPECT_EQ(v, date(1976, 1, 1));
    EXPECT_TRUE(tryParseDate("1/1/0076", v)); // four digits are taken as written
    EXPECT_EQ(v, date(76, 1, 1));
}

TEST_F(DateTimeTextTest, RefusesImpossibleOrMalformedDates) {
    TDateTime v = 42;
    for (const char* bad :
         {"", "31/04/2024", "29/02/2023", "0/1/2024", "1/13/2024", "12", "1/2/3/4", "1//2024",
          "1/2/", "a/2/2024", "1/2/20245", "1/2/000", "1/2/2024 x"})
        EXPECT_FALSE(tryParseDate(bad, v)) << bad;
    EXPECT_EQ(v, 42);
}

TEST_F(DateTimeTextTest, ReadsTimes) {
    TDateTime v = 0;
    EXPECT_TRUE(tryParseTime("14", v));
    EXPECT_EQ(v, time(14, 0, 0));
    EXPECT_TRUE(tryParseTime("7:5", v));
    EXPECT_EQ(v, time(7, 5, 0));
    EXPECT_TRUE(tryParseTime("23:59:59", v));
    EXPECT_EQ(v, time(23, 59, 59));
    EXPECT_TRUE(tryParseTime("12:30 am", v));
    EXPECT_EQ(v, time(0, 30, 0));
    EXPECT_TRUE(tryParseTime("12 PM", v));
    EXPECT_EQ(v, time(12, 0, 0));
    EXPECT_TRUE(tryParseTime("1:15:00PM", v));
    EXPECT_EQ(v, time(13, 15, 0));
    for (const char* bad : {"", "24:00", "12:60", "1:2:60", "13 PM", "0 AM", "1:", "1::2", "123",
                            "1:2:3:4", "1:2 XM"})
        EXPECT_FALSE(tryParseTime(bad, v)) << bad;
}

TEST_F(DateTimeTextTest, ReadsADateWithAnOptionalTime) {
    TDateTime v = 0;
    EXPECT_TRUE(tryParseDateTime("09/02/2024", v));
    EXPECT_EQ(v, date(2024, 2, 9));
    EXPECT_TRUE(tryParseDateTime("09/02/2024  18:30", v));
    EXPECT_EQ(v, date(2024, 2, 9) + time(18, 30, 0));
    EXPECT_TRUE(tryParseDateTime(formatDateTime(date(1899, 12, 29) - time(6, 0, 0)), v));
    EXPECT_EQ(v, date(1899, 12, 29) - time(6, 0, 0));
    EXPECT_FALSE(tryParseDateTime("09/02/202418:30", v));
    EXPECT_FALSE(tryParseDateTime("18:30", v));
    EXPECT_FALSE(tryParseDateTime("09/02/2024 25:00", v));
}
