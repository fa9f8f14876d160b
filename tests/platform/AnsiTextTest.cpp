#include "platform/AnsiCase.h"
#include "platform/AnsiString.h"
#include "platform/Format.h"

#include <gtest/gtest.h>

using namespace cibrano;

TEST(AnsiText, RoundTripsEveryDefinedWindows1252Character) {
    AnsiString all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    auto back = utf8ToAnsi(ansiToUtf8(all));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
    EXPECT_EQ(ansiToUtf8("\x80"), "\xE2\x82\xAC"); // euro sign
}

TEST(AnsiText, RefusesWhatWindows1252CannotHold) {
    EXPECT_FALSE(utf8ToAnsi("\xE4\xB8\xAD").has_value()); // a CJK character
    EXPECT_FALSE(utf8ToAnsi("\xC3").has_value());         // cut short
    EXPECT_FALSE(utf8ToAnsi("\xC0\xAF").has_value());     // overlong "/"
    EXPECT_EQ(utf8ToAnsi("qualit\xC3\xA0").value(), "qualit\xE0");
}

TEST(AnsiCase, FollowsTheWindows1252Letters) {
    EXPECT_EQ(ansiUpperCase("pasta \xE0\xE8\xFF\x9A"), "PASTA \xC0\xC8\x9F\x8A");
    EXPECT_EQ(ansiUpperCase("\xF7\xDF"), "\xF7\xDF"); // division sign and sharp s stay
    EXPECT_EQ(ansiLowerCase("\xD7"), "\xD7");         // multiplication sign has no case
    EXPECT_TRUE(ansiSameText("NOME", "nome"));
    EXPECT_EQ(ansiCompareText("abc", "ABD") < 0, true);
    EXPECT_EQ(ansiCompareText("ab", "AB"), 0);
    EXPECT_LT(ansiCompareText("ab", "abc"), 0);
}

TEST(FormatText, FillsPlaceholdersWithStringsAndNumbers) {
    EXPECT_EQ(formatText("Field '%s' has wrong length %d in record %d", AnsiString("Nome"), 9, 3),
              "Field 'Nome' has wrong length 9 in record 3");
    EXPECT_EQ(formatText("%g to %g", 1.5, 100.0), "1.5 to 100");
}
