// A kept recipe's numbers: the main window's formula over its lines, per serving, per 100 g,
// and the one text form they are shown in.

#include "recipe/RecipeValues.h"
#include "tests/engine/EngineTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;

std::vector<AnsiString> texts(const TotalsLabelSet& t) {
    return {t.t1, t.t2, t.t3, t.t4};
}

TEST(RecipeValues, TotalsPerServingAndPer100gOfALineAreWorkedOutByHand) {
    FixedRegionalSettings settings;
    // 150 g of a food with 20 g carbohydrates per 100 g adds 30.
    const std::vector<RecipeLine> lines = {{"Cereali", "Riso", 150, 332, 20, 0.6, 7},
                                           {"Frutta", "Mela", 250, 52, 14, 0.2, 0.3}};
    const RecipeValues v = recipeValues(lines, 2);
    //   carbohydrates 30 + 35 = 65; fats 0.9 + 0.5 = 1.4; proteins 10.5 + 0.75 = 11.25;
    //   energy 498 + 130 = 628; 400 g in all.
    EXPECT_DOUBLE_EQ(v.totals.Glucidi, 65);
    EXPECT_DOUBLE_EQ(v.totals.Lipidi, 1.4);
    EXPECT_DOUBLE_EQ(v.totals.Proteine, 11.25);
    EXPECT_DOUBLE_EQ(v.totals.Kcalorie, 628);
    EXPECT_DOUBLE_EQ(v.grams, 400);
    EXPECT_DOUBLE_EQ(v.perServing.Kcalorie, 314);
    EXPECT_DOUBLE_EQ(v.perServing.Proteine, 5.625);
    ASSERT_TRUE(v.per100g);
    EXPECT_DOUBLE_EQ(v.per100g->Glucidi, 16.25);
    EXPECT_DOUBLE_EQ(v.per100g->Kcalorie, 157);
    EXPECT_THAT(texts(formatRecipeTotals(v.totals)), ElementsAre("65.0", "11.3", "1.4", "628.0"));
}

TEST(RecipeValues, TheFormulaIsTheMainWindowsStepForStep) {
    // Multiplying first, then dividing by 100, then adding: 0.1 * 3 / 100 differs in its last
    // bit from 0.1 * (3 / 100).
    const std::vector<RecipeLine> lines = {{"", "a", 3, 0.1, 0.1, 0.1, 0.1},
                                           {"", "b", 7, 0.7, 0.7, 0.7, 0.7}};
    const RecipeTotals t = sumRecipeLines(lines);
    const double expected = 0.1 * 3 / 100 + 0.7 * 7 / 100;
    EXPECT_EQ(t.Glucidi, expected);
    EXPECT_EQ(t.Kcalorie, expected);
}

TEST(RecipeValues, NoLinesNoWeightAndServingsBelowOne) {
    FixedRegionalSettings settings;
    const RecipeValues empty = recipeValues({}, 3);
    EXPECT_EQ(empty.grams, 0);
    EXPECT_FALSE(empty.per100g);
    EXPECT_THAT(texts(formatRecipeTotals(empty.perServing)),
                ElementsAre("0.0", "0.0", "0.0", "0.0"));
    // Lines whose grams cancel out have no weight to divide by.
    const RecipeValues cancelled =
        recipeValues({{"", "a", 100, 10, 10, 10, 10}, {"", "b", -100, 5, 5, 5, 5}}, 0);
    EXPECT_FALSE(cancelled.per100g);
    EXPECT_EQ(cancelled.servings, 1);
    EXPECT_DOUBLE_EQ(cancelled.perServing.Kcalorie, 5);
    EXPECT_EQ(formatRecipeValue(1234.56), "1,234.6");
    EXPECT_EQ(formatRecipeValue(-0.04), "0.0");
}

} // namespace
} // namespace cibrano::testing
