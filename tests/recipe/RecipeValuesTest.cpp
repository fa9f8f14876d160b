// A kept recipe's numbers: the main window's formula over its lines, per serving, per 100 g,
// and the one text form they are shown in.

#include "recipe/RecipeValues.h"
#include "tests/engine/EngineTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;

RecipeLine line(const char* name, double grams, std::initializer_list<double> values,
                std::initializer_list<size_t> missing = {}) {
    RecipeLine l;
    l.Nome = name;
    l.Quantita = grams;
    std::copy(values.begin(), values.end(), l.values.begin());
    for (size_t i : missing)
        l.missing[i] = true;
    return l;
}

TEST(RecipeValues, TotalsPerServingAndPer100gOfALineAreWorkedOutByHand) {
    FixedRegionalSettings settings;
    // 150 g of a food with 20 g carbohydrates per 100 g adds 30.
    const std::vector<RecipeLine> lines = {{"Cereali", "Riso", 150, {332, 20, 0.6, 7}, {}},
                                           {"Frutta", "Mela", 250, {52, 14, 0.2, 0.3}, {}}};
    const RecipeValues v = recipeValues(lines, 2);
    //   carbohydrates 30 + 35 = 65; fats 0.9 + 0.5 = 1.4; proteins 10.5 + 0.75 = 11.25;
    //   energy 498 + 130 = 628; 400 g in all.
    EXPECT_DOUBLE_EQ(v.totals.amount[nGlucidi], 65);
    EXPECT_DOUBLE_EQ(v.totals.amount[nLipidi], 1.4);
    EXPECT_DOUBLE_EQ(v.totals.amount[nProteine], 11.25);
    EXPECT_DOUBLE_EQ(v.totals.amount[nKcalorie], 628);
    EXPECT_DOUBLE_EQ(v.grams, 400);
    EXPECT_DOUBLE_EQ(v.perServing.amount[nKcalorie], 314);
    EXPECT_DOUBLE_EQ(v.perServing.amount[nProteine], 5.625);
    ASSERT_TRUE(v.per100g);
    EXPECT_DOUBLE_EQ(v.per100g->amount[nGlucidi], 16.25);
    EXPECT_DOUBLE_EQ(v.per100g->amount[nKcalorie], 157);
    EXPECT_THAT(shownTotalsTexts(v.totals),
                ElementsAre("65.0", "11.3", "1.4", "628.0", "0.0", "0.0", "0.0", "0.0", "0.00"));
}

TEST(RecipeValues, TheFormulaIsTheMainWindowsStepForStep) {
    // Multiplying first, then dividing by 100, then adding: 0.1 * 3 / 100 differs in its last
    // bit from 0.1 * (3 / 100).
    const std::vector<RecipeLine> lines = {{"", "a", 3, {0.1, 0.1, 0.1, 0.1}, {}},
                                           {"", "b", 7, {0.7, 0.7, 0.7, 0.7}, {}}};
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
    EXPECT_EQ(shownTotalsTexts(empty.perServing)[3], "0.0");
    // Lines whose grams cancel out have no weight to divide by.
    const RecipeValues cancelled =
        recipeValues({{"", "a", 100, {10, 10, 10, 10}, {}}, {"", "b", -100, {5, 5, 5, 5}, {}}}, 0);
    EXPECT_FALSE(cancelled.per100g);
    EXPECT_EQ(cancelled.servings, 1);
    EXPECT_DOUBLE_EQ(cancelled.perServing.amount[nKcalorie], 5);
    EXPECT_EQ(formatRecipeValue(1234.56), "1,234.6");
    EXPECT_EQ(formatRecipeValue(-0.04), "0.0");
}

TEST(RecipeValues, Per100gIsOfTheFinishedDishAndAServingIsItsShare) {
    FixedRegionalSettings settings;
    // A cake of 1,200 g of ingredients that weighs 950 g out of the oven, in 4 servings.
    //   flour 500 g: 1,750 kcal, 5 g sugars; sugar 300 g: 1,200 kcal, 300 g sugars;
    //   eggs 400 g: 572 kcal, 4 g sugars. In all 3,522 kcal, 309 g sugars.
    const std::vector<RecipeLine> lines = {line("Farina", 500, {350, 0, 0, 0, 0, 1}),
                                           line("Zucchero", 300, {400, 0, 0, 0, 0, 100}),
                                           line("Uova", 400, {143, 0, 0, 0, 0, 1})};
    const RecipeValues v = recipeValues(lines, 4, 950);
    EXPECT_DOUBLE_EQ(v.grams, 1200);
    EXPECT_DOUBLE_EQ(v.weight(), 950);
    EXPECT_DOUBLE_EQ(v.servingWeight(), 237.5);
    EXPECT_DOUBLE_EQ(v.totals.amount[nKcalorie], 3522);
    // Per 100 g: 3,522 / 9.5 = 370.7368...; 309 / 9.5 = 32.526...
    EXPECT_DOUBLE_EQ(v.per100g->amount[nKcalorie], 3522 * 100 / 950.0);
    EXPECT_EQ(formatNutrient(nZuccheri, v.per100g->amount[nZuccheri]), "32.5");
    // A serving is a quarter of the recipe, whatever it weighs.
    EXPECT_DOUBLE_EQ(v.perServing.amount[nKcalorie], 880.5);
    EXPECT_EQ(perServingHeading(v), "Per porzione (237.5 g)");
    EXPECT_EQ(recipeWeightText(v),
              "Peso totale: 1,200.0 g  \xB7  peso finale: 950.0 g  \xB7  4 porzioni");
    // No final weight: the sum of the grams.
    EXPECT_DOUBLE_EQ(recipeValues(lines, 4).per100g->amount[nKcalorie], 293.5);
}

TEST(RecipeValues, AValueALineLacksMakesItsTotalIncompleteNeverZero) {
    FixedRegionalSettings settings;
    const std::vector<RecipeLine> lines = {
        line("Farina", 200, {350, 70, 1, 10, 0, 2, 0.2, 3, 0.01}, {nFibre}),
        line("Uova", 100, {140, 1, 10, 12, 0, 1, 3, 0, 0.3}, {nFibre, nZuccheri}),
        line("Burro", 50, {750, 0, 83, 1, 0, 0, 50, 0, 0}, {nFibre})};
    const RecipeValues v = recipeValues(lines, 1);
    // Sugars: 4 from the flour, nothing from the butter; the eggs' are not known.
    EXPECT_DOUBLE_EQ(v.totals.amount[nZuccheri], 4);
    EXPECT_FALSE(v.totals.complete(nZuccheri));
    EXPECT_FALSE(v.totals.unknown(nZuccheri));
    EXPECT_TRUE(v.totals.unknown(nFibre));
    EXPECT_EQ(nutrientTotalText(v.totals, nZuccheri), "4.0+");
    EXPECT_EQ(nutrientTotalText(v.per100g.value(), nFibre), "n.d.");
    EXPECT_EQ(nutrientTotalText(v.totals, nSale), "0.32");
    EXPECT_EQ(lineValueText(lines[1], nZuccheri), "n.d.");
    EXPECT_THAT(missingValuesTexts(lines),
                ElementsAre("Zuccheri: manca il dato di 1 ingrediente (Uova)",
                            "Fibre: manca il dato di 3 ingredienti (Farina, Uova, Burro)"));
    // The main window's sums count what the file keeps.
    EXPECT_DOUBLE_EQ(sumRecipeLines(lines).Glucidi, 141);
}

} // namespace
} // namespace cibrano::testing
