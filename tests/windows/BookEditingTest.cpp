// Editing in place in the recipe book's grids: every value typed is checked and written when
// Enter or a move leaves its cell, whoever posts it; closing the window first posts what is
// being typed; an edit dropped with Escape, or one that changed nothing, writes nothing; a
// refused value is reported once.

#include "app/BookDialog.h"
#include "recipe/RecipeBook.h"

#include "tests/windows/BookWindowSupport.h"

#include "grid/TitleDBCtrl.h"

#include <gmock/gmock.h>

#include <QPushButton>

namespace cibrano::testing {
namespace {

using ::testing::HasSubstr;

class BookEditing : public BookWindowFixture {
protected:
    BookEditing() {
        typePasta();
        book.open();
        code = book.saveCurrentRecipe("Pasta", 2, false);
        typeQuantity("Mela", 150);
        book.saveCurrentRecipe("Torta", 8, false);
        book.Recipes->moveFirst();
        d.show();
        d.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
    }

    // What both files hold, byte for byte.
    std::string files() const {
        return readWholeFile(dir.file("ricette.d")).value_or("") +
               readWholeFile(dir.file("ingredienti.d")).value_or("");
    }
    // The recipe and its lines as a fresh reading of the files gives them.
    RecipeInfo storedRecipe() const {
        RecipeBook files(recipesPath(), kFoodPassword);
        files.open();
        return *files.recipe(*files.findRecipe(book.recipe(code)->Nome));
    }
    double storedGrams(size_t line) const {
        RecipeBook files(recipesPath(), kFoodPassword);
        files.open();
        return files.linesOf(code).at(line).Quantita;
    }
    std::string recipesPath() const { return dir.file("ricette.d"); }

    // Clicks a cell and types into it; Return when `enter`.
    void typeInto(TTitleDBGrid* grid, int col, int row, const char* text, bool enter = true) {
        const QRect cell = grid->cellRect(col, row);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::keyClicks(QApplication::focusWidget(), text);
        if (enter)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }

    int code = 0;
    BookDialog d{book};
};

TEST_F(BookEditing, ARefusedValueReachesNoFileWhoeverPostsIt) {
    const std::string before = files();
    for (const char* refused : {"-2", "1000"}) {
        typeInto(d.RecipesGrid, 2, 1, refused);
        ASSERT_FALSE(ui.errors.empty());
        EXPECT_THAT(ui.errors.back().text, HasSubstr("da 1 a 999"));
        EXPECT_EQ(book.Recipes->State(), stateEdit);
        // A line's grams posted meanwhile, or a command of the book, carry no refused value
        // along.
        const size_t reported = ui.errors.size();
        typeInto(d.LinesGrid, 3, 1, "250");
        EXPECT_GT(ui.errors.size(), reported);
        EXPECT_THROW(book.saveCurrentRecipe("Altra", 1, false), std::exception);
        EXPECT_TRUE(files() == before);
        book.Lines->cancelRecord();
        book.Recipes->cancelRecord();
    }
    // A name that differs from another's only in case, or one of blanks.
    for (const char* refused : {"TORTA", "   "}) {
        const QRect cell = d.RecipesGrid->cellRect(1, 1);
        QTest::mouseClick(d.RecipesGrid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), refused);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_TRUE(files() == before) << refused;
        book.Recipes->cancelRecord();
    }
    EXPECT_EQ(storedRecipe().Porzioni, 2);
}

TEST_F(BookEditing, EnterWritesAndClosingPostsWhatIsBeingTyped) {
    typeInto(d.LinesGrid, 3, 1, "250");
    EXPECT_EQ(book.Lines->State(), stateBrowse);
    EXPECT_EQ(storedGrams(0), 250);
    typeInto(d.RecipesGrid, 2, 1, "4");
    EXPECT_EQ(storedRecipe().Porzioni, 4);

    // Typed, not confirmed: the close (Alt+H) writes it.
    d.hide();
    whenModalShows([&](QWidget*) {
        typeInto(d.LinesGrid, 3, 1, "275", false);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_H, Qt::AltModifier);
    });
    EXPECT_EQ(d.showModal(), QDialog::Rejected);
    EXPECT_EQ(storedGrams(0), 275);

    // A refused value keeps the window open with its message.
    d.show();
    d.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
    const size_t reported = ui.errors.size();
    typeInto(d.LinesGrid, 3, 1, "0", false);
    d.reject();
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(ui.errors.size(), reported + 1);
    EXPECT_EQ(storedGrams(0), 275);
}

TEST_F(BookEditing, AnEditThatChangesNothingWritesNothing) {
    const std::string before = files();
    const TDateTime modified = book.recipe(code)->Modificata;
    // The name opened with Enter and left with Escape.
    d.RecipesGrid->setFocus();
    QTest::keyClick(d.RecipesGrid, Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(book.Recipes->State(), stateBrowse);
    // Grams typed, then dropped with Escape.
    typeInto(d.LinesGrid, 3, 1, "999", false);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(book.Lines->State(), stateBrowse);
    // The same grams typed again and confirmed.
    typeInto(d.LinesGrid, 3, 1, "200");
    // A command posts what is pending (loading is then declined).
    d.LoadButton->click();
    EXPECT_TRUE(files() == before);
    EXPECT_EQ(book.recipe(code)->Modificata, modified);
}

TEST_F(BookEditing, ARefusedValueIsReportedOnceWhenACommandIsClicked) {
    typeInto(d.LinesGrid, 3, 1, "0", false);
    QTest::mouseClick(d.LoadButton, Qt::LeftButton);
    QTest::qWait(20);
    EXPECT_EQ(ui.errors.size(), 1u);
    EXPECT_TRUE(d.LinesGrid->isAncestorOf(QApplication::focusWidget()));
}

} // namespace
} // namespace cibrano::testing
