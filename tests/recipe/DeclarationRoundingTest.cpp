// The rounding of a nutrition declaration at every boundary of its rules, the halves, the
// user's separator, and the share of a reference intake: each expected text worked out by
// hand from the guidance's table.

#include "recipe/DeclarationRounding.h"

#include <gtest/gtest.h>

namespace cibrano {
namespace {

AnsiString text(DeclarationRounding r, double value, const char* unit = "g") {
    return declaredValueText(r, value, unit, ',');
}

TEST(DeclarationRounding, NutrientsAtTheirBoundaries) {
    const auto n = DeclarationRounding::Nutrient;
    EXPECT_EQ(text(n, 0), "0 g");
    EXPECT_EQ(text(n, 0.01), "< 0,5 g");
    EXPECT_EQ(text(n, 0.5), "< 0,5 g");
    EXPECT_EQ(text(n, 0.51), "0,5 g");
    EXPECT_EQ(text(n, 0.55), "0,6 g"); // a half, away from zero
    EXPECT_EQ(text(n, 4.25), "4,3 g");
    EXPECT_EQ(text(n, 9.94), "9,9 g");
    EXPECT_EQ(text(n, 9.96), "10,0 g"); // below 10 g: still to 0.1 g
    EXPECT_EQ(text(n, 10), "10 g");
    EXPECT_EQ(text(n, 12.5), "13 g");
    EXPECT_EQ(text(n, 99.49), "99 g");
}

TEST(DeclarationRounding, SaturatesAndSaltAtTheirBoundaries) {
    const auto s = DeclarationRounding::Saturates;
    EXPECT_EQ(text(s, 0), "0 g");
    EXPECT_EQ(text(s, 0.1), "< 0,1 g");
    EXPECT_EQ(text(s, 0.11), "0,1 g");
    EXPECT_EQ(text(s, 0.15), "0,2 g"); // 0.15 held in binary a hair below the half
    EXPECT_EQ(text(s, 7.05), "7,1 g");
    EXPECT_EQ(text(s, 9.99), "10,0 g");
    EXPECT_EQ(text(s, 10.5), "11 g");

    const auto salt = DeclarationRounding::Salt;
    EXPECT_EQ(text(salt, 0), "0 g");
    EXPECT_EQ(text(salt, 0.0125), "< 0,01 g");
    EXPECT_EQ(text(salt, 0.0126), "0,01 g");
    EXPECT_EQ(text(salt, 0.125), "0,13 g");
    EXPECT_EQ(text(salt, 0.35), "0,35 g");
    EXPECT_EQ(text(salt, 0.999), "1,00 g");
    EXPECT_EQ(text(salt, 1), "1,0 g");
    EXPECT_EQ(text(salt, 1.25), "1,3 g");
}

TEST(DeclarationRounding, EnergyToTheWholeUnitWithoutThousandsSeparator) {
    const auto e = DeclarationRounding::Energy;
    EXPECT_EQ(text(e, 1046.49, "kJ"), "1046 kJ");
    EXPECT_EQ(text(e, 1046.5, "kJ"), "1047 kJ");
    EXPECT_EQ(text(e, 249.5, "kcal"), "250 kcal");
    EXPECT_EQ(text(e, 0, "kcal"), "0 kcal");
    EXPECT_EQ(declaredValueText(e, 12345.6, "kJ", ','), "12346 kJ");
}

TEST(DeclarationRounding, TheUsersDecimalSeparator) {
    EXPECT_EQ(declaredValueText(DeclarationRounding::Nutrient, 7.14, "g", '.'), "7.1 g");
    EXPECT_EQ(declaredValueText(DeclarationRounding::Nutrient, 0.2, "g", '.'), "< 0.5 g");
    EXPECT_EQ(declaredValueText(DeclarationRounding::Salt, 0.01, "g", '.'), "< 0.01 g");
}

TEST(DeclarationRounding, ShareOfAReferenceIntakeFromTheUnroundedValue) {
    EXPECT_EQ(referenceIntakeText(1046, 8400), "12 %"); // 12.45 %
    EXPECT_EQ(referenceIntakeText(10, 260), "4 %");     // 3.85 %
    EXPECT_EQ(referenceIntakeText(0.03, 6), "1 %");     // exactly 0.5 %: a half
    EXPECT_EQ(referenceIntakeText(0.02, 6), "< 1 %");   // 0.33 %
    EXPECT_EQ(referenceIntakeText(0, 70), "0 %");
    // 0.49 g of fat is "< 0,5 g" on the label, but its share comes from the 0.49 g.
    EXPECT_EQ(referenceIntakeText(0.49, 70), "1 %"); // 0.7 %
}

} // namespace
} // namespace cibrano
