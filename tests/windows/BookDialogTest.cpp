// The recipe book's windows: the "Ricettario" dialog (its grids, the summary, the commands and
// their questions, the Delete key, a read-only book) and the save dialog (focus, Tab, Enter,
// Escape, a name kept already), worked as a person would with the keyboard.

#include "app/BookDialog.h"
#include "app/SaveRecipeDialog.h"
#include "recipe/RecipeBook.h"

#include "tests/windows/BookWindowSupport.h"

#include "grid/CustomGrid.h"
#include "grid/TitleDBCtrl.h"

#include <gmock/gmock.h>

#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <filesystem>

namespace cibrano::testing {
namespace {

using ::testing::HasSubstr;

class BookWindows : public BookWindowFixture {
protected:
    BookWindows() {
        ui.answerQuestion = [this](const AnsiString& text) {
            questions.push_back(text);
            return answer;
        };
    }

    // Where a key typed into the window goes.
    static QWidget* focused(QWidget* window) {
        QWidget* w = QApplication::focusWidget();
        return w && w->window() == window ? w : window;
    }

    static QStringList values(const BookDialog& d, int row) {
        QStringList texts;
        for (QLabel* l : d.Values[row])
            texts << l->text();
        // The four values of the main window first.
        return texts.mid(0, 4);
    }

    std::vector<AnsiString> questions;
    bool answer = true;
};

TEST_F(BookWindows, ShowsTheRecipesTheirLinesAndTheirValues) {
    typePasta();
    book.open();
    book.saveCurrentRecipe("Pasta al pomodoro", 2, false);
    typeQuantity("Mela", 200);
    book.saveCurrentRecipe("Con la mela", 1, false);

    BookDialog d(book);
    d.show();
    EXPECT_EQ(d.windowTitle(), "Ricettario");
    EXPECT_EQ(d.size(), QSize(BookDialog::kClientWidth, BookDialog::kClientHeight));
    EXPECT_NE(d.minimumSize(), d.maximumSize()); // resizable
    EXPECT_TRUE(d.isModal());
    EXPECT_FALSE(d.ReadOnlyLabel->isVisible());
    EXPECT_EQ(d.SaveButton->text(), QString::fromUtf8("&Salva ricetta corrente\u2026"));
    EXPECT_EQ(d.LoadButton->text(), "&Carica nella tabella");
    EXPECT_EQ(d.DeleteButton->text(), "&Elimina");
    ASSERT_EQ(d.RecipesGrid->Columns().count(), 4);
    EXPECT_EQ(d.RecipesGrid->Columns()[0]->FieldName(), "Nome");
    EXPECT_EQ(d.RecipesGrid->Columns()[1]->FieldName(), "Porzioni");
    EXPECT_EQ(d.RecipesGrid->Columns()[2]->FieldName(), "PesoFinale");
    EXPECT_EQ(d.RecipesGrid->Columns()[3]->FieldName(), "Modificata");
    ASSERT_EQ(d.LinesGrid->Columns().count(), 12);
    for (size_t i = 0; i < kNutrientCount; ++i)
        EXPECT_EQ(d.LinesGrid->Columns()[3 + static_cast<int>(i)]->Title().Caption(),
                  kNutrients[kShownOrder[i]].heading);
    EXPECT_TRUE(d.RecipesGrid->TitleButtons());

    // The current recipe is the one saved last: apple 200 g on top of the pasta.
    EXPECT_EQ(book.recipe(*book.currentCode())->Nome, "Con la mela");
    EXPECT_EQ(book.Lines->recordCount(), 3);
    // 200 g pasta (353, 80, 1.5, 11), 100 g tomatoes (18, 3.5, 0.2, 1), 200 g apple
    // (52, 14, 0.2, 0.3): carbohydrates 160 + 3.5 + 28 = 191.5, proteins 22 + 1 + 0.6 = 23.6,
    // fats 3 + 0.2 + 0.4 = 3.6, energy 706 + 18 + 104 = 828; 500 g, one serving.
    EXPECT_EQ(values(d, 0), (QStringList{"191.5", "23.6", "3.6", "828.0"}));
    EXPECT_EQ(values(d, 1), (QStringList{"191.5", "23.6", "3.6", "828.0"}));
    EXPECT_EQ(values(d, 2), (QStringList{"38.3", "4.7", "0.7", "165.6"}));
    EXPECT_THAT(d.WeightLabel->text().toStdString(), HasSubstr("500.0 g"));

    // Moving to the other recipe shows its values.
    book.Recipes->moveFirst();
    EXPECT_EQ(book.Lines->recordCount(), 2);
    EXPECT_EQ(values(d, 1), (QStringList{"81.8", "11.5", "1.6", "362.0"}));

    // A title click sorts the recipes by name.
    d.RecipesGrid->OnTitleBtnClick(d.RecipesGrid, 0, book.RecipesNome);
    EXPECT_EQ(book.Recipes->IndexFieldNames(), "Nome");
    book.Recipes->moveFirst();
    EXPECT_EQ(book.RecipesNome->stringValue(), "Con la mela");

    QTest::qWait(20);
    for (int r = 0; r < 3; ++r)
        for (QLabel* l : d.Values[r])
            EXPECT_TRUE(textFits(l));
    EXPECT_TRUE(std::filesystem::exists(saveScreenshot(&d, "book-dialog")));
}

TEST_F(BookWindows, SavingGoesThroughTheNameDialogWithTheKeyboard) {
    typePasta();
    BookDialog d(book);
    bool nameFocused = false, selected = false, servingsFocused = false;
    whenModalShows([&](QWidget* bookWindow) {
        whenModalShowsAbove(bookWindow, [&](QWidget* ask) {
            auto* save = qobject_cast<SaveRecipeDialog*>(ask);
            if (!save) {
                ADD_FAILURE() << "not the save dialog";
                ask->close();
                return;
            }
            EXPECT_EQ(save->windowTitle(), "Salva ricetta");
            nameFocused = save->focusWidget() == save->NameEdit;
            selected = save->NameEdit->selectedText() == save->NameEdit->text();
            saveScreenshot(save, "save-recipe-dialog");
            typeText(save->NameEdit, QString::fromUtf8("  Pasta e pomodoro \u00E0 la carte "));
            QTest::keyClick(save->NameEdit, Qt::Key_Tab);
            servingsFocused = save->focusWidget() == save->ServingsEdit;
            save->ServingsEdit->selectAll();
            QTest::keyClicks(save->ServingsEdit, "4");
            QTest::keyClick(save->ServingsEdit, Qt::Key_Return);
        });
        bookWindow->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(bookWindow));
        QTest::keyClick(focused(bookWindow), Qt::Key_S, Qt::AltModifier);
        // The button's Alt key clicks it the way a mouse would, a moment later.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !book.recipes().empty(); }, 2000));
        QTest::keyClick(bookWindow, Qt::Key_Escape);
    });
    EXPECT_EQ(d.showModal(), QDialog::Rejected);
    EXPECT_TRUE(nameFocused);
    EXPECT_TRUE(selected);
    EXPECT_TRUE(servingsFocused);
    ASSERT_EQ(book.recipes().size(), 1u);
    EXPECT_EQ(book.recipes()[0].Nome, "Pasta e pomodoro \xE0 la carte");
    EXPECT_EQ(book.recipes()[0].Porzioni, 4);
    EXPECT_TRUE(std::filesystem::exists(dir.file("ricette.d")));
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(BookWindows, TheSaveDialogRefusesBadNamesAndAsksBeforeReplacing) {
    typePasta();
    book.open();
    const int code = book.saveCurrentRecipe("Pasta", 1, false);
    SaveRecipeDialog ask(book);
    ask.propose("Pasta", 1);
    whenModalShows([&](QWidget*) {
        ask.NameEdit->setText("   ");
        QTest::keyClick(ask.NameEdit, Qt::Key_Return); // refused: empty
        ask.NameEdit->setText(QString(51, 'x'));
        QTest::keyClick(ask.NameEdit, Qt::Key_Return); // refused: too long
        answer = false;
        ask.NameEdit->setText("PASTA");
        QTest::keyClick(ask.NameEdit, Qt::Key_Return); // not replaced: stays open
        EXPECT_TRUE(ask.isVisible());
        answer = true;
        ask.ServingsEdit->setText("3");
        QTest::keyClick(ask.NameEdit, Qt::Key_Return);
    });
    ASSERT_EQ(ask.exec(), QDialog::Accepted);
    ASSERT_EQ(ui.errors.size(), 2u);
    EXPECT_THAT(ui.errors[0].text, HasSubstr("vuoto"));
    EXPECT_THAT(ui.errors[1].text, HasSubstr("50 caratteri"));
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_THAT(questions[0], HasSubstr("Esiste gi\xE0 una ricetta di nome \"Pasta\""));
    EXPECT_EQ(ask.recipeName(), "PASTA");
    EXPECT_EQ(ask.servings(), 3);
    EXPECT_TRUE(ask.replacesExisting());
    // Typed characters Windows-1252 cannot hold are refused.
    typeText(ask.NameEdit, QString::fromUtf8("\u4E2D"));
    EXPECT_EQ(ask.NameEdit->text(), "PASTA");

    // Escape cancels.
    whenModalShows([&](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(ask.exec(), QDialog::Rejected);
    EXPECT_EQ(book.recipe(code)->Porzioni, 1);
}

TEST_F(BookWindows, TheSaveDialogRefusesServingsAsTypedAndProposesAKeptRecipes) {
    typePasta();
    book.open();
    book.saveCurrentRecipe("Pasta", 4, false);
    book.saveCurrentRecipe("Torta", 8, false);
    SaveRecipeDialog ask(book);
    ask.propose("Pasta", 4);
    EXPECT_EQ(ask.ServingsEdit->text(), "4");
    whenModalShows([&](QWidget*) {
        for (const char* typed : {"0", "1000", "12.5", "-3", "tre"}) {
            ask.ServingsEdit->setText(typed);
            QTest::keyClick(ask.NameEdit, Qt::Key_Return);
            EXPECT_EQ(ask.ServingsEdit->text(), typed);
        }
        EXPECT_TRUE(ask.isVisible());
        // Until servings are typed they follow the name: a kept recipe's own.
        ask.propose("Pasta", 4);
        ask.NameEdit->clear();
        QTest::keyClicks(ask.NameEdit, "torta");
        EXPECT_EQ(ask.ServingsEdit->text(), "8");
        QTest::keyClicks(ask.NameEdit, " nuova");
        EXPECT_EQ(ask.ServingsEdit->text(), "4");
        QTest::keyClick(&ask, Qt::Key_Escape);
    });
    EXPECT_EQ(ask.exec(), QDialog::Rejected);
    ASSERT_EQ(ui.errors.size(), 5u);
    for (const auto& e : ui.errors)
        EXPECT_THAT(e.text, HasSubstr("da 1 a 999"));
}

TEST_F(BookWindows, TheSaveDialogRefusesAFinalWeightOutOfRangeAndAsksWhenItIsFar) {
    typePasta(); // 300 g of ingredients
    book.open();
    SaveRecipeDialog ask(book);
    ask.propose("Pasta", 4);
    whenModalShows([&](QWidget*) {
        QTest::keyClick(ask.NameEdit, Qt::Key_Tab);
        QTest::keyClick(ask.ServingsEdit, Qt::Key_Tab);
        EXPECT_EQ(ask.focusWidget(), ask.FinalWeightEdit);
        for (const char* typed : {"0", "-5", "tanto", "2000000"}) {
            ask.FinalWeightEdit->setText(typed);
            QTest::keyClick(ask.NameEdit, Qt::Key_Return);
            EXPECT_EQ(ask.FinalWeightEdit->text(), typed);
        }
        // Below a tenth of the ingredients: asked, and No keeps the dialog open.
        answer = false;
        ask.FinalWeightEdit->setText("20");
        QTest::keyClick(ask.NameEdit, Qt::Key_Return);
        EXPECT_TRUE(ask.isVisible());
        EXPECT_EQ(ask.focusWidget(), ask.FinalWeightEdit);
        ask.FinalWeightEdit->setText("350");
        QTest::keyClick(ask.FinalWeightEdit, Qt::Key_Return);
    });
    EXPECT_EQ(ask.exec(), QDialog::Accepted);
    ASSERT_EQ(ui.errors.size(), 4u);
    for (const auto& e : ui.errors)
        EXPECT_THAT(e.text, HasSubstr("peso finale"));
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_THAT(questions[0], HasSubstr("20.0 g"));
    EXPECT_EQ(ask.finalWeight(), 350);
    EXPECT_TRUE(book.recipes().empty());
}

TEST_F(BookWindows, LoadingAsksBeforeReplacingQuantitiesAndReportsMissingFoods) {
    typePasta();
    book.open();
    book.saveCurrentRecipe("Pasta", 2, false);
    // The tomatoes leave the food table; an apple is in use.
    TZerovTable& t = *calc.Table1;
    for (t.moveFirst(); !t.atEnd(); t.moveNext())
        if (calc.Table1Nome->stringValue() == "Pomodori") {
            t.deleteRecord();
            break;
        }
    calc.ZeroAllQuantities();
    typeQuantity("Mela", 10);

    BookDialog d(book);
    answer = false;
    whenModalShows([&](QWidget* w) {
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w));
        QTest::keyClick(focused(w), Qt::Key_C, Qt::AltModifier); // No: nothing changes
        EXPECT_TRUE(QTest::qWaitFor([&] { return !questions.empty(); }, 2000));
        EXPECT_TRUE(w->isVisible());
        answer = true;
        d.RecipesGrid->OnDblClick(d.RecipesGrid); // a double click loads
    });
    EXPECT_EQ(d.showModal(), QDialog::Accepted);
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_THAT(questions[0], HasSubstr("Sostituirle con la ricetta \"Pasta\""));
    ASSERT_EQ(ui.warnings.size(), 1u);
    EXPECT_THAT(ui.warnings[0].text, HasSubstr("Pomodori (Verdure)"));
    EXPECT_EQ(calc.Table1->recordCount(), 4);
    calc.SaveOnClose();
    EXPECT_EQ(storedQuantities(), (std::vector<double>{0, 200, 0, 0}));
}

TEST_F(BookWindows, TheDeleteKeyRemovesARecipeAfterAQuestion) {
    typePasta();
    book.open();
    book.saveCurrentRecipe("Pasta", 2, false);
    BookDialog d(book);
    whenModalShows([&](QWidget*) {
        d.RecipesGrid->setFocus();
        answer = false;
        QTest::keyClick(d.RecipesGrid, Qt::Key_Delete);
        EXPECT_EQ(book.recipes().size(), 1u);
        answer = true;
        QTest::keyClick(d.RecipesGrid, Qt::Key_Delete);
        EXPECT_FALSE(d.DeleteButton->isEnabled());
        EXPECT_FALSE(d.LoadButton->isEnabled());
        EXPECT_EQ(d.Values[0][0]->text(), "-");
        // Escape in a grid with nothing being typed closes the window.
        QTest::keyClick(d.RecipesGrid, Qt::Key_Escape);
    });
    EXPECT_EQ(d.showModal(), QDialog::Rejected);
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_TRUE(book.recipes().empty());
}

TEST_F(BookWindows, NameAndServingsAreEditedInTheGrid) {
    typePasta();
    book.open();
    const int code = book.saveCurrentRecipe("Pasta", 2, false);
    BookDialog d(book);
    d.show();
    QTest::qWait(10);
    // The servings cell of the first row: typing replaces the value, Enter writes it.
    const QRect cell = d.RecipesGrid->cellRect(2, 1);
    QTest::mouseClick(d.RecipesGrid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "0");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    // A command posts the edit first: the book refuses the value.
    d.LoadButton->click();
    ASSERT_FALSE(ui.errors.empty());
    EXPECT_THAT(ui.errors.back().text, HasSubstr("da 1 a 999"));
    book.Recipes->cancelRecord();
    EXPECT_EQ(book.recipe(code)->Porzioni, 2);
}

TEST_F(BookWindows, AReadOnlyBookSaysWhyAndOffersOnlyLoading) {
    writeFileAtomically(dir.file("ricette.d"), "danneggiato");
    BookDialog d(book);
    d.show();
    EXPECT_TRUE(d.ReadOnlyLabel->isVisible());
    EXPECT_THAT(d.ReadOnlyLabel->text().toStdString(), HasSubstr("ricette.d"));
    EXPECT_FALSE(d.SaveButton->isEnabled());
    EXPECT_FALSE(d.DeleteButton->isEnabled());
    EXPECT_TRUE(d.RecipesGrid->ReadOnly());
    QTest::qWait(20);
    saveScreenshot(&d, "book-dialog-read-only");
    EXPECT_EQ(readWholeFile(dir.file("ricette.d")).value_or(""), "danneggiato");
}

} // namespace
} // namespace cibrano::testing
