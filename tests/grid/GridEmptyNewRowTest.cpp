// A new row the grid starts (Down on the last row, Insert, editing an empty list) and that
// stays empty is cancelled instead of posted, whatever would post it, and leaves no change
// behind. A new row holding a value is posted as ever; rows the program inserts are its own.

#include "tests/grid/GridTestSupport.h"

namespace cibrano::testing {
namespace {

class GridEmptyNewRowTest : public GridFixture {
protected:
    void SetUp() override {
        addFoodColumns();
        openFoodTable();
        showGrid();
    }
    // Down on the last row: a new row at the end.
    void appendRow() {
        key(Qt::Key_End, Qt::ControlModifier);
        key(Qt::Key_Down);
        ASSERT_EQ(table.State(), stateInsert);
    }
    void expectNoNewRow() {
        EXPECT_EQ(table.State(), stateBrowse);
        EXPECT_EQ(table.recordCount(), 5);
        EXPECT_FALSE(table.hasUnsavedChanges());
        EXPECT_TRUE(ui.errors.empty());
    }
};

TEST_F(GridEmptyNewRowTest, BackspaceInAnEmptyCellThenLeavingTheRowStoresNothing) {
    appendRow();
    selectColumn(1);
    key(Qt::Key_Backspace);
    key(Qt::Key_Return);
    EXPECT_TRUE(table.Modified());
    key(Qt::Key_Up);
    expectNoNewRow();
    EXPECT_EQ(table.recordNumber(), 5); // back on the last food, as for an untouched row
}

TEST_F(GridEmptyNewRowTest, DownFromATouchedEmptyRowAtTheEndStaysOnIt) {
    appendRow();
    selectColumn(2);
    key(Qt::Key_Backspace);
    key(Qt::Key_Down);
    EXPECT_EQ(table.State(), stateInsert);
    EXPECT_EQ(grid->RowCount(), 1 + 6); // the five foods and the new row
    other->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    expectNoNewRow();
}

TEST_F(GridEmptyNewRowTest, LeavingTheGridAfterBackspaceCancelsTheRow) {
    key(Qt::Key_Insert);
    ASSERT_EQ(table.State(), stateInsert);
    selectColumn(0);
    key(Qt::Key_Backspace);
    other->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    expectNoNewRow();
}

TEST_F(GridEmptyNewRowTest, AnythingElseThatPostsTheRowCancelsItInstead) {
    appendRow();
    table.postRecord();
    expectNoNewRow();

    appendRow();
    selectColumn(1);
    key(Qt::Key_Backspace);
    table.setFiltered(false); // settles the pending edit
    expectNoNewRow();

    appendRow();
    table.saveChanges();
    expectNoNewRow();
}

TEST_F(GridEmptyNewRowTest, ANewRowHoldingAValueIsPostedAsEver) {
    appendRow();
    selectColumn(2);
    type("0");
    table.postRecord();
    EXPECT_EQ(table.State(), stateBrowse);
    EXPECT_EQ(table.recordCount(), 6);
    EXPECT_TRUE(table.hasUnsavedChanges());

    // A value typed and then wiped out leaves the row empty again.
    appendRow();
    selectColumn(1);
    type("Uova");
    key(Qt::Key_Return);
    key(Qt::Key_F2);
    for (int i = 0; i < 4; ++i)
        key(Qt::Key_Backspace);
    key(Qt::Key_Up);
    EXPECT_EQ(table.State(), stateBrowse);
    EXPECT_EQ(table.recordCount(), 6);
}

TEST_F(GridEmptyNewRowTest, EditingAnEmptyListStartsARowThatGoesWhenTheListIsFilledAgain) {
    table.setOnFilterRecord([](TDataSet*, bool& accept) { accept = false; });
    table.setFiltered(true);
    ASSERT_TRUE(table.hasNoRecords());
    grid->setFocus(Qt::OtherFocusReason);
    selectColumn(1);
    key(Qt::Key_F2);
    ASSERT_EQ(table.State(), stateInsert);
    key(Qt::Key_Backspace);
    table.setFiltered(false);
    EXPECT_EQ(table.recordCount(), 5);
    EXPECT_EQ(table.State(), stateBrowse);
    EXPECT_FALSE(table.hasUnsavedChanges());
}

TEST_F(GridEmptyNewRowTest, ARowTheProgramInsertsIsNotTheGrids) {
    table.beginAppend();
    table.postRecord();
    EXPECT_EQ(table.recordCount(), 6);
    EXPECT_TRUE(table.hasUnsavedChanges());
}

} // namespace
} // namespace cibrano::testing
