// The recipe's totals: the sums over every row of the food table whatever the grid shows, the
// rows added and deleted counted at once, values counted once posted, and the texts the
// labels get with the user's separators.

#include "tests/recipe/RecipeTestSupport.h"

#include "platform/RegionalSettings.h"

namespace cibrano::testing {
namespace {

using ::testing::DoubleNear;
using ::testing::ElementsAre;

class TotalsWalk : public RecipeFixture {};

TEST_F(TotalsWalk, TheSumsOfEachRowsValuePerHundredGramsTimesItsQuantity) {
    useFoodTable();
    calc.OpenRecipeTables();
    const std::optional<RecipeTotals> totals = calc.ComputeTotals();
    ASSERT_TRUE(totals.has_value());
    EXPECT_THAT(totals->Glucidi, DoubleNear(68.53, 1e-9));
    EXPECT_THAT(totals->Proteine, DoubleNear(10.22, 1e-9));
    EXPECT_THAT(totals->Lipidi, DoubleNear(11.41, 1e-9));
    EXPECT_THAT(totals->Kcalorie, DoubleNear(400.8, 1e-9));
    EXPECT_THAT(labelTexts(calc.formatTotals(*totals)),
                ElementsAre("68.5", "10.2", "11.4", "400.8"));
    // The walk leaves the food table where it stood.
    goTo("Pomodori maturi");
    calc.ComputeTotals();
    EXPECT_EQ(calc.Table1Nome->stringValue(), "Pomodori maturi");
}

TEST_F(TotalsWalk, AnEmptyTableGivesZeroFourTimes) {
    writeFoodTable({});
    calc.OpenRecipeTables();
    EXPECT_THAT(lastShown(), ElementsAre("0.0", "0.0", "0.0", "0.0"));
}

TEST_F(TotalsWalk, TheTextsFollowTheUsersSeparators) {
    useFoodTable();
    RegionalSettings italian = regional();
    italian.decimalSeparator = ',';
    italian.thousandSeparator = '.';
    setRegional(italian);
    calc.OpenRecipeTables();
    EXPECT_THAT(lastShown(), ElementsAre("68,5", "10,2", "11,4", "400,8"));
    EXPECT_EQ(calc.FormatTotal(1234567.25), "1.234.567,3");
}

TEST_F(TotalsWalk, ANegativeQuantityLowersTheTotalsAndPassesTheFilter) {
    useFoodTable();
    calc.OpenRecipeTables();
    setQuantity("Parmigiano", "-10");
    // Carbohydrates unchanged, the rest lowered by a tenth of the cheese's values.
    EXPECT_THAT(lastShown(), ElementsAre("68.5", "6.9", "8.6", "362.1"));
    calc.ShowUsedRowsOnly();
    EXPECT_THAT(column(*calc.Table1, "Nome"),
                ElementsAre("Pasta di semola", "Olio extravergine d'oliva", "Pomodori maturi",
                            "Parmigiano"));
}

TEST_F(TotalsWalk, WithTheFilterOnTheTotalsStillCoverEveryRow) {
    useFoodTable();
    calc.OpenRecipeTables();
    calc.ShowUsedRowsOnly();
    // Parmigiano (0) and the empty quantity of the milk are hidden.
    EXPECT_EQ(calc.Table1->recordCount(), 3);
    EXPECT_THAT(lastShown(), ElementsAre("68.5", "10.2", "11.4", "400.8"));

    // The find box hides used rows too; they still count.
    calc.ZerovFindEdit1->setText("oliva");
    manualTimerClock().advance(TZerovFindEdit::kSearchDelay);
    EXPECT_THAT(column(*calc.Table1, "Nome"), ElementsAre("Olio extravergine d'oliva"));
    EXPECT_THAT(lastShown(), ElementsAre("68.5", "10.2", "11.4", "400.8"));
    calc.ZerovFindEdit1->setText("");
    manualTimerClock().advance(TZerovFindEdit::kSearchDelay);

    calc.ShowAllRows();
    EXPECT_EQ(calc.Table1->recordCount(), 5);
    EXPECT_THAT(lastShown(), ElementsAre("68.5", "10.2", "11.4", "400.8"));
}

TEST_F(TotalsWalk, ARowCountsOncePostedAndADeletedRowStopsCountingAtOnce) {
    useFoodTable();
    calc.OpenRecipeTables();
    calc.Table1->beginAppend();
    calc.Table1Nome->setStringValue("Riso");
    calc.Table1Glucidi->setFloatValue(80);
    calc.Table1Kcalorie->setFloatValue(330);
    calc.Table1Quantita->setFloatValue(50);
    // Typed but not posted: the clone reads the stored rows only.
    EXPECT_THAT(lastShown(), ElementsAre("68.5", "10.2", "11.4", "400.8"));
    calc.Table1->postRecord();
    EXPECT_THAT(lastShown(), ElementsAre("108.5", "10.2", "11.4", "565.8"));

    goTo("Pasta di semola");
    calc.Table1->deleteRecord();
    EXPECT_THAT(lastShown(), ElementsAre("45.3", "1.5", "10.3", "283.4"));

    // Discarding brings the pasta back and takes the rice away.
    calc.Table1->discardChanges();
    EXPECT_THAT(lastShown(), ElementsAre("68.5", "10.2", "11.4", "400.8"));
}

TEST_F(TotalsWalk, AValueBeingTypedCountsOncePosted) {
    useFoodTable();
    calc.OpenRecipeTables();
    goTo("Latte intero pastorizzato di alta qualit\xE0");
    calc.Table1->beginEdit();
    calc.Table1Quantita->setStringValue("200");
    EXPECT_THAT(lastShown(), ElementsAre("68.5", "10.2", "11.4", "400.8"));
    calc.Table1->postRecord();
    EXPECT_THAT(lastShown(), ElementsAre("78.3", "16.8", "18.6", "528.8"));
    // Emptying the quantity again takes the row out of the sums.
    calc.Table1->beginEdit();
    calc.Table1Quantita->setStringValue("");
    calc.Table1->postRecord();
    EXPECT_THAT(lastShown(), ElementsAre("68.5", "10.2", "11.4", "400.8"));
}

TEST_F(TotalsWalk, EveryScrollRecomputesAndAClosedCloneComputesNothing) {
    useFoodTable();
    calc.OpenRecipeTables();
    const int before = calc.totalsComputations();
    calc.Table1->moveNext();
    EXPECT_EQ(calc.totalsComputations(), before + 1);
    EXPECT_EQ(shown.size(), 2u);
    calc.Table2->close();
    calc.Table1->moveNext();
    EXPECT_EQ(calc.totalsComputations(), before + 1);
    EXPECT_EQ(shown.size(), 2u);
}

} // namespace
} // namespace cibrano::testing
