// The food card's window: F4 on the main window opens it on the grid's current row, Enter
// writes the row, Escape leaves it as it was, a refused value keeps it open; on the bundled
// table its "non noto" boxes; the grid's context menu; from the recipe book, the card of a
// line's food.

#include "app/FoodCardDialog.h"
#include "app/BookDialog.h"
#include "app/alimenti.h"

#include "tests/windows/BookWindowSupport.h"

#include "grid/TitleDBCtrl.h"
#include "platform/qt/QtText.h"
#include "recipe/FoodCardMessages.h"

#include <gmock/gmock.h>

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>

namespace cibrano::testing {
namespace {

using ::testing::HasSubstr;

class FoodCardWindow : public WindowFixture {
protected:
    std::unique_ptr<TForm1> openWindow() {
        auto form = std::make_unique<TForm1>();
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return form;
    }

    // Presses F4 in the grid; `work` runs on the card once it shows.
    static void openCard(TForm1& f, const std::function<void(FoodCardDialog*)>& work) {
        f.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        f.TitleDBGrid1->setFocus();
        bool shown = false;
        whenModalShows([&](QWidget* modal) {
            shown = true;
            auto* card = qobject_cast<FoodCardDialog*>(modal);
            if (!card) {
                ADD_FAILURE() << "not the food card";
                modal->close();
                return;
            }
            EXPECT_TRUE(QTest::qWaitForWindowActive(card));
            work(card);
        });
        QTest::keyClick(f.TitleDBGrid1, Qt::Key_F4);
        EXPECT_TRUE(shown);
        EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() == nullptr; }));
    }

    static void retype(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        typeText(edit, text);
    }
};

TEST_F(FoodCardWindow, F4OpensTheCurrentRowsCardEnterWritesEscapeLeavesItAsItWas) {
    writeFoodTable();
    auto f = openWindow();
    RecipeCalculator& calc = *f->recipe();
    calc.Table1->moveNext();
    ASSERT_EQ(calc.Table1Nome->stringValue(), "Pasta di semola");
    f->TitleDBGrid1->setFocus();

    ASSERT_TRUE(ui.errors.empty()) << ui.errors[0].text;
    // Escape, after typing: nothing written.
    openCard(*f, [&](FoodCardDialog* card) {
        EXPECT_EQ(card->windowTitle(), "Scheda alimento");
        EXPECT_EQ(card->NameEdit->text(), "Pasta di semola");
        EXPECT_EQ(card->SourceEdit, nullptr);
        EXPECT_TRUE(card->UnknownBoxes.empty());
        ASSERT_NE(card->NoteLabel, nullptr);
        EXPECT_EQ(card->NoteLabel->text(), toQt(cardmsg::OnlyGridValues));
        saveScreenshot(card, "food-card-seven-fields");
        retype(card->findChild<QLineEdit*>("ValueEdit_Glucidi"), "81");
        QTest::keyClick(card, Qt::Key_Escape);
    });
    EXPECT_EQ(calc.Table1Glucidi->floatValue(), 80);
    EXPECT_FALSE(calc.Table1->hasUnsavedChanges());

    // A value refused keeps the card open with what was typed; corrected, Enter writes it.
    openCard(*f, [&](FoodCardDialog* card) {
        QLineEdit* carbs = card->findChild<QLineEdit*>("ValueEdit_Glucidi");
        retype(carbs, "8x");
        QTest::keyClick(carbs, Qt::Key_Return);
        EXPECT_TRUE(card->isVisible());
        ASSERT_EQ(ui.errors.size(), 1u);
        EXPECT_THAT(ui.errors[0].text, HasSubstr("non \xE8 un numero"));
        EXPECT_EQ(carbs->text(), "8x");
        EXPECT_EQ(card->focusWidget(), carbs);
        retype(carbs, "81.5");
        QTest::keyClick(carbs, Qt::Key_Return);
    });
    EXPECT_EQ(calc.Table1Nome->stringValue(), "Pasta di semola");
    EXPECT_EQ(calc.Table1Glucidi->floatValue(), 81.5);
    EXPECT_EQ(calc.Table1->changeCount(), 1);
}

TEST_F(FoodCardWindow, OnTheBundledTableNonNotoEmptiesTheBoxAndIsKept) {
    writeFileAtomically(tablePath(),
                        readWholeFile(CIBRANO_BINARY_DIR "/data/alimenti.d").value_or(""));
    auto f = openWindow();
    RecipeCalculator& calc = *f->recipe();
    ASSERT_NE(calc.Table1Mancanti, nullptr);
    f->TitleDBGrid1->setFocus();
    AnsiString field;
    openCard(*f, [&](FoodCardDialog* card) {
        ASSERT_NE(card->SourceEdit, nullptr);
        EXPECT_TRUE(card->SourceEdit->isReadOnly());
        EXPECT_FALSE(card->SourceEdit->text().isEmpty());
        EXPECT_EQ(card->NoteLabel, nullptr);
        ASSERT_EQ(card->UnknownBoxes.size(), card->ValueEdits.size());
        // The first value the food knows.
        size_t i = 0;
        while (i < card->UnknownBoxes.size() && card->UnknownBoxes[i]->isChecked())
            ++i;
        ASSERT_LT(i, card->UnknownBoxes.size());
        QCheckBox* box = card->UnknownBoxes[i];
        QLineEdit* value = card->ValueEdits[i];
        field = fromQt(value->objectName().section('_', 1)).value_or("");
        const QString before = value->text();
        EXPECT_FALSE(before.isEmpty());
        box->setChecked(true);
        EXPECT_TRUE(value->text().isEmpty());
        EXPECT_FALSE(value->isEnabled());
        saveScreenshot(card, "food-card");
        box->setChecked(false);
        EXPECT_EQ(value->text(), before);
        box->setChecked(true);
        QTest::keyClick(card->NameEdit, Qt::Key_Return);
    });
    ASSERT_FALSE(field.empty());
    EXPECT_EQ(calc.Table1->fieldByName(field)->floatValue(), 0);
    EXPECT_THAT(calc.Table1Mancanti->stringValue(), HasSubstr(field));
}

TEST_F(FoodCardWindow, TheGridsContextMenuOnARowOffersTheCardAndNoneOnTheTitles) {
    writeFoodTable();
    auto f = openWindow();
    TTitleDBGrid* grid = f->TitleDBGrid1;
    // The menu a context menu event at `at` pops up: its items' texts, the menu then closed.
    auto menuAt = [&](QPoint at) {
        QStringList items;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* a : menu->actions())
                    items << a->text() + " " + a->shortcut().toString();
                poll.stop();
                menu->close();
            }
        });
        poll.start();
        QTest::mouseClick(grid->viewport(), Qt::RightButton, Qt::NoModifier, at);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
        QApplication::sendEvent(grid->viewport(), &event);
        QTest::qWait(50);
        return items;
    };
    const QRect third = grid->cellRect(2, 3);
    EXPECT_EQ(menuAt(third.center()), QStringList{QString::fromUtf8("Scheda alimento\u2026 F4")});
    // The right button made the row under it current, the one the card opens on.
    EXPECT_EQ(f->recipe()->Table1Nome->stringValue(), "Mela");
    EXPECT_TRUE(menuAt(grid->cellRect(2, 0).center()).isEmpty());
}

class FoodCardFromTheBook : public BookWindowFixture {};

TEST_F(FoodCardFromTheBook, F4OnALineOpensItsFoodsCardOrSaysTheFoodIsGone) {
    typePasta();
    book.open();
    book.saveCurrentRecipe("Pasta al pomodoro", 2, false);
    BookDialog d(book, nullptr, &calc);
    d.show();
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    d.LinesGrid->setFocus();
    AnsiString nome;
    bool shown = false;
    whenModalShowsAbove(&d, [&](QWidget* modal) {
        shown = true;
        if (auto* card = qobject_cast<FoodCardDialog*>(modal))
            nome = fromQt(card->NameEdit->text()).value_or("");
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    QTest::keyClick(d.LinesGrid, Qt::Key_F4);
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown; }, 2000));
    EXPECT_EQ(nome, book.LinesNome->stringValue());

    // The food renamed in the food table: the line's food is no longer there.
    TZerovTable& food = *calc.Table1;
    for (food.moveFirst(); !food.atEnd(); food.moveNext())
        if (calc.Table1Nome->stringValue() == nome) {
            food.beginEdit();
            calc.Table1Nome->setStringValue("Altro");
            food.postRecord();
            break;
        }
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    d.LinesGrid->setFocus();
    QTest::keyClick(d.LinesGrid, Qt::Key_F4);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_THAT(ui.errors[0].text, HasSubstr("non c'\xE8 l'alimento \"" + nome));
    d.close();
}

} // namespace
} // namespace cibrano::testing
