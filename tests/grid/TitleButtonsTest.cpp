// Title buttons: press, track and release, the check and parameter events, the fitted caption,
// errors from the click handler, cancelling, and moving and resizing columns by their titles.

#include "tests/grid/GridTestSupport.h"

#include "platform/DatabaseError.h"
#include "platform/Timer.h"

#include <QScrollBar>

namespace cibrano::testing {
namespace {

class TitleButtonsTest : public GridFixture {
protected:
    void SetUp() override {
        addFoodColumns();
        openFoodTable();
        showGrid();
        grid->OnTitleBtnClick = [this](TTitleDBGrid*, int column, TField* field) {
            clicks.push_back({column, field ? field->FieldName() : AnsiString("(none)")});
        };
    }

    QPoint title(int dataColumn) const { return cellCenter(col(dataColumn), 0); }
    void press(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(grid->viewport(), button, Qt::NoModifier, at);
    }
    void move(QPoint at) { QTest::mouseMove(grid->viewport(), at); }
    void release(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseRelease(grid->viewport(), button, Qt::NoModifier, at);
    }

    struct Click {
        int column;
        AnsiString field;
        bool operator==(const Click&) const = default;
    };
    std::vector<Click> clicks;
};

TEST_F(TitleButtonsTest, AReleaseOverThePressedTitleClicksOnceWithTheColumnAndItsField) {
    press(title(1));
    EXPECT_TRUE(grid->tracking());
    EXPECT_TRUE(grid->titlePressed());
    EXPECT_EQ(grid->pressedColumn(), 1);
    saveShot("grid-title-pressed");
    saveZoom("grid-title-pressed-zoom", QRect(0, 0, 300, 60));
    release(title(1));
    EXPECT_EQ(clicks, (std::vector<Click>{{1, "Nome"}}));
    EXPECT_FALSE(grid->titlePressed());
    EXPECT_EQ(table.recordNumber(), 1); // a title click moves nothing
}

TEST_F(TitleButtonsTest, MovingOffAndReleasingGivesNoClickAndLeavesTheTitleRaised) {
    press(title(1));
    move(title(2));
    EXPECT_FALSE(grid->titlePressed());
    EXPECT_TRUE(grid->tracking());
    release(title(2));
    EXPECT_TRUE(clicks.empty());
    EXPECT_FALSE(grid->titlePressed());
    EXPECT_FALSE(grid->tracking());
}

TEST_F(TitleButtonsTest, MovingOffAndBackBeforeReleasingGivesOneClick) {
    press(title(3));
    move(cellCenter(col(3), row(2)));
    EXPECT_FALSE(grid->titlePressed());
    move(title(3));
    EXPECT_TRUE(grid->titlePressed());
    release(title(3));
    EXPECT_EQ(clicks, (std::vector<Click>{{3, "Glucidi"}}));
}

TEST_F(TitleButtonsTest, TheIndicatorsTitleAndAClosedTableGiveNoClick) {
    press(cellCenter(0, 0));
    release(cellCenter(0, 0));
    EXPECT_TRUE(clicks.empty());
    table.close();
    press(title(1));
    EXPECT_FALSE(grid->tracking());
    release(title(1));
    EXPECT_TRUE(clicks.empty());
}

TEST_F(TitleButtonsTest, ADisabledButtonDoesNothing) {
    std::vector<int> asked;
    grid->OnCheckButton = [&](TTitleDBGrid*, int column, TField*, bool& enabled) {
        asked.push_back(column);
        enabled = column != 2;
    };
    press(title(2));
    EXPECT_FALSE(grid->tracking());
    release(title(2));
    press(title(0));
    release(title(0));
    EXPECT_EQ(asked, (std::vector<int>{2, 0}));
    EXPECT_EQ(clicks, (std::vector<Click>{{0, "Gruppo"}}));
    EXPECT_EQ(grid->SelectedIndex(), 0);
}

TEST_F(TitleButtonsTest, AnErrorFromTheClickHandlerComesAfterTheTitleIsRaised) {
    bool pressedInHandler = true;
    grid->OnTitleBtnClick = [&](TTitleDBGrid* sender, int, TField*) {
        pressedInHandler = sender->titlePressed() || sender->tracking();
        throw EDatabaseError("Sorting failed");
    };
    press(title(1));
    release(title(1));
    EXPECT_FALSE(pressedInHandler);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].text, "Sorting failed.");
    EXPECT_FALSE(grid->titlePressed());
}

TEST_F(TitleButtonsTest, CancellingTheMouseModeStopsTrackingWithoutAClick) {
    press(title(1));
    grid->cancelMode();
    EXPECT_FALSE(grid->tracking());
    EXPECT_FALSE(grid->titlePressed());
    release(title(1));
    EXPECT_TRUE(clicks.empty());
}

TEST_F(TitleButtonsTest, TheButtonParametersRecolourAndMarkATitle) {
    std::vector<std::pair<AnsiString, bool>> asked;
    grid->OnGetBtnParams = [&](TTitleDBGrid*, TField* field, QFont& font, QColor& background,
                               TSortMarker& marker, bool down) {
        asked.push_back({field->FieldName(), down});
        if (field->FieldName() == "Nome") {
            background = QColor(255, 255, 200);
            font.setBold(true);
            marker = smDown;
        }
        if (field->FieldName() == "Kcalorie")
            marker = smUp;
    };
    press(title(1));
    grid->viewport()->repaint();
    saveShot("grid-sort-markers");
    release(title(1));
    ASSERT_FALSE(asked.empty());
    bool nomeDown = false;
    for (const auto& [name, down] : asked)
        nomeDown = nomeDown || (name == "Nome" && down);
    EXPECT_TRUE(nomeDown);
    const QImage image = grid->viewport()->grab().toImage();
    const QRect nome = grid->cellRect(col(1), 0);
    EXPECT_EQ(image.pixelColor(nome.left() + 4, nome.bottom() - 2), QColor(255, 255, 200));
}

TEST_F(TitleButtonsTest, AWideCaptionEndsInDotsAndKeepsTheLeadingCharactersThatFit) {
    const QFontMetrics metrics(msSansSerif(11));
    const QString caption = QStringLiteral("Carboidrati disponibili");
    const int width = metrics.horizontalAdvance(QStringLiteral("Carboid..."));
    const QString fitted = TTitleDBGrid::fitCaption(metrics, caption, width);
    EXPECT_TRUE(fitted.endsWith(QStringLiteral("...")));
    EXPECT_TRUE(caption.startsWith(fitted.left(fitted.size() - 3)));
    EXPECT_LE(metrics.horizontalAdvance(fitted), width);
    const QString longer =
        fitted.left(fitted.size() - 3) + caption.at(fitted.size() - 3) + QStringLiteral("...");
    EXPECT_GT(metrics.horizontalAdvance(longer), width);
    EXPECT_EQ(TTitleDBGrid::fitCaption(metrics, caption, 1000), caption);
    EXPECT_EQ(TTitleDBGrid::fitCaption(metrics, caption, 2), QStringLiteral("..."));

    grid->Columns()[3]->Title().setCaption("Carboidrati disponibili per cento grammi");
    saveShot("grid-wide-caption");
    saveZoom("grid-wide-caption-zoom", QRect(380, 0, 367, 40));
}

TEST_F(TitleButtonsTest, ARightDragOnATitleMovesItsColumn) {
    press(title(0), Qt::RightButton);
    EXPECT_FALSE(grid->tracking());
    EXPECT_EQ(grid->gridState(), gsColMoving);
    move(title(2));
    release(title(2), Qt::RightButton);
    EXPECT_EQ(grid->gridState(), gsNormal);
    EXPECT_EQ(grid->Columns()[0]->FieldName(), "Nome");
    EXPECT_EQ(grid->Columns()[2]->FieldName(), "Gruppo");
    EXPECT_EQ(grid->Columns()[2]->Width(), 113);
    EXPECT_TRUE(clicks.empty());
    // The moved column keeps its field and its click gives its new index.
    press(title(2));
    release(title(2));
    EXPECT_EQ(clicks, (std::vector<Click>{{2, "Gruppo"}}));
}

TEST_F(TitleButtonsTest, DraggingATitleBorderResizesTheColumn) {
    const QRect first = grid->cellRect(col(0), 0);
    const QPoint border(first.right() + 1, first.center().y());
    press(border);
    EXPECT_EQ(grid->gridState(), gsColSizing);
    move(border + QPoint(20, 0));
    release(border + QPoint(20, 0));
    EXPECT_EQ(grid->Columns()[0]->Width(), 133);
    EXPECT_EQ(grid->colWidth(col(0)), 133);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(TitleButtonsTest, ALeftDragOnATitleDoesNotMoveTheColumn) {
    press(title(0));
    move(title(2));
    release(title(2));
    EXPECT_EQ(grid->Columns()[0]->FieldName(), "Gruppo");
    EXPECT_TRUE(clicks.empty());
}

} // namespace
} // namespace cibrano::testing

namespace cibrano::testing {
namespace {

TEST_F(TitleButtonsTest, ATitleDraggedBeyondTheRightEdgeScrollsTheColumnsEvery60Milliseconds) {
    window.resize(400, 360);
    QApplication::processEvents();
    ASSERT_GT(grid->horizontalScrollBar()->maximum(), grid->horizontalScrollBar()->minimum());
    press(title(0), Qt::RightButton);
    const QPointF beyond(grid->viewport()->width() + 5, title(0).y());
    QMouseEvent moveEvent(QEvent::MouseMove, beyond, grid->viewport()->mapToGlobal(beyond),
                          Qt::NoButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(grid->viewport(), &moveEvent);
    const int left = grid->LeftCol();
    manualTimerClock().advance(59);
    EXPECT_EQ(grid->LeftCol(), left);
    manualTimerClock().advance(1);
    EXPECT_EQ(grid->LeftCol(), left + 1);
    manualTimerClock().advance(600);
    EXPECT_EQ(grid->LeftCol(), grid->horizontalScrollBar()->maximum());
    release(beyond.toPoint(), Qt::RightButton);
    EXPECT_EQ(grid->gridState(), gsNormal);
    EXPECT_EQ(grid->Columns()[6]->FieldName(), "Gruppo");
    const int afterRelease = grid->LeftCol();
    manualTimerClock().advance(600); // the timer stopped with the drag
    EXPECT_EQ(grid->LeftCol(), afterRelease);
}

} // namespace
} // namespace cibrano::testing
