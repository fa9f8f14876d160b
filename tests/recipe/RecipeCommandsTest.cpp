// The recipe calculator's commands: zeroing every quantity with one recomputation, choosing the
// find box's column from the combo box, and sorting by a column title.

#include "tests/recipe/RecipeTestSupport.h"

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

namespace cibrano::testing {
namespace {

// The used-rows choice and the find box's word decide together what the food table shows.
class RecipeUsedRowsAndSearch : public RecipeCommands {
protected:
    void SetUp() override {
        writeFoodTable({{"Cereali", "Pane comune", "100", "275", "60", "1", "8"},
                        {"Cereali", "Pasta di semola", "0", "353", "80", "1.5", "11"},
                        {"Frutta", "Mela", "50", "52", "14", "0.2", "0.3"},
                        {"Verdure", "Patate", "0", "85", "18", "0.1", "2"}});
        calc.OpenRecipeTables();
    }
    void search(const char* word) {
        calc.ZerovFindEdit1->setText(word);
        manualTimerClock().advance(TZerovFindEdit::kSearchDelay);
    }
    std::vector<AnsiString> names() { return column(*calc.Table1, "Nome"); }
};

TEST_F(RecipeUsedRowsAndSearch, UsedRowsChosenUnderAWordShowOnlyUsedRowsHoldingTheWord) {
    search("pa");
    EXPECT_THAT(names(), ElementsAre("Pane comune", "Pasta di semola", "Patate"));
    calc.ShowUsedRowsOnly();
    EXPECT_THAT(names(), ElementsAre("Pane comune"));
    // The word goes: the used rows stay.
    search("");
    EXPECT_THAT(names(), ElementsAre("Pane comune", "Mela"));
    EXPECT_TRUE(calc.Table1->Filtered());
    EXPECT_THAT(lastShown(), ElementsAre("67.0", "8.2", "1.1", "301.0"));
}

TEST_F(RecipeUsedRowsAndSearch, ShowingAllRowsEndsBothTheUsedRowsChoiceAndTheWord) {
    search("pa");
    calc.ShowUsedRowsOnly();
    calc.ShowAllRows();
    EXPECT_EQ(calc.ZerovFindEdit1->Text(), "");
    EXPECT_FALSE(calc.ZerovFindEdit1->searchPending());
    EXPECT_FALSE(calc.ZerovFindEdit1->hooked());
    EXPECT_FALSE(calc.Table1->Filtered());
    EXPECT_THAT(names(), ElementsAre("Pane comune", "Pasta di semola", "Mela", "Patate"));
    // The next word searches every row: the used-rows choice does not come back.
    search("pa");
    EXPECT_THAT(names(), ElementsAre("Pane comune", "Pasta di semola", "Patate"));
}

TEST_F(RecipeUsedRowsAndSearch, AWordTypedUnderTheUsedRowsChoiceAndThenAllRowsShowsEveryRow) {
    calc.ShowUsedRowsOnly();
    search("pa");
    EXPECT_THAT(names(), ElementsAre("Pane comune"));
    calc.ShowAllRows();
    EXPECT_THAT(names(), ElementsAre("Pane comune", "Pasta di semola", "Mela", "Patate"));
    search("a");
    EXPECT_THAT(names(), ElementsAre("Pane comune", "Pasta di semola", "Mela", "Patate"));
    search("pat");
    EXPECT_THAT(names(), ElementsAre("Patate"));
    // A word still waiting for its search is dropped too.
    calc.ZerovFindEdit1->setText("x");
    calc.ShowAllRows();
    manualTimerClock().advance(TZerovFindEdit::kSearchDelay);
    EXPECT_THAT(names(), ElementsAre("Pane comune", "Pasta di semola", "Mela", "Patate"));
    EXPECT_THAT(lastShown(), ElementsAre("67.0", "8.2", "1.1", "301.0"));
}

} // namespace
} // namespace cibrano::testing
