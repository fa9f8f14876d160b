// What the grid lays out: the closed and the empty table, configured and default columns, a
// column whose field is missing, the column map, widths and the horizontal scroll bar.

#include "tests/grid/GridTestSupport.h"

#include "grid/GridDataLink.h"
#include "tests/platform/ErrorMessage.h"

#include <QScrollBar>

namespace cibrano::testing {
namespace {

class GridLayoutTest : public GridFixture {};

TEST_F(GridLayoutTest, AClosedTableShowsTheTitleRowAndOneEmptyDataRow) {
    addFoodColumns();
    showGrid();
    EXPECT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(grid->ColCount(), 1 + 7);
    EXPECT_EQ(grid->colWidth(0), 11);
    EXPECT_EQ(grid->indicatorImageOf(1), -1);
    EXPECT_EQ(grid->Columns()[1]->Title().Caption(), "Nome");
    EXPECT_FALSE(grid->verticalScrollBar()->isVisible());
    key(Qt::Key_F2);
    EXPECT_FALSE(editorShown());
    saveShot("grid-closed");
}

TEST_F(GridLayoutTest, AnEmptyTableShowsOneEmptyRowAndNothingToScroll) {
    addFoodColumns();
    openTable(tableImage(foodFields(), {}));
    showGrid();
    EXPECT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(grid->verticalScrollBar()->maximum(), grid->verticalScrollBar()->minimum());
    EXPECT_FALSE(grid->verticalScrollBar()->isVisible());
    // Typing into the empty grid starts a new record.
    grid->setSelectedIndex(1);
    type("Miele");
    EXPECT_EQ(table.State(), stateInsert);
    key(Qt::Key_Return);
    key(Qt::Key_Up);
    EXPECT_EQ(table.recordCount(), 1);
}

TEST_F(GridLayoutTest, TheBrowsingGridShowsTheFoodsThroughTheirDisplayFormats) {
    addFoodColumns();
    openFoodTable();
    showGrid();
    EXPECT_EQ(grid->RowCount(), 1 + 5);
    EXPECT_EQ(grid->indicatorImageOf(1), 0);
    EXPECT_EQ(grid->DefaultRowHeight(), QFontMetrics(msSansSerif(11)).height() + 4);
    // Right-aligned numbers, formatted: the cell's text ends a few pixels before its edge.
    EXPECT_EQ(grid->Columns()[2]->Alignment(), taRightJustify);
    EXPECT_EQ(grid->Columns()[0]->Alignment(), taLeftJustify);
    saveShot("grid-browsing");
}

TEST_F(GridLayoutTest, WithoutConfiguredColumnsEveryVisibleFieldGetsADefaultColumn) {
    openFoodTable();
    table.fieldByName("Lipidi")->setVisible(false);
    showGrid();
    ASSERT_EQ(grid->Columns().count(), 6);
    EXPECT_EQ(grid->Columns().State(), csDefault);
    std::vector<AnsiString> captions;
    for (int i = 0; i < grid->Columns().count(); ++i)
        captions.push_back(grid->Columns()[i]->Title().Caption());
    EXPECT_EQ(captions, (std::vector<AnsiString>{"Gruppo", "Nome", "Quantita", "Kcalorie",
                                                 "Glucidi", "Proteine"}));
    const QFontMetrics metrics(grid->font());
    const int zero = metrics.horizontalAdvance(QLatin1Char('0'));
    EXPECT_EQ(grid->Columns()[1]->Width(), zero * 50 + 4);
    // A narrow field is widened to its caption.
    table.fieldByName("Quantita")->setDisplayWidth(1);
    EXPECT_EQ(
        grid->Columns()[2]->Width(),
        std::max(zero + 4,
                 QFontMetrics(grid->TitleFont()).horizontalAdvance(QStringLiteral("Quantita")) +
                     4));
    table.close();
    EXPECT_EQ(grid->Columns().count(), 1); // one empty column while closed
    EXPECT_EQ(grid->Columns()[0]->Width(), 64);
}

TEST_F(GridLayoutTest, AColumnWhoseFieldIsMissingShowsEmptyCellsAndCannotBeEdited) {
    addFoodColumns();
    grid->Columns()[3]->setFieldName("Fibre");
    openFoodTable();
    showGrid();
    EXPECT_EQ(grid->Columns()[3]->Field(), nullptr);
    EXPECT_EQ(grid->Columns()[2]->Field(), table.fieldByName("Quantita"));
    EXPECT_EQ(grid->Columns()[3]->Title().Caption(), "Fibre");
    EXPECT_FALSE(grid->tabStop(col(3)));
    EXPECT_TRUE(grid->tabStop(col(2)));
    click(col(3), row(0));
    key(Qt::Key_F2);
    EXPECT_FALSE(editorShown());
    type("7");
    EXPECT_EQ(table.State(), stateBrowse);
    // Keys skip it.
    grid->setSelectedIndex(2);
    key(Qt::Key_Right);
    EXPECT_EQ(grid->SelectedIndex(), 4);
}

TEST_F(GridLayoutTest, TheColumnMapStartsWithEightEntriesAndDoubles) {
    EXPECT_EQ(TGridDataLink::grownMapSize(0, 0), 8);
    EXPECT_EQ(TGridDataLink::grownMapSize(8, 3), 8);
    EXPECT_EQ(TGridDataLink::grownMapSize(8, 8), 16);
    EXPECT_EQ(TGridDataLink::grownMapSize(16, 16), 32);
    EXPECT_EQ(TGridDataLink::grownMapSize(200000000, 200000000), TGridDataLink::kMaxMapSize);
    EXPECT_EQ(testkit::messageOf([] {
                  TGridDataLink::grownMapSize(TGridDataLink::kMaxMapSize,
                                              TGridDataLink::kMaxMapSize);
              }),
              "Grid requested to display more than 256 columns");

    addFoodColumns();
    for (int i = 0; i < 3; ++i)
        grid->Columns().add()->setFieldName("Nome");
    openFoodTable();
    showGrid();
    EXPECT_EQ(grid->DataLink()->fieldCount(), 10);
    EXPECT_EQ(grid->DataLink()->mapSize(), 16);
    EXPECT_EQ(grid->DataLink()->fields(9), table.fieldByName("Nome"));
}

TEST_F(GridLayoutTest, ColumnsWiderThanTheWindowBringAHorizontalScrollBar) {
    addFoodColumns();
    openFoodTable();
    showGrid();
    EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
    window.resize(400, 360);
    QApplication::processEvents();
    EXPECT_TRUE(grid->horizontalScrollBar()->isVisible());
    EXPECT_GT(grid->horizontalScrollBar()->maximum(), grid->horizontalScrollBar()->minimum());
    // The current column is scrolled into view.
    key(Qt::Key_End);
    EXPECT_EQ(grid->SelectedIndex(), 6);
    EXPECT_FALSE(grid->cellRect(col(6), row(0)).isEmpty());
    EXPECT_GT(grid->LeftCol(), 1);
    EXPECT_EQ(grid->horizontalScrollBar()->value(), grid->LeftCol());
    saveShot("grid-scrolled-right");
}

TEST_F(GridLayoutTest, AFieldChangeRedrawsTheCellAndAnOpenEditorFollowsTheField) {
    addFoodColumns();
    openFoodTable();
    showGrid();
    grid->setSelectedIndex(1);
    key(Qt::Key_F2);
    ASSERT_TRUE(editorShown());
    table.fieldByName("Nome")->setStringValue("Pasta integrale");
    EXPECT_EQ(editorText(), "Pasta integrale");
    EXPECT_EQ(grid->EditText(), "Pasta integrale");
}

TEST_F(GridLayoutTest, ReadOnlyGridsAndDatasetsShowNoEditor) {
    addFoodColumns();
    openFoodTable();
    showGrid();
    grid->setReadOnly(true);
    key(Qt::Key_F2);
    EXPECT_FALSE(editorShown());
    type("x");
    EXPECT_EQ(table.State(), stateBrowse);
    key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(table.recordCount(), 5);
}

} // namespace
} // namespace cibrano::testing

namespace cibrano::testing {
namespace {

TEST_F(GridLayoutTest, ATableClosedDuringAKeyLeavesNoColumnWithAFreedField) {
    openFoodTable();
    showGrid();
    ASSERT_EQ(grid->Columns().State(), csDefault);
    grid->OnKeyDown = [this](TCustomDBGrid*, int& key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_F5)
            table.close();
    };
    key(Qt::Key_F5);
    EXPECT_EQ(grid->RowCount(), 2);
    ASSERT_EQ(grid->Columns().count(), 1);
    EXPECT_EQ(grid->Columns()[0]->Field(), nullptr);
    grid->viewport()->repaint();
    table.open();
    EXPECT_EQ(grid->Columns().count(), 7);
    EXPECT_EQ(grid->RowCount(), 1 + 5);
}

} // namespace
} // namespace cibrano::testing
