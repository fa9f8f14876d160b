// The main window: its layout as designed and when resized, the tab order, the totals that
// follow typed quantities, the search box, the commands, the information dialog, and start-up
// and closing with their errors; bad input typed, pasted or found on disk.

#include "app/alimenti.h"

#include "tests/windows/WindowTestSupport.h"

#include "app/FindLineEdit.h"
#include "app/InfoDialog.h"
#include "grid/InplaceEdit.h"
#include "grid/TitleDBCtrl.h"
#include "platform/qt/Panel.h"

#include <gmock/gmock.h>

#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <fstream>
#include <memory>

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;

class MainWindow : public WindowFixture {
protected:
    // The questions the window asks are answered "Sì" without a box.
    MainWindow() {
        ui.answerQuestion = [](const AnsiString&) { return true; };
    }

    // The window on the sample foods, shown and active.
    std::unique_ptr<TForm1> openWindow() {
        auto form = std::make_unique<TForm1>();
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return form;
    }

    static QStringList totals(const TForm1& f) {
        return {f.t1->text(), f.t2->text(), f.t3->text(), f.t4->text()};
    }

    // The grid's column of a field (past the indicator column).
    static int gridColumn(const char* fieldName) {
        const char* order[] = {"Gruppo", "Nome",     "Quantita", "Glucidi",
                               "Lipidi", "Proteine", "Kcalorie"};
        for (int i = 0; i < 7; ++i)
            if (std::string(order[i]) == fieldName)
                return i + 1;
        return -1;
    }

    // Clicks the Quantita cell of the grid's data row `row` (1 = first) and types `text`.
    static void typeQuantity(TForm1& f, int row, const QString& text) {
        TTitleDBGrid* grid = f.TitleDBGrid1;
        const QRect cell = grid->cellRect(gridColumn("Quantita"), row);
        ASSERT_FALSE(cell.isEmpty());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        typeText(target, text);
    }

    static void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key, modifiers);
    }

    static int visibleRows(TForm1& f) { return f.recipe()->Table1->recordCount(); }
};

TEST_F(MainWindow, LaysOutTheGridTheSearchBarAndTheTotals) {
    writeFoodTable();
    TForm1 f;
    EXPECT_EQ(f.windowTitle(), "Cibrano");
    EXPECT_EQ(f.size(), QSize(747, 449));
    EXPECT_EQ(f.font().pixelSize(), 11);
    EXPECT_EQ(f.TitleDBGrid1->geometry(), QRect(0, 0, 747, 331));
    EXPECT_EQ(f.TitleDBGrid1->toolTip(),
              "Cliccando sulle intestazioni di colonna si cambia l'ordinamento delle righe");
    EXPECT_EQ(f.Panel2->geometry(), QRect(0, 331, 747, 29));
    EXPECT_EQ(f.Panel1->geometry(), QRect(0, 360, 747, 89));

    EXPECT_EQ(f.Label11->text(), "Ricerca / filtra per colonna ");
    EXPECT_EQ(f.Label11->geometry(), QRect(8, 8, 129, 13));
    EXPECT_EQ(f.ComboBox1->geometry(), QRect(144, 4, 125, 21));
    EXPECT_TRUE(f.ComboBox1->isEditable());
    ASSERT_EQ(f.ComboBox1->count(), 2);
    EXPECT_EQ(f.ComboBox1->itemText(0), "Gruppo");
    EXPECT_EQ(f.ComboBox1->itemText(1), "Nome");
    EXPECT_EQ(f.ComboBox1->currentText(), "Nome");
    EXPECT_EQ(f.ComboBox1->currentIndex(), -1);
    EXPECT_EQ(f.Label12->text(), "che contiene");
    EXPECT_EQ(f.Label12->geometry(), QRect(276, 8, 62, 13));
    EXPECT_EQ(f.ZerovFindEdit1->geometry(), QRect(348, 4, 121, 21));
    TZerovFindEdit* finder = f.recipe()->ZerovFindEdit1;
    EXPECT_EQ(f.ZerovFindEdit1->findEdit(), finder);
    EXPECT_EQ(finder->FindStyle(), vfsFilter);
    EXPECT_EQ(finder->FindMode(), vfmAnyPos);
    EXPECT_EQ(finder->DataField(), "Nome");
    EXPECT_EQ(f.BitBtn2->text(), "&Informazioni");
    EXPECT_EQ(f.BitBtn2->geometry(), QRect(636, 4, 107, 21));
    EXPECT_FALSE(f.BitBtn2->icon().pixmap(16, 16, QIcon::Disabled).isNull());
    // The recipe book's button, in the free room left of "Informazioni", on its row.
    EXPECT_EQ(f.BitBtn6->text(), QString::fromUtf8("&Ricette\u2026"));
    EXPECT_EQ(f.BitBtn6->geometry(), QRect(525, 4, 107, 21));
    EXPECT_LE(f.ZerovFindEdit1->geometry().right(), f.BitBtn6->geometry().left());
    EXPECT_LT(f.BitBtn6->geometry().right(), f.BitBtn2->geometry().left());

    const QPushButton* buttons[] = {f.BitBtn3, f.BitBtn4, f.BitBtn5};
    const char* captions[] = {"Mostra solo righe con quantit\u00E0 <> 0",
                              "Mostra tutte le righe del database",
                              "Azzera tutte le quantit\u00E0"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(buttons[i]->text(), QString::fromUtf8(captions[i]));
        EXPECT_EQ(buttons[i]->geometry(), QRect(4, 4 + 28 * i, 261, 25));
    }
    const QLabel* headings[] = {f.Label2, f.Label4, f.Label3, f.Label1};
    const QLabel* values[] = {f.t1, f.t2, f.t3, f.t4};
    const char* names[] = {"Glucidi", "Proteine", "Lipidi", "Kcalorie"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(headings[i]->text(), names[i]);
        EXPECT_EQ(headings[i]->geometry(), QRect(328 + 108 * i, 20, 80, 20));
        EXPECT_EQ(values[i]->geometry(), QRect(328 + 108 * i, 40, 80, 20));
        EXPECT_EQ(values[i]->font().pixelSize(), 16);
        EXPECT_TRUE(values[i]->font().bold());
        EXPECT_TRUE(values[i]->alignment() & Qt::AlignRight);
    }
    for (const QLabel* l : {f.Label11, f.Label12, f.Label2, f.Label4, f.Label3, f.Label1})
        EXPECT_TRUE(textFits(l));
}

TEST_F(MainWindow, TheGridShowsTheConfiguredColumns) {
    writeFoodTable();
    TForm1 f;
    TTitleDBGrid* grid = f.TitleDBGrid1;
    EXPECT_EQ(grid->DataSource(), f.recipe()->DataSource1);
    ASSERT_EQ(grid->Columns().count(), 7);
    const std::pair<const char*, int> expected[] = {
        {"Gruppo", 113}, {"Nome", 276},    {"Quantita", 77}, {"Glucidi", 60},
        {"Lipidi", 60},  {"Proteine", 60}, {"Kcalorie", 60}};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(grid->Columns()[i]->FieldName(), expected[i].first);
        EXPECT_EQ(grid->Columns()[i]->Width(), expected[i].second);
        EXPECT_NE(grid->Columns()[i]->Field(), nullptr) << expected[i].first;
    }
    EXPECT_EQ(grid->Options(), (TDBGridOptions{dgEditing, dgTitles, dgIndicator, dgColumnResize,
                                               dgColLines, dgRowLines, dgCancelOnExit}));
    EXPECT_TRUE(grid->TitleButtons());
    EXPECT_EQ(grid->TitleFont().pixelSize(), 11);
}

TEST_F(MainWindow, ResizingKeepsThePanelsAlongTheBottomAndGivesTheRestToTheGrid) {
    writeFoodTable();
    TForm1 f;
    f.show();
    for (QSize size : {QSize(1000, 700), QSize(500, 300), QSize(747, 449)}) {
        f.resize(size);
        QTest::qWait(1);
        const int w = f.width(), h = f.height();
        EXPECT_EQ(f.Panel1->geometry(), QRect(0, h - 89, w, 89));
        EXPECT_EQ(f.Panel2->geometry(), QRect(0, h - 118, w, 29));
        EXPECT_EQ(f.TitleDBGrid1->geometry(), QRect(0, 0, w, h - 118));
        // The controls inside keep their places from the panels' top left corners.
        EXPECT_EQ(f.BitBtn2->pos(), QPoint(636, 4));
        EXPECT_EQ(f.t4->pos(), QPoint(652, 40));
    }
}

TEST_F(MainWindow, TabGoesFromTheGridThroughTheSearchBarToTheCommands) {
    writeFoodTable();
    auto f = openWindow();
    EXPECT_TRUE(f->TitleDBGrid1->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == f->TitleDBGrid1);
    QWidget* expected[] = {f->ComboBox1, f->ZerovFindEdit1, f->BitBtn2, f->BitBtn6,
                           f->BitBtn3,   f->BitBtn4,        f->BitBtn5, f->TitleDBGrid1};
    for (QWidget* next : expected) {
        pressKey(Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        EXPECT_TRUE(focus == next || next->isAncestorOf(focus))
            << "expected " << next->objectName().toStdString() << ", got "
            << (focus ? focus->metaObject()->className() : "nothing");
    }
}

TEST_F(MainWindow, TypedQuantitiesUpdateTheTotalsWhenTheRowIsLeft) {
    writeFoodTable();
    auto f = openWindow();
    EXPECT_EQ(totals(*f), (QStringList{"0.0", "0.0", "0.0", "0.0"}));

    typeQuantity(*f, 1, "150"); // Pane comune: 60 / 8 / 1 / 275 per 100 g
    pressKey(Qt::Key_Down);
    EXPECT_EQ(totals(*f), (QStringList{"90.0", "12.0", "1.5", "412.5"}));

    typeQuantity(*f, 3, "200"); // Mela: 14 / 0.3 / 0.2 / 52
    pressKey(Qt::Key_Up);
    EXPECT_EQ(totals(*f), (QStringList{"118.0", "12.6", "1.9", "516.5"}));
    saveScreenshot(f.get(), "main-window");

    // The totals panel's commands.
    QTest::mouseClick(f->BitBtn3, Qt::LeftButton);
    EXPECT_EQ(visibleRows(*f), 2);
    QTest::mouseClick(f->BitBtn4, Qt::LeftButton);
    EXPECT_EQ(visibleRows(*f), 5);
    QTest::mouseClick(f->BitBtn5, Qt::LeftButton);
    EXPECT_EQ(totals(*f), (QStringList{"0.0", "0.0", "0.0", "0.0"}));
}

TEST_F(MainWindow, ATitleClickSortsTheFoodTableByThatColumn) {
    writeFoodTable();
    auto f = openWindow();
    TTitleDBGrid* grid = f->TitleDBGrid1;
    const QRect title = grid->cellRect(gridColumn("Kcalorie"), 0);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, title.center());
    EXPECT_EQ(f->recipe()->Table1->IndexFieldNames(), "Kcalorie");
    f->recipe()->Table1->moveFirst();
    EXPECT_EQ(f->recipe()->Table1Nome->stringValue(), "Pomodori");
}

TEST_F(MainWindow, TheSearchBoxNarrowsTheGridAHundredMillisecondsAfterTyping) {
    writeFoodTable();
    auto f = openWindow();
    f->ZerovFindEdit1->setFocus();
    typeText(f->ZerovFindEdit1, "PA");
    EXPECT_EQ(f->recipe()->ZerovFindEdit1->Text(), "PA");
    EXPECT_EQ(visibleRows(*f), 5); // not before the wait
    EXPECT_TRUE(f->recipe()->ZerovFindEdit1->searchPending());
    EXPECT_TRUE(QTest::qWaitFor([&] { return visibleRows(*f) == 2; }, 1000)); // Pane, Pasta

    // The combo box chooses the column searched next.
    f->ComboBox1->setFocus();
    f->ComboBox1->setCurrentIndex(0);
    EXPECT_EQ(f->recipe()->ZerovFindEdit1->DataField(), "Gruppo");
    QTest::keyClick(f->ComboBox1->lineEdit(), Qt::Key_X);
    EXPECT_EQ(f->recipe()->ZerovFindEdit1->DataField(), "Gruppo"); // typing chooses nothing
    f->ZerovFindEdit1->setText("frut");
    EXPECT_TRUE(QTest::qWaitFor([&] { return visibleRows(*f) == 1; }, 1000));

    f->ZerovFindEdit1->clear();
    EXPECT_TRUE(QTest::qWaitFor([&] { return visibleRows(*f) == 5; }, 1000));
}

TEST_F(MainWindow, TheSearchBoxRefusesCharactersTheTableCannotHold) {
    writeFoodTable();
    auto f = openWindow();
    f->ZerovFindEdit1->setFocus();
    typeText(f->ZerovFindEdit1, QString::fromUtf8("p\u0101\u00E8"));
    EXPECT_EQ(f->ZerovFindEdit1->text(), QString::fromUtf8("p\u00E8"));
    EXPECT_EQ(f->recipe()->ZerovFindEdit1->Text(), "p\xE8");
}

TEST_F(MainWindow, AltIOpensTheInformationDialogAndEnterClosesIt) {
    writeFoodTable();
    auto f = openWindow();
    TfrmInfo info(f.get());
    f->setInfoDialog(&info);
    bool shown = false;
    whenModalShows([&](QWidget* modal) {
        shown = modal == &info;
        QTest::keyClick(modal, Qt::Key_Return);
    });
    pressKey(Qt::Key_I, Qt::AltModifier);
    // The button's Alt key clicks it the way a mouse would, a moment later.
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown; }, 2000));
    EXPECT_FALSE(info.isVisible());
    EXPECT_TRUE(f->isEnabled());
}

TEST_F(MainWindow, AltROpensTheRecipeBookCentredAndEscapeClosesIt) {
    writeFoodTable();
    auto f = openWindow();
    bool opened = false;
    QString title;
    QPoint offset;
    whenModalShows([&](QWidget* modal) {
        opened = true;
        title = modal->windowTitle();
        offset = modal->frameGeometry().center() - f->frameGeometry().center();
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    pressKey(Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened; }, 2000));
    EXPECT_EQ(title, "Ricettario");
    // Centred on the main window (the centres of two rectangles fall on whole pixels).
    EXPECT_LE(std::abs(offset.x()), 2);
    EXPECT_LE(std::abs(offset.y()), 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeModalWidget() == nullptr; }));
    EXPECT_TRUE(f->book()->isOpen());
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(MainWindow, WithoutItsTableTheWindowStillOpensShowingTheCaptions) {
    TForm1 f; // no alimenti.d in the working folder
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].caption, "Cibrano");
    EXPECT_EQ(ui.errors[0].text, "Table1: Error opening file " + tablePath() + ".");
    f.show();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(totals(f), (QStringList{"Glucidi", "Proteine", "Lipidi", "Kcalorie"}));
    // The commands report what the closed table refuses, and the window goes on.
    QTest::mouseClick(f.BitBtn5, Qt::LeftButton);
    ASSERT_EQ(ui.errors.size(), 2u);
    EXPECT_EQ(ui.errors[1].text, "Table1: Cannot perform this operation on a closed dataset.");
    EXPECT_TRUE(f.close());
}

TEST_F(MainWindow, ClosingSavesTypedQuantitiesOnce) {
    writeFoodTable();
    {
        auto f = openWindow();
        typeQuantity(*f, 2, "80");
        // Closing with the value still in the editor posts it first.
        EXPECT_TRUE(f->close());
    }
    EXPECT_THAT(storedQuantities(), ElementsAre(0.0, 80.0, 0.0, 0.0, 0.0));
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(MainWindow, ClosingAfterOnlySortingWritesNothing) {
    writeFoodTable();
    const auto before = std::filesystem::last_write_time(tablePath());
    {
        auto f = openWindow();
        f->recipe()->SortByField(f->recipe()->Table1Nome);
        EXPECT_TRUE(f->close());
    }
    EXPECT_EQ(std::filesystem::last_write_time(tablePath()), before);
}

TEST_F(MainWindow, AFailedSaveKeepsTheWindowOpenAndASecondCloseEndsWithoutWriting) {
    writeFoodTable();
    auto f = openWindow();
    typeQuantity(*f, 1, "10");
    pressKey(Qt::Key_Down);
    // Something stands in the file's place that no save can replace.
    std::filesystem::remove(tablePath());
    std::filesystem::create_directory(tablePath());
    std::ofstream(tablePath() + "/keep") << "x";

    EXPECT_FALSE(f->close());
    EXPECT_TRUE(f->isVisible());
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].caption, "Cibrano");

    EXPECT_TRUE(f->close());
    EXPECT_EQ(ui.errors.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(tablePath()));
}

// --- Bad input at the window: each gets a clear message and loses nothing typed before ------

TEST_F(MainWindow, LettersInAQuantityAreDroppedAndATextThatIsNoNumberKeepsTheEditorOpen) {
    writeFoodTable();
    auto f = openWindow();
    TTitleDBGrid* grid = f->TitleDBGrid1;

    typeQuantity(*f, 1, "1a5x0"); // the letters beep and are dropped
    ASSERT_NE(grid->InplaceEditor(), nullptr);
    EXPECT_EQ(grid->InplaceEditor()->text(), "150");
    pressKey(Qt::Key_Down);
    EXPECT_EQ(totals(*f), (QStringList{"90.0", "12.0", "1.5", "412.5"}));

    // Characters a number may hold, in an order no number has: the field's message, and the
    // row, the editor and the typed text stay as they are.
    typeQuantity(*f, 2, "1-2");
    pressKey(Qt::Key_Down);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].text, "'1-2' is not a valid floating point value for field 'Quantita'");
    EXPECT_EQ(f->recipe()->Table1Nome->stringValue(), "Pasta di semola");
    EXPECT_TRUE(grid->InplaceEditor()->isVisible());
    EXPECT_EQ(grid->InplaceEditor()->text(), "1-2");
    EXPECT_EQ(totals(*f), (QStringList{"90.0", "12.0", "1.5", "412.5"}));

    // Mended, the value goes in and the first row's quantity is still there.
    pressKey(Qt::Key_Backspace);
    pressKey(Qt::Key_Backspace);
    pressKey(Qt::Key_Down);
    EXPECT_EQ(ui.errors.size(), 1u);
    EXPECT_TRUE(f->close());
    EXPECT_THAT(storedQuantities(), ElementsAre(150.0, 1.0, 0.0, 0.0, 0.0));
}

TEST_F(MainWindow, ANameLongerThanItsFieldStopsAtFiftyCharactersAndForeignTextIsNotPasted) {
    writeFoodTable();
    auto f = openWindow();
    TTitleDBGrid* grid = f->TitleDBGrid1;
    const QRect cell = grid->cellRect(gridColumn("Nome"), 1);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    pressKey(Qt::Key_F2);
    ASSERT_NE(grid->InplaceEditor(), nullptr);
    grid->InplaceEditor()->selectAll();
    const QString sixty = QString::fromUtf8("Pane di grano duro") + QString(42, QChar(0xE0));
    typeText(QApplication::focusWidget(), sixty);
    EXPECT_EQ(grid->InplaceEditor()->text(), sixty.left(50));

    // Text holding a character the table cannot store is refused whole, and what was typed
    // stays.
    QApplication::clipboard()->setText(QString::fromUtf8("Pane \u03A9"));
    pressKey(Qt::Key_Backspace);
    pressKey(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(grid->InplaceEditor()->text(), sixty.left(49));

    pressKey(Qt::Key_Down);
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_TRUE(f->close());
    TZerovTable t;
    t.setTableName(tablePath());
    t.setPassword(kFoodPassword);
    t.open();
    EXPECT_EQ(t.fieldByName("Nome")->stringValue(),
              AnsiString("Pane di grano duro") + AnsiString(31, '\xE0'));
}

TEST_F(MainWindow, AWrongPasswordTypedThreeTimesOpensNothingAndWritesNothing) {
    writeFoodTable();
    const std::string before = readWholeFile(tablePath()).value_or("");
    // The program's own password no longer opens the table.
    {
        TZerovTable t;
        t.setTableName(tablePath());
        t.setPassword(kFoodPassword);
        t.open();
        t.setPassword("ALTRA");
        t.saveChanges();
    }
    forgetPasswords();
    const std::string changed = readWholeFile(tablePath()).value_or("");
    for (const char* typed : {"uno", "due", "tre"})
        ui.queuePassword(AnsiString(typed));
    {
        TForm1 f;
        EXPECT_EQ(ui.prompts.size(), 3u);
        ASSERT_EQ(ui.warnings.size(), 2u);
        EXPECT_EQ(ui.warnings[0].text, "Password is invalid. Try again");
        ASSERT_EQ(ui.errors.size(), 1u);
        EXPECT_EQ(ui.errors[0].text,
                  "Table1: Error opening table: Invalid password. Table cannot be open.");
        EXPECT_EQ(totals(f), (QStringList{"Glucidi", "Proteine", "Lipidi", "Kcalorie"}));
        EXPECT_TRUE(f.close());
    }
    EXPECT_NE(before, changed);
    EXPECT_EQ(readWholeFile(tablePath()).value_or(""), changed);
}

TEST_F(MainWindow, ADamagedTableOrAFileThatIsNoTableIsReportedAndLeftAsItWas) {
    writeFoodTable();
    const std::string table = readWholeFile(tablePath()).value_or("");
    ASSERT_GT(table.size(), 100u);
    const std::vector<std::string> files = {
        table.substr(0, table.size() / 2),          // cut short
        "Gruppo;Nome;Quantita\nCereali;Pane;100\n", // a CSV, not a table
        std::string(),                              // empty
    };
    for (const std::string& bytes : files) {
        std::ofstream(tablePath(), std::ios::binary | std::ios::trunc) << bytes;
        ui.errors.clear();
        {
            TForm1 f;
            ASSERT_EQ(ui.errors.size(), 1u) << bytes.size();
            EXPECT_THAT(ui.errors[0].text, ::testing::StartsWith("Table1: "));
            EXPECT_EQ(totals(f), (QStringList{"Glucidi", "Proteine", "Lipidi", "Kcalorie"}));
            EXPECT_TRUE(f.close());
        }
        EXPECT_EQ(readWholeFile(tablePath()).value_or("?"), bytes);
        forgetPasswords();
    }
}

} // namespace
} // namespace cibrano::testing

namespace cibrano::testing {
namespace {

TEST_F(MainWindow, TheUsedRowsButtonAndTheSearchWordNarrowTheGridTogether) {
    writeFoodTable();
    auto f = openWindow();
    typeQuantity(*f, 1, "150"); // Pane comune
    typeQuantity(*f, 4, "200"); // Latte intero
    pressKey(Qt::Key_Up);
    auto shown = [&] { return column(*f->recipe()->Table1, "Nome"); };

    f->ZerovFindEdit1->setFocus();
    typeText(f->ZerovFindEdit1, "pa");
    EXPECT_TRUE(QTest::qWaitFor([&] { return visibleRows(*f) == 2; }, 1000)); // Pane, Pasta
    QTest::mouseClick(f->BitBtn3, Qt::LeftButton);
    EXPECT_THAT(shown(), ElementsAre("Pane comune"));
    EXPECT_EQ(f->TitleDBGrid1->RowCount(), 1 + 1);

    // Every row, and the word is gone from the box.
    QTest::mouseClick(f->BitBtn4, Qt::LeftButton);
    EXPECT_EQ(visibleRows(*f), 5);
    EXPECT_EQ(f->ZerovFindEdit1->text(), "");
    EXPECT_EQ(f->TitleDBGrid1->RowCount(), 1 + 5);

    // The next word searches every row: the used-rows choice stays off.
    f->ZerovFindEdit1->setFocus();
    typeText(f->ZerovFindEdit1, "a");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !f->recipe()->ZerovFindEdit1->searchPending(); }, 1000));
    EXPECT_THAT(shown(), ElementsAre("Pane comune", "Pasta di semola", "Mela", "Latte intero"));
    EXPECT_EQ(totals(*f), (QStringList{"100.0", "18.6", "8.7", "540.5"}));
}

} // namespace
} // namespace cibrano::testing

namespace cibrano::testing {
namespace {

TEST_F(MainWindow, AMistypedQuantityAbandonsTheCloseAndLosesNothing) {
    writeFoodTable();
    auto f = openWindow();
    TTitleDBGrid* grid = f->TitleDBGrid1;
    typeQuantity(*f, 1, "55");
    typeQuantity(*f, 3, "1e"); // leaving the first row posted its 55
    EXPECT_FALSE(f->close());
    EXPECT_TRUE(f->isVisible());
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].text, "'1e' is not a valid floating point value for field 'Quantita'");
    // The editor stays on that cell with the text as typed; nothing was discarded.
    EXPECT_EQ(f->recipe()->Table1Nome->stringValue(), "Mela");
    EXPECT_EQ(grid->SelectedField(), f->recipe()->Table1Quantita);
    ASSERT_NE(grid->InplaceEditor(), nullptr);
    EXPECT_TRUE(grid->InplaceEditor()->isVisible());
    EXPECT_EQ(grid->InplaceEditor()->text(), "1e");
    EXPECT_TRUE(f->recipe()->Table1->hasUnsavedChanges());
    EXPECT_THAT(storedQuantities(), ElementsAre(0.0, 0.0, 0.0, 0.0, 0.0));

    // Escape gives the mistake up; the next close writes the 55.
    pressKey(Qt::Key_Escape);
    EXPECT_TRUE(f->close());
    EXPECT_EQ(ui.errors.size(), 1u);
    EXPECT_THAT(storedQuantities(), ElementsAre(55.0, 0.0, 0.0, 0.0, 0.0));
}

TEST_F(MainWindow, AMistypedQuantityCorrectedBeforeClosingIsWrittenWithTheRest) {
    writeFoodTable();
    auto f = openWindow();
    typeQuantity(*f, 1, "55");
    typeQuantity(*f, 3, "1e");
    EXPECT_FALSE(f->close());
    pressKey(Qt::Key_Backspace);
    EXPECT_TRUE(f->close());
    EXPECT_EQ(ui.errors.size(), 1u);
    EXPECT_THAT(storedQuantities(), ElementsAre(55.0, 0.0, 1.0, 0.0, 0.0));
}

} // namespace
} // namespace cibrano::testing

namespace cibrano::testing {
namespace {

// A new row left empty is never stored, however the window is left.
TEST_F(MainWindow, AnEmptyNewRowIsNotSavedWhenTheWindowCloses) {
    writeFoodTable();
    const std::string before = readWholeFile(tablePath()).value_or("");
    {
        auto f = openWindow();
        pressKey(Qt::Key_End, Qt::ControlModifier);
        pressKey(Qt::Key_Down); // a new row appears
        ASSERT_EQ(f->recipe()->Table1->State(), stateInsert);
        EXPECT_TRUE(f->close());
        EXPECT_EQ(f->recipe()->Table1->recordCount(), 5);
    }
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_TRUE(readWholeFile(tablePath()).value_or("") == before); // nothing written
}

TEST_F(MainWindow, AnEmptyNewRowTouchedOnlyWithBackspaceIsNotSaved) {
    writeFoodTable();
    const std::string before = readWholeFile(tablePath()).value_or("");
    {
        auto f = openWindow();
        pressKey(Qt::Key_End, Qt::ControlModifier);
        pressKey(Qt::Key_Down);
        f->TitleDBGrid1->setSelectedIndex(1);
        pressKey(Qt::Key_Backspace);
        pressKey(Qt::Key_Return);
        EXPECT_TRUE(f->close());
    }
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_TRUE(readWholeFile(tablePath()).value_or("") == before);
}

TEST_F(MainWindow, ANewRowStartedInAListNarrowedToNothingIsNotSavedEmpty) {
    writeFoodTable();
    {
        auto f = openWindow();
        typeQuantity(*f, 1, "30");
        pressKey(Qt::Key_Down);
        f->ZerovFindEdit1->setFocus();
        typeText(f->ZerovFindEdit1, "zzz");
        EXPECT_TRUE(QTest::qWaitFor([&] { return visibleRows(*f) == 0; }, 1000));
        f->TitleDBGrid1->setFocus();
        pressKey(Qt::Key_F2); // starts a new row in the empty list
        ASSERT_EQ(f->recipe()->Table1->State(), stateInsert);
        // Closing would post it.
        EXPECT_TRUE(f->close());
        EXPECT_EQ(f->recipe()->Table1->State(), stateBrowse);
    }
    EXPECT_TRUE(ui.errors.empty());
    // The quantity typed is saved; no empty row came with it.
    EXPECT_THAT(storedQuantities(), ElementsAre(30.0, 0.0, 0.0, 0.0, 0.0));
}

} // namespace
} // namespace cibrano::testing
