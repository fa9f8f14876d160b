// An error raised while a mouse action repeats (a scroll bar's arrow or trough held down, a
// column dragged beyond the edge, the wheel spinning) stops the repetition: one failed step,
// one message box, and the scroll bar is released, even when the box (modal, with a loop of
// its own) takes the button's release away.

#include "tests/grid/GridTestSupport.h"

#include "platform/Timer.h"

#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>

namespace cibrano::testing {
namespace {

// A user interface whose error box stays open a while, as a modal box does: its own loop runs
// meanwhile, so the timers that repeat the failed step go on firing.
class LingeringErrorBoxUi : public ScriptedUi {
public:
    int openFor = 700;
    // What else happens while the box is open (the grid's timers in tests run on a clock
    // moved by hand).
    std::function<void()> whileOpen;
    void showError(const AnsiString& caption, const AnsiString& text) override {
        ScriptedUi::showError(caption, text);
        // A runaway repetition stops waiting: the test ends and counts the boxes.
        if (errors.size() > 3)
            return;
        QTest::qWait(openFor);
        if (whileOpen)
            whileOpen();
    }
};

// A grid whose column drag fails once the drag has scrolled.
class FailingDragGrid : public TTitleDBGrid {
public:
    using TTitleDBGrid::TTitleDBGrid;
    bool failDrag = false;

protected:
    bool checkColumnDrag(int& origin, int& destination, const QPoint& mouse) override {
        if (failDrag)
            throw EDatabaseError("Not now");
        return TTitleDBGrid::checkColumnDrag(origin, destination, mouse);
    }
};

class GridRepeatErrorTest : public GridFixtureOf<TImageTable> {
protected:
    GridRepeatErrorTest() { setUiServices(&box); }
    ~GridRepeatErrorTest() override { setUiServices(&ui); }

    void SetUp() override {
        addFoodColumns();
        openTable(manyFoods(60));
        showGrid();
    }

    QScrollBar* bar() const { return grid->verticalScrollBar(); }
    // The centre of a part of the vertical scroll bar.
    QPoint barPart(QStyle::SubControl part) const {
        QStyleOptionSlider option;
        option.initFrom(bar());
        option.orientation = bar()->orientation();
        option.minimum = bar()->minimum();
        option.maximum = bar()->maximum();
        option.sliderPosition = bar()->sliderPosition();
        option.sliderValue = bar()->value();
        option.singleStep = bar()->singleStep();
        option.pageStep = bar()->pageStep();
        option.subControls = QStyle::SC_All;
        return bar()->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar()).center();
    }

    // A quantity the field refuses, still in the editor.
    void typeRefusedQuantity() {
        table.moveByDistance(10);
        selectColumn(2);
        type("-");
        ASSERT_TRUE(editorShown());
    }

    // Holds the left button on a part of the bar for a while, then lets it go.
    void holdOnBar(QStyle::SubControl part) {
        const QPoint at = barPart(part);
        QTest::mousePress(bar(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::qWait(700);
        QTest::mouseRelease(bar(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::qWait(100);
    }

    void expectOneBoxAndNothingMoved() {
        ASSERT_EQ(box.errors.size(), 1u);
        EXPECT_EQ(box.errors[0].text,
                  "'-' is not a valid floating point value for field 'Quantita'");
        EXPECT_FALSE(bar()->isSliderDown());
        EXPECT_EQ(table.recordNumber(), 11);
        EXPECT_EQ(table.State(), stateEdit);
        EXPECT_TRUE(editorShown());
        EXPECT_EQ(editorText(), "-");
    }

    LingeringErrorBoxUi box;
};

TEST_F(GridRepeatErrorTest, AHeldArrowStopsAtTheFirstFailedStep) {
    typeRefusedQuantity();
    holdOnBar(QStyle::SC_ScrollBarAddLine);
    expectOneBoxAndNothingMoved();
    // Mended, the arrow moves again.
    key(Qt::Key_Escape);
    QTest::mouseClick(bar(), Qt::LeftButton, Qt::NoModifier, barPart(QStyle::SC_ScrollBarAddLine));
    EXPECT_EQ(box.errors.size(), 1u);
    EXPECT_GT(table.recordNumber(), 11);
}

TEST_F(GridRepeatErrorTest, AHeldTroughStopsAtTheFirstFailedStep) {
    typeRefusedQuantity();
    holdOnBar(QStyle::SC_ScrollBarAddPage);
    expectOneBoxAndNothingMoved();
}

TEST_F(GridRepeatErrorTest, TheArrowIsReleasedEvenWhenTheBoxTakesTheRelease) {
    typeRefusedQuantity();
    const QPoint at = barPart(QStyle::SC_ScrollBarSubLine);
    QTest::mousePress(bar(), Qt::LeftButton, Qt::NoModifier, at);
    // The release went to the box: the bar never sees it, and repeats nothing all the same.
    QTest::qWait(700);
    expectOneBoxAndNothingMoved();
    QTest::qWait(700);
    EXPECT_EQ(box.errors.size(), 1u);
}

TEST_F(GridRepeatErrorTest, TheRestOfAWheelSpinWhoseStepFailedIsDropped) {
    typeRefusedQuantity();
    box.openFor = 0;
    auto wheel = [&](int delta, Qt::ScrollPhase phase) {
        const QPoint at = grid->viewport()->rect().center();
        QWheelEvent event(at, grid->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, phase, false);
        QApplication::sendEvent(grid->viewport(), &event);
    };
    // Three notches at once, then the wheel spinning on by itself.
    wheel(-360, Qt::ScrollUpdate);
    wheel(-120, Qt::ScrollMomentum);
    wheel(-120, Qt::ScrollMomentum);
    wheel(0, Qt::ScrollEnd);
    EXPECT_EQ(box.errors.size(), 1u);
    // A wheel that has no phases: the notches that follow at once belong to the same spin.
    wheel(-120, Qt::NoScrollPhase);
    EXPECT_EQ(box.errors.size(), 1u);
    // A new gesture tries again.
    wheel(0, Qt::ScrollBegin);
    wheel(-120, Qt::ScrollUpdate);
    EXPECT_EQ(box.errors.size(), 2u);
    EXPECT_EQ(table.recordNumber(), 11);
}

// The same with a grid whose column drag can fail.
class GridDragErrorTest : public GridRepeatErrorTest {
protected:
    void SetUp() override {
        auto* layout = static_cast<QVBoxLayout*>(window.layout());
        layout->removeWidget(grid);
        delete grid;
        dragGrid = new FailingDragGrid(&window);
        grid = dragGrid;
        layout->insertWidget(0, grid, 1);
        addFoodColumns();
        openTable(manyFoods(60));
        // Narrow: the drag scrolls through several columns, one per tick.
        window.resize(200, 360);
        showGrid();
        box.openFor = 0;
    }
    FailingDragGrid* dragGrid = nullptr;
};

TEST_F(GridDragErrorTest, AColumnDraggedBeyondTheEdgeStopsAtTheFirstFailedStep) {
    const QPoint title = cellCenter(col(0), 0);
    QTest::mousePress(grid->viewport(), Qt::RightButton, Qt::NoModifier, title);
    ASSERT_EQ(grid->gridState(), gsColMoving);
    dragGrid->failDrag = true;
    // The 60 ms timer would try again and again while the button is held and the box open.
    box.whileOpen = [] { manualTimerClock().advance(600); };
    const QPointF beyond(grid->viewport()->width() + 5, title.y());
    QMouseEvent moveEvent(QEvent::MouseMove, beyond, grid->viewport()->mapToGlobal(beyond),
                          Qt::NoButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(grid->viewport(), &moveEvent);
    manualTimerClock().advance(600);
    EXPECT_EQ(box.errors.size(), 1u);
    EXPECT_EQ(grid->gridState(), gsNormal);
    dragGrid->failDrag = false;
    QTest::mouseRelease(grid->viewport(), Qt::RightButton, Qt::NoModifier, beyond.toPoint());
    EXPECT_EQ(box.errors.size(), 1u);
    EXPECT_EQ(grid->Columns()[0]->FieldName(), "Gruppo"); // the drag ended where it failed
}

} // namespace
} // namespace cibrano::testing
