// The recipe book's sheet commands in its window: the chart beside the totals following the
// selection, the buttons with their accelerators enabled as they apply, a PDF and a CSV of the
// selected recipe, and the menu of the current quantities' sheet.

#include "app/BookDialog.h"
#include "app/EnergyChart.h"
#include "app/SheetActions.h"
#include "recipe/RecipeBook.h"

#include "tests/windows/BookWindowSupport.h"

#include <gmock/gmock.h>

#include <QMenu>
#include <QPushButton>

#include <filesystem>

namespace cibrano::testing {
namespace {

using ::testing::HasSubstr;

class BookDialogSheet : public BookWindowFixture {
protected:
    ~BookDialogSheet() override { setSheetDialogsForTesting({}); }

    // The save dialog answers `path`; what it proposed goes to `proposed`.
    void answerSave(const std::string& path) {
        SheetDialogs d;
        d.saveFileName = [this, path](QWidget*, const QString&, const QString& p, const QString&) {
            proposed = p;
            return QString::fromStdString(path);
        };
        setSheetDialogsForTesting(d);
    }

    QString proposed;
};

TEST_F(BookDialogSheet, TheChartFollowsTheSelectionAndTheSheetGoesOut) {
    typePasta();
    book.open();
    const int pasta = book.saveCurrentRecipe("Pasta/pomodoro", 2, false);
    typeQuantity("Mela", 200);
    const int mela = book.saveCurrentRecipe("Con la mela", 1, false);

    BookDialog d(book, nullptr, &calc);
    d.show();
    QTest::qWait(20);
    EXPECT_EQ(d.PrintButton->text(), QString::fromUtf8("S&tampa\u2026"));
    EXPECT_EQ(d.PdfButton->text(), QString::fromUtf8("Esporta &PDF\u2026"));
    EXPECT_EQ(d.CsvButton->text(), QString::fromUtf8("Esporta CS&V\u2026"));
    EXPECT_EQ(d.CurrentSheetButton->text(),
              QString::fromUtf8("Scheda della ricetta c&orrente\u2026"));
    for (QPushButton* b : {d.PrintButton, d.PdfButton, d.CsvButton, d.CurrentSheetButton}) {
        EXPECT_TRUE(b->isEnabled());
        EXPECT_TRUE(b->isVisible());
        // The whole caption shows.
        EXPECT_GE(b->width(), QFontMetrics(b->font()).horizontalAdvance(b->text().remove('&')));
    }
    EXPECT_TRUE(d.EnergyChart->isVisible());
    EXPECT_GE(d.EnergyChart->height(), d.EnergyChart->minimumSizeHint().height());

    // The chart shows the selected recipe's split, and follows the selection.
    auto expectChartOf = [&](int code) {
        const EnergySplit expected = energySplit(book.valuesOf(code).totals);
        ASSERT_TRUE(d.EnergyChart->hasTotals());
        EXPECT_DOUBLE_EQ(d.EnergyChart->split().carbsShare, expected.carbsShare);
        EXPECT_DOUBLE_EQ(d.EnergyChart->split().fatsShare, expected.fatsShare);
    };
    expectChartOf(mela);
    book.Recipes->moveFirst();
    ASSERT_EQ(*book.currentCode(), pasta);
    expectChartOf(pasta);
    saveScreenshot(&d, "book-dialog-sheet");

    // The selected recipe as PDF, its name made safe for the proposed file.
    answerSave(dir.file("pasta"));
    QTest::mouseClick(d.PdfButton, Qt::LeftButton);
    EXPECT_TRUE(proposed.endsWith("/Pasta_pomodoro.pdf")) << proposed.toStdString();
    EXPECT_EQ(readWholeFile(dir.file("pasta.pdf")).value_or("").substr(0, 5), "%PDF-");
    // And as CSV.
    answerSave(dir.file("pasta.csv"));
    d.CsvButtonClick();
    EXPECT_THAT(readWholeFile(dir.file("pasta.csv")).value_or(""),
                HasSubstr("Totale ricetta,Pasta/pomodoro,300,"));

    // The current quantities through the button's menu: Mela 200 g is still in the food table,
    // with pasta and tomatoes.
    ASSERT_NE(d.CurrentSheetButton->menu(), nullptr);
    answerSave(dir.file("corrente.csv"));
    d.CurrentSheetButton->menu()->actions()[2]->trigger();
    EXPECT_THAT(readWholeFile(dir.file("corrente.csv")).value_or(""),
                HasSubstr("Frutta,Mela,200,"));
    EXPECT_TRUE(ui.errors.empty());

    // From the keyboard: Alt+V exports the selected recipe as CSV.
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    answerSave(dir.file("tastiera.csv"));
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &d;
    QTest::keyClick(focus, Qt::Key_V, Qt::AltModifier);
    // The button's Alt key clicks it the way a mouse would, a moment later.
    EXPECT_TRUE(QTest::qWaitFor([&] { return fileExists(dir.file("tastiera.csv")); }, 2000));
    EXPECT_THAT(readWholeFile(dir.file("tastiera.csv")).value_or(""),
                HasSubstr("Totale ricetta,Pasta/pomodoro,300,"));
}

TEST_F(BookDialogSheet, WithoutARecipeOrAFoodTableTheCommandsStandAside) {
    BookDialog d(book);
    d.show();
    EXPECT_FALSE(d.PrintButton->isEnabled());
    EXPECT_FALSE(d.PdfButton->isEnabled());
    EXPECT_FALSE(d.CsvButton->isEnabled());
    EXPECT_FALSE(d.CurrentSheetButton->isEnabled());
    EXPECT_FALSE(d.EnergyChart->hasTotals());
    QTest::qWait(20);
    saveScreenshot(d.EnergyChart, "book-dialog-chart-empty");
}

} // namespace
} // namespace cibrano::testing
