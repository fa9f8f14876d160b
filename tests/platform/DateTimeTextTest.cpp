#include "platform/DateTimeText.h"

#include "platform/Clock.h"
#include "platform/RegionalSettings.h"

#include <gtest/gtest.h>

#include <optional>

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

// What `reader` makes of the text; nothing when it refuses it.
std::optional<TDateTime> read(bool (*reader)(std::string_view, TDateTime&), std::string_view text) {
    TDateTime v = 0;
    if (!reader(text, v))
        return std::nullopt;
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
    EXPECT_EQ(read(tryParseDate, " 9/2/2024 "), date(2024, 2, 9));
    EXPECT_EQ(read(tryParseDate, "09/02"), date(2026, 2, 9)); // the current year
    useFormats("mm-dd-yyyy", '-', "hh:nn:ss", ':');
    EXPECT_EQ(read(tryParseDate, "02-09-2024"), date(2024, 2, 9));
    useFormats("yyyy.mm.dd", '.', "hh:nn:ss", ':');
    EXPECT_EQ(read(tryParseDate, "2024.2.9"), date(2024, 2, 9));
    EXPECT_EQ(read(tryParseDate, "2024/2/9"), std::nullopt); // not the regional separator
}

TEST_F(DateTimeTextTest, TwoDigitYearsFallInAHundredYearWindow) {
    EXPECT_EQ(read(tryParseDate, "1/1/75"), date(2075, 1, 1));
    EXPECT_EQ(read(tryParseDate, "1/1/76"), date(1976, 1, 1));
    EXPECT_EQ(read(tryParseDate, "1/1/0076"), date(76, 1, 1)); // four digits are taken as written
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
    EXPECT_EQ(read(tryParseTime, "14"), time(14, 0, 0));
    EXPECT_EQ(read(tryParseTime, "7:5"), time(7, 5, 0));
    EXPECT_EQ(read(tryParseTime, "23:59:59"), time(23, 59, 59));
    EXPECT_EQ(read(tryParseTime, "12:30 am"), time(0, 30, 0));
    EXPECT_EQ(read(tryParseTime, "12 PM"), time(12, 0, 0));
    EXPECT_EQ(read(tryParseTime, "1:15:00PM"), time(13, 15, 0));
    for (const char* bad : {"", "24:00", "12:60", "1:2:60", "13 PM", "0 AM", "1:", "1::2", "123",
                            "1:2:3:4", "1:2 XM"})
        EXPECT_EQ(read(tryParseTime, bad), std::nullopt) << bad;
}

TEST_F(DateTimeTextTest, ReadsADateWithAnOptionalTime) {
    EXPECT_EQ(read(tryParseDateTime, "09/02/2024"), date(2024, 2, 9));
    EXPECT_EQ(read(tryParseDateTime, "09/02/2024  18:30"), date(2024, 2, 9) + time(18, 30, 0));
    EXPECT_EQ(read(tryParseDateTime, formatDateTime(date(1899, 12, 29) - time(6, 0, 0))),
              date(1899, 12, 29) - time(6, 0, 0));
    EXPECT_EQ(read(tryParseDateTime, "09/02/202418:30"), std::nullopt);
    EXPECT_EQ(read(tryParseDateTime, "18:30"), std::nullopt);
    EXPECT_EQ(read(tryParseDateTime, "09/02/2024 25:00"), std::nullopt);
}
