#include "platform/DateTime.h"
#include "platform/Guid.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>

using namespace cibrano;

TEST(DateTime, DayNumbersCountFromYearOne) {
    int n = 0;
    ASSERT_TRUE(tryEncodeDayNumber(1, 1, 1, n));
    EXPECT_EQ(n, 1);
    ASSERT_TRUE(tryEncodeDayNumber(1899, 12, 30, n));
    EXPECT_EQ(n, kDateDelta);
    TDateTime d = 0;
    ASSERT_TRUE(tryEncodeDate(2000, 11, 1, d));
    EXPECT_EQ(d, 36831);
    EXPECT_FALSE(tryEncodeDayNumber(2023, 2, 29, n));
    EXPECT_TRUE(tryEncodeDayNumber(2024, 2, 29, n));
    EXPECT_FALSE(tryEncodeDayNumber(1900, 2, 29, n));
}

TEST(DateTime, DecodingInvertsEncodingAcrossCenturies) {
    for (int dayNumber = 1; dayNumber < 3000000; dayNumber += 997) {
        int y, m, d, back = 0;
        decodeDayNumber(dayNumber, y, m, d);
        ASSERT_TRUE(tryEncodeDayNumber(y, m, d, back)) << dayNumber;
        ASSERT_EQ(back, dayNumber);
    }
    int y, m, d;
    decodeDayNumber(730485, y, m, d); // 2000-12-31, last day of a leap century year
    EXPECT_EQ(y * 10000 + m * 100 + d, 20001231);
}

TEST(DateTime, TimeOfDayIsTheFraction) {
    TDateTime t = 0;
    ASSERT_TRUE(tryEncodeTime(12, 30, 15, 250, t));
    int h, n, s, ms;
    decodeTime(36831 + t, h, n, s, ms);
    EXPECT_EQ(h, 12);
    EXPECT_EQ(n, 30);
    EXPECT_EQ(s, 15);
    EXPECT_EQ(ms, 250);
    EXPECT_FALSE(tryEncodeTime(24, 0, 0, 0, t));
}

TEST(Guid, RegistryFormWithFreshValues) {
    std::set<AnsiString> seen;
    for (int i = 0; i < 50; ++i) {
        AnsiString g = newGuidText();
        ASSERT_EQ(g.size(), 38u);
        EXPECT_EQ(g.front(), '{');
        EXPECT_EQ(g.back(), '}');
        for (int pos : {9, 14, 19, 24})
            EXPECT_EQ(g[pos], '-');
        for (char c : g)
            EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(c)) || c == '-' || c == '{' ||
                        c == '}');
        EXPECT_EQ(g, [&] {
            AnsiString u = g;
            for (char& c : u)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            return u;
        }());
        seen.insert(g);
    }
    EXPECT_EQ(seen.size(), 50u);
}
