#include "dataset/NumberFormat.h"

#include "platform/RegionalSettings.h"

#include "../platform/ErrorMessage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <optional>

using namespace cibrano;

namespace {

class NumberFormatTest : public ::testing::Test {
protected:
    void SetUp() override { useSeparators('.', ','); }
    void TearDown() override { setRegional(RegionalSettings()); }

    static void useSeparators(char decimal, char thousands) {
        RegionalSettings rs;
        rs.decimalSeparator = decimal;
        rs.thousandSeparator = thousands;
        rs.currencySymbol = "$";
        setRegional(rs);
    }
};

struct FormatCase {
    const char* pattern;
    double value;
    const char* text;
};

void expectFormats(std::initializer_list<FormatCase> cases) {
    for (const auto& c : cases)
        EXPECT_EQ(formatFloat(c.pattern, c.value), c.text) << c.pattern << " " << c.value;
}

struct PatternCase {
    const char* pattern;
    double value;
    const char* point;
    const char* comma; // the same with "," as decimal and "." as thousands separator
};

const PatternCase kPatternTable[] = {
    {"#,##0.0", 1234.56, "1,234.6", "1.234,6"},
    {"#,##0.0", 0.04, "0.0", "0,0"},
    {"#,##0.0", -12, "-12.0", "-12,0"},
    {"#.#", 5, "5", "5"},
    {"#.#", 5.25, "5.3", "5,3"},
    {"#.#", 0.25, ".3", ",3"},
    {"#.#", 0, "", ""},
    {"0.######", 2.5, "2.5", "2,5"},
    {"0.######", 3, "3", "3"},
    {"0.######", 0.1234567, "0.123457", "0,123457"},
};

// What the float reader makes of the text; nothing when it refuses it.
std::optional<double> parsed(std::string_view text) {
    double v = 0;
    if (!tryParseFloat(text, v))
        return std::nullopt;
    return v;
}

} // namespace

TEST_F(NumberFormatTest, PatternTableWithPointAsDecimalSeparator) {
    for (const auto& c : kPatternTable)
        EXPECT_EQ(formatFloat(c.pattern, c.value), c.point) << c.pattern << " " << c.value;
}

TEST_F(NumberFormatTest, PatternTableWithCommaAsDecimalSeparator) {
    useSeparators(',', '.');
    for (const auto& c : kPatternTable)
        EXPECT_EQ(formatFloat(c.pattern, c.value), c.comma) << c.pattern << " " << c.value;
}

TEST_F(NumberFormatTest, AValueThatRoundsToZeroLosesItsSign) {
    expectFormats({{"#,##0.0", -0.04, "0.0"}, {"0.00", -0.0, "0.00"}, {"#", -0.4, ""}});
}

TEST_F(NumberFormatTest, ThreeSectionsChooseByTheRoundedValue) {
    const char* pattern = "0.00;(0.00);zero";
    expectFormats({{pattern, -1.5, "(1.50)"},
                   {pattern, 0, "zero"},
                   {pattern, 2, "2.00"},
                   {pattern, 0.001, "zero"},
                   {pattern, -0.001, "zero"}});
    // An empty or absent section falls back to the first, which then writes the sign.
    expectFormats({{"0.0;;nil", -2, "-2.0"}, {"0.0;neg", 0, "0.0"}, {"0.0;[0.0]", -0.01, "0.0"}});
}

TEST_F(NumberFormatTest, RoundsHalfAwayFromZeroOnDecimalDigits) {
    expectFormats({{"0", 0.5, "1"},
                   {"0", 2.5, "3"},
                   {"0", -2.5, "-3"},
                   {"0.00", 0.125, "0.13"},
                   {"0.0", 9.96, "10.0"},
                   {"#,##0", 999999.5, "1,000,000"}});
    // 1.005 is 1.00499999999999989... in binary: its decimal digits decide, not a 0.5 nudge.
    expectFormats({{"0.00", 1.005, "1.00"}, {"0.0", 0.05, "0.1"}, {"0.0", 0.049, "0.0"}});
}

TEST_F(NumberFormatTest, PlaceholdersAndGrouping) {
    expectFormats({{"#,##0", 12345678901.0, "12,345,678,901"},
                   {"#,##0.00", 1234567.891, "1,234,567.89"},
                   {"000", 5, "005"},
                   {"0,000", 5, "0,005"},
                   {"0.000", 0.004, "0.004"},
                   {".##", 12.5, "12.5"},
                   {"#", 0.2, ""},
                   {"0.00##", 1.5, "1.50"}});
    EXPECT_EQ(formatFloat("0.00##", 1.23456), "1.2346");
    useSeparators(',', '.');
    expectFormats({{"#,##0.00", 1234567.891, "1.234.567,89"}});
}

TEST_F(NumberFormatTest, QuotedAndOtherTextIsCopied) {
    expectFormats({{"'Tot: '0.0\" g\"", 1.5, "Tot: 1.5 g"},
                   {"0 'kg;#0,.'", 7, "7 kg;#0,."},
                   {"[0]%", 42, "[42]%"},
                   {"0 'open", 3, "3 open"}});
    // An E without a sign is plain text.
    expectFormats({{"0E", 3, "3E"}});
}

TEST_F(NumberFormatTest, ScientificNotation) {
    expectFormats({{"0.00E+00", 1234.5, "1.23E+03"},
                   {"0.0E-0", 0.000123, "1.2E-4"},
                   {"0.0e-00", 1234.5, "1.2e03"},
                   {"0.0E+0", -1234.5, "-1.2E+3"},
                   {"00.0E+0", 5, "50.0E-1"},
                   {"0.00E+00", 0, "0.00E+00"},
                   {"0.0E+00000", 1e100, "1.0E+0100"},
                   {"0.0E+0", 9.96, "1.0E+1"}});
}

TEST_F(NumberFormatTest, FallsBackToGeneralFormat) {
    expectFormats({{"", 0.1, "0.1"}, {";(0)", 2.5, "2.5"}, {";(0)", -2.5, "(3)"}});
    // Eighteen integer digits still go through the pattern; nineteen do not.
    expectFormats({{"0", 123456789012345678.0, "123456789012345680"},
                   {"#,##0.0", 1e19, "1E19"},
                   {"0.0", -1.5e30, "-1.5E30"}});
    EXPECT_EQ(formatFloat("0.0", std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(formatFloat("0.0", std::nan("")), "NAN");
}

TEST_F(NumberFormatTest, RefusesAPatternOver224Characters) {
    std::string pattern(224, '#');
    EXPECT_EQ(formatFloat(pattern, 5), "5");
    pattern += '#';
    EXPECT_EQ(testkit::messageOf([&] { formatFloat(pattern, 5); }), "Format string too long");
}

TEST_F(NumberFormatTest, GeneralFormat) {
    EXPECT_EQ(formatGeneral(1234.5), "1234.5");
    EXPECT_EQ(formatGeneral(-2.5), "-2.5");
    EXPECT_EQ(formatGeneral(0), "0");
    EXPECT_EQ(formatGeneral(-0.0), "0");
    EXPECT_EQ(formatGeneral(100), "100");
    EXPECT_EQ(formatGeneral(0.1 + 0.2), "0.3");
    EXPECT_EQ(formatGeneral(0.1 + 0.2, 17), "0.30000000000000004");
    // The switch to scientific form: E > P or E < -3.
    EXPECT_EQ(formatGeneral(123456789012345.0), "123456789012345");
    EXPECT_EQ(formatGeneral(1e15), "1E15");
    EXPECT_EQ(formatGeneral(0.0001), "0.0001");
    EXPECT_EQ(formatGeneral(0.00001), "1E-5");
    EXPECT_EQ(formatGeneral(-1.5e-7), "-1.5E-7");
    EXPECT_EQ(formatGeneral(1234, 2), "1.2E3");
    EXPECT_EQ(formatGeneral(99.96, 3), "100");
    // Precision is held within 2..18.
    EXPECT_EQ(formatGeneral(1.0 / 3, 1), "0.33");
    EXPECT_EQ(formatGeneral(1.0 / 3, 40), "0.333333333333333315");
    EXPECT_EQ(formatGeneral(std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(formatGeneral(-std::numeric_limits<double>::infinity()), "-INF");
    EXPECT_EQ(formatGeneral(std::nan("")), "NAN");
    EXPECT_EQ(formatGeneral(std::numeric_limits<double>::denorm_min()), "4.94065645841247E-324");
    useSeparators(',', '.');
    EXPECT_EQ(formatGeneral(-1.5e-7), "-1,5E-7");
    EXPECT_EQ(formatGeneral(0.25), "0,25");
}

TEST_F(NumberFormatTest, FixedAndCurrencyFormats) {
    EXPECT_EQ(formatFixed(2.5, 2), "2.50");
    EXPECT_EQ(formatFixed(1234.5, 0), "1235");
    EXPECT_EQ(formatFixed(-0.001, 2), "0.00");
    EXPECT_EQ(formatFixed(0.004, 3), "0.004");
    EXPECT_EQ(formatFixed(-1234567.125, 2), "-1234567.13");
    EXPECT_EQ(formatCurrency(-1234.5, 2), "-$1,234.50");
    EXPECT_EQ(formatCurrency(0, 2), "$0.00");
    EXPECT_EQ(formatFixed(1e20, 2), "1E20");
    useSeparators(',', '.');
    EXPECT_EQ(formatFixed(2.5, 2), "2,50");
    EXPECT_EQ(formatCurrency(1234567, 0), "$1.234.567");
}

TEST_F(NumberFormatTest, InputGrammar) {
    EXPECT_EQ(parsed("12.5"), 12.5);
    EXPECT_EQ(parsed("  -1.5e3  "), -1500);
    EXPECT_EQ(parsed("+2E-2"), 0.02);
    EXPECT_EQ(parsed(".5"), 0.5);
    EXPECT_EQ(parsed("7."), 7);
    EXPECT_EQ(parsed("1e-999"), 0);
    EXPECT_EQ(parsed("0.1"), 0.1);

    double v = 99;
    for (const char* bad :
         {"",    " ",   "1,200", "1.2.3", ".",   "-",   "+",     "1e",    "1e+", "E5",  "1 2",
          "\t1", "1\t", "0x10",  "inf",   "nan", "--1", "1e5.5", "1e999", "1d",  "12 5"})
        EXPECT_FALSE(tryParseFloat(bad, v)) << "'" << bad << "'";
    EXPECT_EQ(v, 99); // untouched on failure

    useSeparators(',', '.');
    EXPECT_EQ(parsed("1,5"), 1.5);
    EXPECT_EQ(parsed("1.5"), std::nullopt);
    EXPECT_EQ(parsed("1.200"), std::nullopt);
}
