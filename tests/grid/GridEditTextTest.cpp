// The text typed into a cell survives changes of the record's other fields: only a change of
// the selected field itself, or of the whole record, replaces it.

#include "tests/grid/GridTestSupport.h"

namespace cibrano::testing {
namespace {

class GridEditTextTest : public GridFixture {
protected:
    void SetUp() override {
        addFoodColumns();
        openFoodTable();
        showGrid();
    }
};

TEST_F(GridEditTextTest, ATypedQuantityIsWrittenAfterCodeSetAnotherFieldOfTheRecord) {
    selectColumn(2);
    type("5");
    ASSERT_TRUE(editorShown());
    ASSERT_EQ(table.State(), stateEdit);
    // Something else writes the name of the same record before Enter.
    table.fieldByName("Nome")->setStringValue("Pane integrale");
    EXPECT_EQ(editorText(), "5");
    EXPECT_TRUE(grid->DataLink()->isModified());

    key(Qt::Key_Down);
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(table.State(), stateBrowse);
    EXPECT_EQ(table.storedText(0, "Quantita"), "5");
    EXPECT_EQ(table.storedText(0, "Nome"), "Pane integrale");
}

TEST_F(GridEditTextTest, AChangeOfTheSelectedFieldItselfReplacesTheTypedText) {
    selectColumn(2);
    type("5");
    table.fieldByName("Quantita")->setFloatValue(7);
    EXPECT_FALSE(grid->DataLink()->isModified());
    EXPECT_EQ(grid->EditText(), "7");
    key(Qt::Key_Return);
    EXPECT_DOUBLE_EQ(table.fieldByName("Quantita")->floatValue(), 7);
}

TEST_F(GridEditTextTest, AChangeOfTheWholeRecordReplacesTheTypedText) {
    selectColumn(2);
    type("5");
    table.cancelRecord(); // the record as stored comes back
    EXPECT_FALSE(grid->DataLink()->isModified());
    key(Qt::Key_Down);
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(table.storedText(0, "Quantita"), "80"); // as it was
}

} // namespace
} // namespace cibrano::testing
