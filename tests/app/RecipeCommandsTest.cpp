// The recipe calculator's commands: zeroing every quantity with one recomputation, choosing the
// find box's column from the combo box, and sorting by a column title.

#include "tests/app/RecipeTestSupport.h"

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;

class RecipeCommands : public RecipeFixture {};

TEST_F(RecipeCommands, ZeroingRunsOneRecomputationAndEditsOnlyTheUsedRows) {
    useFoodTable();
    calc.OpenRecipeTables();
    goTo("Parmigiano");
    const int computations = calc.totalsComputations();
    const size_t shows = shown.size();
    calc.ZeroAllQuantities();
    EXPECT_EQ(calc.totalsComputations(), computations + 1);
    EXPECT_EQ(shown.size(), shows + 1);
    EXPECT_THAT(lastShown(), ElementsAre("0.0", "0.0", "0.0", "0.0"));
    EXPECT_FALSE(calc.Table1->controlsSuspended());
    EXPECT_EQ(calc.Table1->State(), stateBrowse);
    EXPECT_EQ(calc.Table1->recordNumber(), 1);
    // Three rows were used; the cheese's 0 and the milk's empty quantity are left alone.
    EXPECT_EQ(calc.Table1->changeCount(), 3);
}

TEST_F(RecipeCommands, ZeroingATableWithNothingUsedLeavesNoUnsavedChanges) {
    writeFoodTable({{"Formaggi", "Parmigiano", "0", "387", "0", "28.1", "33.5"},
                    {"Latte e derivati", "Latte", "", "64", "4.9", "3.6", "3.3"}});
    calc.OpenRecipeTables();
    calc.ZeroAllQuantities();
    EXPECT_FALSE(calc.Table1->hasUnsavedChanges());
    EXPECT_EQ(calc.totalsComputations(), 2);
    const std::string before = tableBytes();
    calc.SaveOnClose();
    EXPECT_EQ(tableBytes(), before);
}

TEST_F(RecipeCommands, ZeroingWithTheFilterOnGoesOverTheShownRowsAndKeepsThemInSight) {
    useFoodTable();
    calc.OpenRecipeTables();
    calc.ShowUsedRowsOnly();
    calc.ZeroAllQuantities();
    EXPECT_THAT(lastShown(), ElementsAre("0.0", "0.0", "0.0", "0.0"));
    // The zeroed rows stay shown until the filter is applied again.
    EXPECT_EQ(calc.Table1->recordCount(), 3);
    calc.ShowUsedRowsOnly();
    EXPECT_EQ(calc.Table1->recordCount(), 0);
}

TEST_F(RecipeCommands, AFailedRowStopsTheZeroingButNotificationsResume) {
    useFoodTable();
    calc.OpenRecipeTables();
    int posts = 0;
    calc.Table1->BeforePost = [&](TDataSet*) {
        if (++posts == 2)
            databaseError("refused");
    };
    EXPECT_EQ(testkit::messageOf([&] { calc.ZeroAllQuantities(); }), "refused");
    EXPECT_FALSE(calc.Table1->controlsSuspended());
    calc.Table1->cancelRecord();
    calc.Table1->BeforePost = nullptr;
    // The pasta was zeroed and posted before the oil failed.
    calc.Table1->moveFirst();
    EXPECT_THAT(lastShown(), ElementsAre("5.3", "1.5", "10.3", "118.4"));
}

TEST_F(RecipeCommands, TheComboBoxChoosesTheSearchColumnByItsIndexOnly) {
    useFoodTable();
    calc.OpenRecipeTables();
    calc.SetSearchColumn(0);
    EXPECT_EQ(calc.ZerovFindEdit1->DataField(), "Gruppo");
    // No item selected while typing, or anything out of the list: the column stays.
    calc.SetSearchColumn(-1);
    calc.SetSearchColumn(2);
    EXPECT_EQ(calc.ZerovFindEdit1->DataField(), "Gruppo");
    calc.ZerovFindEdit1->setText("grassi");
    manualTimerClock().advance(TZerovFindEdit::kSearchDelay);
    EXPECT_THAT(column(*calc.Table1, "Nome"), ElementsAre("Olio extravergine d'oliva"));
    calc.ZerovFindEdit1->setText("");
    manualTimerClock().advance(TZerovFindEdit::kSearchDelay);

    calc.SetSearchColumn(1);
    EXPECT_EQ(calc.ZerovFindEdit1->DataField(), "Nome");
    calc.SetSearchColumn(-1);
    EXPECT_EQ(calc.ZerovFindEdit1->DataField(), "Nome");
}

TEST_F(RecipeCommands, SortingByATitleTwiceSortsOnceAndChangesNoData) {
    useFoodTable();
    calc.OpenRecipeTables();
    calc.SortByField(calc.Table1Kcalorie);
    EXPECT_EQ(calc.Table1->IndexFieldNames(), "Kcalorie");
    EXPECT_THAT(column(*calc.Table1, "Kcalorie"), ElementsAre("19", "64", "353", "387", "899"));
    calc.Table1->moveFirst();
    calc.Table1->moveNext();
    calc.Table1->moveNext();
    const int computations = calc.totalsComputations();

    calc.SortByField(calc.Table1Kcalorie);
    calc.SortByField(nullptr);
    EXPECT_EQ(calc.totalsComputations(), computations);
    EXPECT_EQ(calc.Table1->recordNumber(), 3);
    EXPECT_EQ(calc.Table1Nome->stringValue(), "Pasta di semola");
    EXPECT_FALSE(calc.Table1->hasUnsavedChanges());

    // Another title sorts again, keeping the current row; the clone keeps its own order.
    calc.SortByField(calc.Table1Nome);
    EXPECT_EQ(calc.Table1Nome->stringValue(), "Pasta di semola");
    EXPECT_EQ(calc.Table1->recordNumber(), 4);
    EXPECT_EQ(calc.Table2->IndexFieldNames(), "");
    EXPECT_THAT(lastShown(), ElementsAre("68.5", "10.2", "11.4", "400.8"));
}

} // namespace
} // namespace cibrano::testing
