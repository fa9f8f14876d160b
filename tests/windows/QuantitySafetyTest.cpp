// The main window keeps typed quantities safe: zeroing them asks first (a stray key answers
// "No"), and a quantity confirmed with Enter counts in the totals at once, without being posted.

#include "app/alimenti.h"

#include "tests/windows/WindowTestSupport.h"

#include "grid/TitleDBCtrl.h"
#include "platform/qt/QtUiServices.h"

#include <gmock/gmock.h>

#include <QMessageBox>
#include <QPushButton>

#include <memory>

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;

class QuantitySafety : public WindowFixture {
protected:
    QuantitySafety() {
        ui.answerQuestion = [this](const AnsiString& text) {
            questions.push_back(text);
            return answer;
        };
    }

    std::unique_ptr<TForm1> openWindow() {
        writeFoodTable();
        auto form = std::make_unique<TForm1>();
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return form;
    }

    // Clicks the Quantita cell of data row `row` (1 = first), types `text` and presses a key.
    static void typeQuantity(TForm1& f, int row, const QString& text, Qt::Key then) {
        TTitleDBGrid* grid = f.TitleDBGrid1;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          grid->cellRect(3, row).center());
        typeText(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), then);
    }

    static QStringList totals(const TForm1& f) {
        return {f.t1->text(), f.t2->text(), f.t3->text(), f.t4->text()};
    }

    std::vector<double> quantities(TForm1& f) {
        std::vector<double> values;
        TZerovTable& t = *f.recipe()->Table1;
        for (t.moveFirst(); !t.atEnd(); t.moveNext())
            values.push_back(f.recipe()->Table1Quantita->floatValue());
        return values;
    }

    std::vector<AnsiString> questions;
    bool answer = false;
};

TEST_F(QuantitySafety, ZeroingQuantitiesInUseAsksWithTheirNumberAndNoKeepsThem) {
    auto f = openWindow();
    // Nothing in use: zeroed at once, nothing asked.
    QTest::mouseClick(f->BitBtn5, Qt::LeftButton);
    EXPECT_TRUE(questions.empty());

    typeQuantity(*f, 1, "150", Qt::Key_Down);
    typeQuantity(*f, 3, "200", Qt::Key_Down);
    // The third is still being typed: it counts, as the zeroing would post it first.
    typeQuantity(*f, 5, "10", Qt::Key_Return);
    answer = false;
    QTest::mouseClick(f->BitBtn5, Qt::LeftButton);
    EXPECT_THAT(questions, ElementsAre("Azzerare le quantit\xE0 di 3 alimenti?"));
    EXPECT_THAT(quantities(*f), ElementsAre(150.0, 0.0, 200.0, 0.0, 10.0));

    answer = true;
    QTest::mouseClick(f->BitBtn5, Qt::LeftButton);
    EXPECT_THAT(quantities(*f), ElementsAre(0.0, 0.0, 0.0, 0.0, 0.0));
    EXPECT_EQ(totals(*f), (QStringList{"0.0", "0.0", "0.0", "0.0"}));

    typeQuantity(*f, 2, "80", Qt::Key_Down);
    QTest::mouseClick(f->BitBtn5, Qt::LeftButton);
    ASSERT_EQ(questions.size(), 3u);
    EXPECT_EQ(questions[2], "Azzerare la quantit\xE0 di 1 alimento?");
}

TEST_F(QuantitySafety, AStrayKeyOnTheZeroingQuestionAnswersNo) {
    auto f = openWindow();
    typeQuantity(*f, 2, "80", Qt::Key_Down);
    QtUiServices boxes; // the real box
    setUiServices(&boxes);
    QString text;
    bool noIsDefault = false;
    whenModalShows([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        text = box->text();
        noIsDefault = box->defaultButton() == box->button(QMessageBox::No);
        QTest::keyClick(modal, Qt::Key_Return);
    });
    // From the grid, Shift+Tab reaches the button and a space presses it.
    f->BitBtn5->setFocus();
    QTest::keyClick(f->BitBtn5, Qt::Key_Space);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !text.isEmpty(); }, 2000));
    EXPECT_EQ(text, QString::fromUtf8("Azzerare la quantità di 1 alimento?"));
    setUiServices(&ui);
    EXPECT_TRUE(noIsDefault);
    EXPECT_THAT(quantities(*f), ElementsAre(0.0, 80.0, 0.0, 0.0, 0.0));
}

TEST_F(QuantitySafety, EnterPutsTheQuantityIntoTheTotalsAndEscapeTakesItBack) {
    auto f = openWindow();
    typeQuantity(*f, 1, "150", Qt::Key_Return); // Pane comune: 60 / 8 / 1 / 275 per 100 g
    EXPECT_EQ(totals(*f), (QStringList{"90.0", "12.0", "1.5", "412.5"}));
    // Counted, not posted: the row is still being edited, the store holds the old value.
    EXPECT_EQ(f->recipe()->Table1->State(), stateEdit);
    EXPECT_EQ(f->recipe()->walkCloneTotals()->Kcalorie, 0.0);

    QTest::keyClick(f->TitleDBGrid1, Qt::Key_Escape);
    EXPECT_EQ(f->recipe()->Table1->State(), stateBrowse);
    EXPECT_EQ(totals(*f), (QStringList{"0.0", "0.0", "0.0", "0.0"}));

    // Enter, then leaving the row: the same totals, now from the posted row.
    typeQuantity(*f, 3, "200", Qt::Key_Return); // Mela: 14 / 0.3 / 0.2 / 52
    EXPECT_EQ(totals(*f), (QStringList{"28.0", "0.6", "0.4", "104.0"}));
    QTest::keyClick(f->TitleDBGrid1, Qt::Key_Up);
    EXPECT_EQ(totals(*f), (QStringList{"28.0", "0.6", "0.4", "104.0"}));
    EXPECT_EQ(f->recipe()->walkCloneTotals()->Kcalorie, 104.0);
}

TEST_F(QuantitySafety, ARefusedQuantityIsReportedOnceWhenACommandIsClicked) {
    auto f = openWindow();
    for (QPushButton* command : {f->BitBtn3, f->BitBtn4, f->BitBtn5, f->BitBtn6}) {
        const size_t before = ui.errors.size();
        const QRect cell = f->TitleDBGrid1->cellRect(3, 2);
        QTest::mouseClick(f->TitleDBGrid1->viewport(), Qt::LeftButton, Qt::NoModifier,
                          cell.center());
        typeText(QApplication::focusWidget(), "5-");
        QTest::mouseClick(command, Qt::LeftButton);
        QTest::qWait(20);
        EXPECT_EQ(ui.errors.size(), before + 1) << command->text().toStdString();
        f->recipe()->Table1->cancelRecord();
    }
}

} // namespace
} // namespace cibrano::testing
