// The nutrition label's window, offscreen: opened from the book by its button (Alt+N, the
// only N of the book's window), the final weight and servings written through the book or
// refused with nothing lost, the text copied, the label exported in its three forms.

#include "app/LabelDialog.h"
#include "app/BookDialog.h"
#include "app/SheetActions.h"
#include "recipe/RecipeBook.h"
#include "sheet/LabelFiles.h"

#include "tests/windows/BookWindowSupport.h"

#include <gmock/gmock.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace cibrano::testing {
namespace {

using ::testing::HasSubstr;

class LabelWindow : public BookWindowFixture {
protected:
    LabelWindow() {
        typePasta();
        book.open();
        code = book.saveCurrentRecipe("Pasta/pomodoro", 2, false);
    }
    ~LabelWindow() override { setSheetDialogsForTesting({}); }

    void answerSave(const std::string& path) {
        SheetDialogs d;
        d.saveFileName = [this, path](QWidget*, const QString&, const QString& p, const QString&) {
            proposed = p;
            return QString::fromStdString(path);
        };
        setSheetDialogsForTesting(d);
    }

    int code = 0;
    QString proposed;
};

TEST_F(LabelWindow, TheBookOpensItWithAltN) {
    BookDialog d(book, nullptr, &calc);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    EXPECT_EQ(d.LabelButton->text(), QString::fromUtf8("Etichetta &nutrizionale\u2026"));
    EXPECT_TRUE(d.LabelButton->isEnabled());
    int withN = 0;
    for (const QAbstractButton* b : d.findChildren<QAbstractButton*>())
        withN += b->text().contains("&n", Qt::CaseInsensitive);
    for (const QLabel* l : d.findChildren<QLabel*>())
        withN += l->text().contains("&n", Qt::CaseInsensitive);
    EXPECT_EQ(withN, 1);

    // The book is modal itself: the label's window is looked for by its class.
    bool shown = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* label = qobject_cast<LabelDialog*>(w); label && label->isVisible()) {
                shown = true;
                EXPECT_TRUE(label->declaration().has_value());
                QTest::keyClick(label, Qt::Key_Escape);
            }
    });
    poll.start();
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &d;
    QTest::keyClick(focus, Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown; }, 3000));
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(LabelWindow, WeightAndServingsAreWrittenThroughTheBookOrRefusedKeepingTheText) {
    LabelDialog l(book, code);
    l.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&l));
    ASSERT_TRUE(l.declaration().has_value());
    // The sample food table has no kJ, sugars, saturates or salt: incomplete, and said.
    EXPECT_FALSE(l.declaration()->complete);
    EXPECT_TRUE(l.MessagesLabel->isVisible());
    EXPECT_THAT(l.MessagesLabel->text().toStdString(), HasSubstr("Dichiarazione incompleta"));
    EXPECT_EQ(l.declaration()->perPortionHeading, "per porzione (150 g)");
    saveScreenshot(&l, "etichetta-finestra");

    l.ServingsEdit->setText("3");
    QTest::keyClick(l.ServingsEdit, Qt::Key_Return);
    EXPECT_EQ(book.recipe(code)->Porzioni, 3);
    EXPECT_EQ(l.declaration()->perPortionHeading, "per porzione (100 g)");
    EXPECT_TRUE(l.isVisible());

    l.FinalWeightEdit->setText("0");
    QTest::keyClick(l.FinalWeightEdit, Qt::Key_Return);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_THAT(ui.errors[0].text, HasSubstr("Il peso finale"));
    EXPECT_EQ(l.FinalWeightEdit->text(), "0");
    EXPECT_EQ(book.recipe(code)->PesoFinale, 0);
    // Closing writes what is typed first: refused again, the window stays.
    l.reject();
    EXPECT_TRUE(l.isVisible());
    EXPECT_EQ(ui.errors.size(), 2u);

    l.FinalWeightEdit->setText("240");
    QTest::keyClick(&l, Qt::Key_Escape);
    EXPECT_FALSE(l.isVisible());
    EXPECT_EQ(book.recipe(code)->PesoFinale, 240);
}

TEST_F(LabelWindow, CopiesTheTextAndExportsTheLabel) {
    LabelDialog l(book, code);
    l.show();
    l.CopyButtonClick();
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith("Dichiarazione nutrizionale (incompleta)\n\tper 100 g\t"))
        << copied.toStdString();
    EXPECT_TRUE(copied.contains("\nValori nutrizionali medi per 100 g: energia n.d./"));

    answerSave(dir.file("pasta"));
    QTest::mouseClick(l.PdfButton, Qt::LeftButton);
    EXPECT_TRUE(proposed.endsWith("/Pasta_pomodoro - etichetta.pdf")) << proposed.toStdString();
    EXPECT_EQ(readWholeFile(dir.file("pasta.pdf")).value_or("").substr(0, 5), "%PDF-");

    answerSave(dir.file("pasta.svg"));
    l.SvgButtonClick();
    EXPECT_TRUE(proposed.endsWith("/Pasta_pomodoro - etichetta.svg"));
    EXPECT_THAT(readWholeFile(dir.file("pasta.svg")).value_or(""), HasSubstr("width=\"70mm\""));

    l.WidthEdit->setValue(100);
    answerSave(dir.file("pasta.png"));
    l.PngButtonClick();
    QImage png(QString::fromStdString(dir.file("pasta.png")));
    EXPECT_EQ(png.width(), labelPixels(100));

    // A file that cannot be written is named, and nothing is left.
    answerSave(dir.file("manca/pasta.png"));
    l.PngButtonClick();
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_THAT(ui.errors[0].text, HasSubstr(dir.file("manca/pasta.png")));
    // Cancelled: nothing.
    answerSave("");
    l.SvgButtonClick();
    EXPECT_EQ(ui.errors.size(), 1u);
}

} // namespace
} // namespace cibrano::testing
