// The find box and the grid side by side, on a clock that moves only by hand: a search typed
// just before the user goes on to type a quantity in the grid runs while the grid's editor is
// open, and must not take a keystroke or the row from under it.

#include "app/alimenti.h"

#include "tests/windows/WindowTestSupport.h"

#include "app/FindLineEdit.h"
#include "engine/VolFndEd.h"
#include "grid/InplaceEdit.h"
#include "grid/TitleDBCtrl.h"
#include "platform/Timer.h"
#include "platform/qt/QtTimer.h"

#include <gmock/gmock.h>

#include <memory>

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;

class SearchWhileTyping : public WindowFixture {
protected:
    // The window's timers (the find box's wait among them) fire only when the test says so.
    SearchWhileTyping() { setTimerFactory(nullptr); }
    ~SearchWhileTyping() override { installQtTimerFactory(); }

    std::unique_ptr<TForm1> openWindow() {
        writeFoodTable();
        auto form = std::make_unique<TForm1>();
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return form;
    }

    // Clicks the Quantita cell of the grid's data row `row` (1 = first).
    static void clickQuantity(TForm1& f, int row) {
        TTitleDBGrid* grid = f.TitleDBGrid1;
        const QRect cell = grid->cellRect(3, row); // Gruppo, Nome, Quantita
        ASSERT_FALSE(cell.isEmpty());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    }
    static void type(const QString& text) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        typeText(target, text);
    }
    static void pressKey(Qt::Key key) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key);
    }
    static void searchWaitEnds() { manualTimerClock().advance(TZerovFindEdit::kSearchDelay); }
    static QStringList shownNames(TForm1& f) {
        QStringList names;
        for (const std::string& name : column(*f.recipe()->Table1, "Nome"))
            names << QString::fromStdString(name);
        return names;
    }
};

TEST_F(SearchWhileTyping, ASearchDueWhileAQuantityIsTypedWaitsUntilTheRowIsLeft) {
    auto f = openWindow();
    f->ZerovFindEdit1->setFocus();
    typeText(f->ZerovFindEdit1, "pasta");
    ASSERT_TRUE(f->recipe()->ZerovFindEdit1->searchPending());

    // Before the wait is over the user clicks Pasta di semola in the whole list and types 50;
    // the wait ends between the two digits.
    clickQuantity(*f, 2);
    type("5");
    searchWaitEnds();
    type("0");
    EXPECT_EQ(f->TitleDBGrid1->InplaceEditor()->text(), "50");
    EXPECT_EQ(f->recipe()->Table1Nome->stringValue(), "Pasta di semola");
    EXPECT_EQ(f->recipe()->Table1->recordCount(), 5); // the list stays as the user sees it
    EXPECT_TRUE(f->recipe()->ZerovFindEdit1->searchPending());

    // Leaving the row posts the 50; the search runs once the wait after it is over.
    pressKey(Qt::Key_Down);
    searchWaitEnds();
    EXPECT_EQ(shownNames(*f), QStringList{"Pasta di semola"});
    EXPECT_FALSE(f->recipe()->ZerovFindEdit1->searchPending());
    EXPECT_EQ(f->t4->text(), "176.5"); // 50 g of Pasta di semola, 353 kcal per 100 g
    EXPECT_TRUE(f->close());
    EXPECT_THAT(storedQuantities(), ElementsAre(0.0, 50.0, 0.0, 0.0, 0.0));
}

TEST_F(SearchWhileTyping, ASearchTypedWhileARowIsStillBeingEditedPostsItAndRuns) {
    auto f = openWindow();
    clickQuantity(*f, 3); // Mela
    type("200");
    f->ZerovFindEdit1->setFocus(); // the grid keeps the row in edit
    ASSERT_EQ(f->recipe()->Table1->State(), stateEdit);
    typeText(f->ZerovFindEdit1, "pa");
    searchWaitEnds();
    EXPECT_EQ(shownNames(*f), (QStringList{"Pane comune", "Pasta di semola"}));
    EXPECT_EQ(f->recipe()->Table1->State(), stateBrowse);
    EXPECT_TRUE(f->close());
    EXPECT_THAT(storedQuantities(), ElementsAre(0.0, 0.0, 200.0, 0.0, 0.0));
}

} // namespace
} // namespace cibrano::testing
