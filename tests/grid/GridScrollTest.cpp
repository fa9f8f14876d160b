// The vertical scroll bar on a table of a few hundred rows, the rows the grid fetches, and
// the mouse: clicks, the wheel, the double click.

#include "tests/grid/GridTestSupport.h"

#include <QScrollBar>
#include <QWheelEvent>

namespace cibrano::testing {
namespace {

class GridScrollTest : public GridFixtureOf<TCountingTable> {
protected:
    void SetUp() override {
        addFoodColumns();
        openTable(manyFoods(300));
        showGrid();
    }

    QScrollBar* bar() const { return grid->verticalScrollBar(); }

    // The bar as the grid wrote it, and as Qt shows it.
    void expectBar(int position) {
        const int page = grid->visibleRowCount();
        const TCustomDBGrid::ScrollInfo info = grid->scrollInfo();
        EXPECT_EQ(info.min, 1);
        EXPECT_EQ(info.page, page);
        EXPECT_EQ(info.max, 300 + page - 1);
        EXPECT_EQ(info.pos, position);
        EXPECT_EQ(bar()->minimum(), 1);
        EXPECT_EQ(bar()->maximum(), 300);
        EXPECT_EQ(bar()->pageStep(), page);
        EXPECT_EQ(bar()->value(), position);
        EXPECT_EQ(table.recordNumber(), position);
    }

    void releaseThumbAt(int position) {
        bar()->setSliderDown(true);
        bar()->setSliderPosition(position);
        bar()->setSliderDown(false);
    }
};

TEST_F(GridScrollTest, TheBarFollowsMovesPageMovesAndThumbReleases) {
    const int page = grid->visibleRowCount();
    ASSERT_GT(page, 5);
    expectBar(1);
    key(Qt::Key_Down);
    expectBar(2);
    key(Qt::Key_PageDown);
    expectBar(2 + page);
    key(Qt::Key_PageUp);
    expectBar(2);
    key(Qt::Key_End, Qt::ControlModifier);
    expectBar(300);

    releaseThumbAt(150);
    expectBar(150);
    releaseThumbAt(300);
    expectBar(300);
    releaseThumbAt(1);
    expectBar(1);
    releaseThumbAt(299);
    expectBar(299);
}

TEST_F(GridScrollTest, TheBarsArrowsAndPagesMoveTheDataset) {
    const int page = grid->visibleRowCount();
    // Down arrow: the record just below the last buffered row.
    bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    expectBar(page + 1);
    // Up arrow: the record just above the first row.
    bar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    expectBar(1);
    bar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    expectBar(1 + page);
    bar()->triggerAction(QAbstractSlider::SliderToMaximum);
    expectBar(300);
    bar()->triggerAction(QAbstractSlider::SliderToMinimum);
    expectBar(1);
}

TEST_F(GridScrollTest, TheBarIsWrittenOnlyWhenAValueChanged) {
    const int writes = grid->scrollBarWrites();
    key(Qt::Key_Up); // already on the first record
    key(Qt::Key_Right);
    EXPECT_EQ(grid->scrollBarWrites(), writes);
    key(Qt::Key_Down);
    EXPECT_EQ(grid->scrollBarWrites(), writes + 1);
}

TEST_F(GridScrollTest, ThePositionStaysWhileARecordIsInserted) {
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Insert);
    ASSERT_EQ(table.State(), stateInsert);
    EXPECT_EQ(grid->scrollInfo().pos, 3);
}

TEST_F(GridScrollTest, TheGridFetchesNoMoreRowsThanAreVisible) {
    const int page = grid->visibleRowCount();
    EXPECT_EQ(table.bufferCount(), page);
    EXPECT_EQ(grid->RowCount(), 1 + page);
    table.fetches = 0;
    key(Qt::Key_PageDown);
    EXPECT_LE(table.fetches, page + 2);
    table.fetches = 0;
    grid->viewport()->repaint();
    EXPECT_EQ(table.fetches, 0); // every cell is drawn from the buffered rows
    table.fetches = 0;
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_LE(table.fetches, page + 2);
}

TEST_F(GridScrollTest, ResizingTheGridChangesTheRowsItHolds) {
    window.resize(747, 200);
    QApplication::processEvents();
    const int page = grid->visibleRowCount();
    EXPECT_EQ(table.bufferCount(), page);
    EXPECT_EQ(grid->RowCount(), 1 + page);
    EXPECT_EQ(grid->scrollInfo().page, page);
}

TEST_F(GridScrollTest, TheWheelMovesOneRecordPerNotch) {
    auto wheel = [&](int delta) {
        const QPointF at = cellCenter(col(1), row(2));
        QWheelEvent event(at, grid->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid->viewport(), &event);
    };
    wheel(-120);
    wheel(-120);
    EXPECT_EQ(table.recordNumber(), 3);
    wheel(120);
    EXPECT_EQ(table.recordNumber(), 2);
    wheel(-60);
    EXPECT_EQ(table.recordNumber(), 2);
    wheel(-60);
    EXPECT_EQ(table.recordNumber(), 3);
}

TEST_F(GridScrollTest, ClicksMoveTheCurrentCellAndAClickOnItStartsEditing) {
    click(col(1), row(3));
    EXPECT_EQ(table.recordNumber(), 4);
    EXPECT_EQ(grid->SelectedIndex(), 1);
    EXPECT_FALSE(editorShown());
    click(col(1), row(3));
    EXPECT_TRUE(editorShown());
    EXPECT_EQ(editorText(), "Food 4");
    EXPECT_EQ(table.State(), stateEdit);
    // The indicator moves to the row and keeps the column.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cellCenter(0, row(1)));
    EXPECT_EQ(table.recordNumber(), 2);
    EXPECT_EQ(grid->SelectedIndex(), 1);
    EXPECT_EQ(table.State(), stateBrowse);

    int doubleClicks = 0;
    grid->OnDblClick = [&](TCustomDBGrid*) { ++doubleClicks; };
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                       cellCenter(col(2), row(2)));
    EXPECT_EQ(doubleClicks, 1);
}

} // namespace
} // namespace cibrano::testing

namespace cibrano::testing {
namespace {

// A dataset that cannot number its records.
class TUnsequencedTable : public TImageTable {
public:
    bool isSequenced() const override { return false; }
};

class UnsequencedScrollTest : public GridFixtureOf<TUnsequencedTable> {
protected:
    void SetUp() override {
        addFoodColumns();
        openTable(manyFoods(100));
        showGrid();
    }
    QScrollBar* bar() const { return grid->verticalScrollBar(); }
};

TEST_F(UnsequencedScrollTest, TheBarShowsBeginningMiddleAndEnd) {
    EXPECT_EQ(bar()->minimum(), 0);
    EXPECT_EQ(bar()->maximum(), 4);
    EXPECT_EQ(bar()->value(), 0);
    key(Qt::Key_Down);
    EXPECT_EQ(bar()->value(), 2);
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(bar()->value(), 4);
    bar()->setSliderDown(true);
    bar()->setSliderPosition(1);
    bar()->setSliderDown(false);
    EXPECT_EQ(table.recordNumber(), 100 - grid->visibleRowCount());
    EXPECT_EQ(bar()->value(), 2);
}

} // namespace
} // namespace cibrano::testing
