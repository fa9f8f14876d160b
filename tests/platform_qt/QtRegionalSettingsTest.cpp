#include "platform/qt/QtRegionalSettings.h"

#include <gtest/gtest.h>

using namespace cibrano;

TEST(QtRegionalSettings, ItalianSeparatorsAndFormats) {
    const RegionalSettings s = regionalSettingsFrom(QLocale(QLocale::Italian, QLocale::Italy));
    EXPECT_EQ(s.decimalSeparator, ',');
    EXPECT_EQ(s.thousandSeparator, '.');
    EXPECT_EQ(s.dateSeparator, '/');
    EXPECT_EQ(s.shortDateFormat, "dd/mm/yy");
    EXPECT_EQ(s.timeSeparator, ':');
    EXPECT_EQ(s.longTimeFormat, "hh:nn:ss");
    EXPECT_EQ(s.currencyDecimals, 2);
}

TEST(QtRegionalSettings, AmericanFormatsLoseTheAmPmMarker) {
    const RegionalSettings s =
        regionalSettingsFrom(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(s.decimalSeparator, '.');
    EXPECT_EQ(s.thousandSeparator, ',');
    EXPECT_EQ(s.shortDateFormat, "m/d/yy");
    EXPECT_EQ(s.longTimeFormat, "h:nn:ss");
}

TEST(QtRegionalSettings, OtherDateSeparatorsBecomeTheSlashMark) {
    const RegionalSettings s = regionalSettingsFrom(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(s.dateSeparator, '.');
    EXPECT_EQ(s.shortDateFormat, "dd/mm/yy");
    EXPECT_EQ(s.decimalSeparator, ',');
    EXPECT_EQ(s.thousandSeparator, '.');
}

TEST(QtRegionalSettings, NarrowNoBreakSpaceGroupsWithTheNoBreakSpace) {
    const QLocale french(QLocale::French, QLocale::France);
    ASSERT_EQ(french.groupSeparator().size(), 1);
    const RegionalSettings s = regionalSettingsFrom(french);
    EXPECT_EQ(s.decimalSeparator, ',');
    EXPECT_EQ(s.thousandSeparator, '\xA0');
}

TEST(QtRegionalSettings, PatternsKeepQuotedTextAndDropNamesAndZones) {
    EXPECT_EQ(patternFromQt("dddd d MMMM yyyy", false), "dd d mm yyyy");
    EXPECT_EQ(patternFromQt("HH:mm:ss t", true), "hh:nn:ss");
    EXPECT_EQ(patternFromQt("AP h:mm", true), "h:nn");
    EXPECT_EQ(patternFromQt("HH'h'mm", true), "hh'h'nn");
}

TEST(QtRegionalSettings, PatternsThe8BitTextCannotSetApartKeepTheDefaults) {
    // "H\u6642mm\u5206ss\u79D2": no separator Windows-1252 can hold.
    const RegionalSettings japanese =
        regionalSettingsFrom(QLocale(QLocale::Japanese, QLocale::Japan));
    EXPECT_EQ(japanese.longTimeFormat, RegionalSettings().longTimeFormat);
    EXPECT_EQ(japanese.timeSeparator, ':');
    EXPECT_EQ(japanese.shortDateFormat, "yyyy/mm/dd");
    // The C locale's "d MMM yyyy": the month becomes a number, set apart by "/".
    const RegionalSettings c = regionalSettingsFrom(QLocale::c());
    EXPECT_EQ(c.shortDateFormat, "d/mm/yyyy");
    EXPECT_EQ(c.dateSeparator, '/');
}
