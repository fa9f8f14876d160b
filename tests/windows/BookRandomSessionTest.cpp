// A long session of random use of the main window and the recipe book's window: quantities
// typed into the food grid, clicks into both of the book's grids, typing (good and refused
// names, servings and grams), Enter, Tab, Escape, the arrows, saving the current quantities
// under a name, loading, deleting, closing the book and killing the program (a new main window
// then opens on what is on disk). Seeded (CIBRANO_RANDOM_SEED, CIBRANO_RANDOM_ACTIONS as for the
// main window's session).
//
// After every step both book files read back, hold exactly what the book holds as posted
// (what its grids show of every row not being edited), and every value in them passes the
// book's checks: no refused value, and no change reported done, is ever lost or written.

#include "app/BookDialog.h"
#include "app/alimenti.h"
#include "recipe/RecipeBook.h"

#include "tests/windows/WindowTestSupport.h"

#include "grid/CustomGrid.h"
#include "grid/TitleDBCtrl.h"
#include "platform/AnsiCase.h"

#include <QPushButton>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <set>
#include <sstream>

namespace cibrano::testing {
namespace {

// A recipe and its lines as text, comparable.
std::string describe(const RecipeInfo& r, const std::vector<RecipeLine>& lines) {
    std::ostringstream out;
    out << r.Codice << "|" << r.Nome << "|" << r.Porzioni << "|" << r.Note;
    for (const RecipeLine& l : lines)
        out << "\n  " << l.Gruppo << "/" << l.Nome << " " << l.Quantita;
    return out.str();
}

class BookRandomSession : public WindowFixture {
protected:
    void SetUp() override {
        writeFoodTable();
        ui.answerQuestion = [this](const AnsiString&) { return chance(50); };
        // A dialog a key opens by chance (saving, a sheet's print or file dialog, a menu) is
        // closed again at once.
        modalCloser_.setInterval(20);
        QObject::connect(&modalCloser_, &QTimer::timeout, [this] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w || w == dialog.get())
                w = QApplication::activePopupWidget();
            if (w && w != dialog.get() && w->isVisible()) {
                note("a dialog opened: closed");
                w->close();
            }
        });
        modalCloser_.start();
        openBook();
    }
    void TearDown() override {
        modalCloser_.stop();
        dialog.reset();
        form.reset();
    }

    void openBook() {
        dialog.reset();
        form.reset();
        form = std::make_unique<TForm1>();
        form->show();
        book = form->book();
        book->open();
        showDialog();
    }
    void showDialog() {
        if (!dialog)
            dialog = std::make_unique<BookDialog>(*book, nullptr, form->recipe());
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    bool chance(int percent) { return pick(100) < percent; }
    QWidget* focus() const {
        QWidget* w = QApplication::focusWidget();
        return w ? w : dialog.get();
    }

    void clickCell(TTitleDBGrid* grid, int columns) {
        const int rows = std::max(1, std::min(grid->RowCount() - 1, 6));
        const QRect cell = grid->cellRect(1 + pick(columns), 1 + pick(rows));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    }

    void step() {
        static const char* texts[] = {"4",     "-2",    "0",  "1000", "12",           "250",
                                      "0.5",   "abc",   "  ", "x",    "Torta",        "torta",
                                      "Pasta", "Zuppa", "3",  "999",  "Pane e burro", "75"};
        static const char* names[] = {"Torta", "TORTA", "Pasta", "Zuppa", "  ", "Pane e burro"};
        switch (pick(12)) {
        case 0:
        case 1:
            note("click a recipe cell");
            clickCell(dialog->RecipesGrid, 3);
            break;
        case 2:
        case 3:
            note("click an ingredient cell");
            clickCell(dialog->LinesGrid, 7);
            break;
        case 4:
        case 5: {
            const char* t = texts[pick(std::size(texts))];
            note(std::string("type '") + t + "'");
            QTest::keyClicks(focus(), t);
            break;
        }
        case 6: {
            static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Tab, Qt::Key_Escape, Qt::Key_Up,
                                           Qt::Key_Down};
            const Qt::Key key = keys[pick(std::size(keys))];
            note("key " + std::to_string(key));
            QTest::keyClick(focus(), key);
            if (!dialog->isVisible())
                showDialog();
            break;
        }
        case 7: {
            const char* name = names[pick(std::size(names))];
            note(std::string("save the current quantities as '") + name + "'");
            try {
                book->saveCurrentRecipe(name, 1 + pick(12), chance(50));
                ++saved;
            } catch (const std::exception&) {
                // Refused names, a name in use, a pending value refused: nothing written.
            }
            dialog->showSummary();
            break;
        }
        case 8: {
            // The book steps aside (as its window is modal) while a quantity is typed.
            note("type a quantity in the main window");
            dialog->reject();
            if (dialog->isVisible())
                break;
            form->activateWindow();
            if (!QTest::qWaitForWindowActive(form.get()))
                break;
            TTitleDBGrid* grid = form->TitleDBGrid1;
            const QRect cell = grid->cellRect(3, 1 + pick(5));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
            QTest::keyClicks(focus(), chance(30) ? "0" : std::to_string(10 + pick(300)).c_str());
            QTest::keyClick(focus(), chance(70) ? Qt::Key_Return : Qt::Key_Down);
            showDialog();
            break;
        }
        case 9:
            note(chance(50) ? "load" : "delete");
            (log_.back() == "load" ? dialog->LoadButton : dialog->DeleteButton)->click();
            if (!dialog->isVisible())
                showDialog();
            break;
        case 10:
            note("close the window");
            dialog->reject();
            if (!dialog->isVisible()) {
                checkClosed();
                showDialog();
            }
            break;
        default:
            note("kill");
            killed();
            break;
        }
    }

    // What the files hold, and what the book holds as posted.
    std::string onDisk() const {
        if (!std::filesystem::exists(dir.file("ricette.d")))
            return "";
        RecipeBook files(dir.file("ricette.d"), kFoodPassword);
        files.open();
        std::string all;
        std::set<std::string> names;
        for (const RecipeInfo& r : files.recipes()) {
            const std::vector<RecipeLine> lines = files.linesOf(r.Codice);
            all += describe(r, lines) + "\n";
            const std::string key = ansiUpperCase(RecipeBook::trimmedName(r.Nome));
            EXPECT_TRUE(!key.empty() && names.insert(key).second) << "name " << r.Nome;
            EXPECT_TRUE(r.Porzioni >= 1 && r.Porzioni <= 999) << "servings " << r.Porzioni;
            for (const RecipeLine& l : lines)
                EXPECT_NE(l.Quantita, 0) << l.Nome;
        }
        return all;
    }
    std::string inBook() const {
        std::string all;
        for (const RecipeInfo& r : book->recipes())
            all += describe(r, book->linesOf(r.Codice)) + "\n";
        return all;
    }

    void checkClosed() {
        EXPECT_EQ(book->Recipes->State(), stateBrowse) << history();
        EXPECT_EQ(book->Lines->State(), stateBrowse) << history();
    }
    // The process dies: nothing but the files is left.
    void killed() {
        const std::string before = onDisk();
        openBook();
        EXPECT_EQ(inBook(), before) << history();
    }

    void note(const std::string& action) {
        log_.push_back(action);
        if (log_.size() > 30)
            log_.erase(log_.begin());
    }
    std::string history() const {
        std::string out = "the last actions:\n";
        for (const std::string& a : log_)
            out += "  " + a + "\n";
        return out;
    }

    std::unique_ptr<TForm1> form;
    RecipeBook* book = nullptr;
    std::unique_ptr<BookDialog> dialog;
    std::mt19937 random;
    std::vector<std::string> log_;
    QTimer modalCloser_;
    int saved = 0;
};

TEST_F(BookRandomSession, TheFilesAlwaysHoldWhatTheBookShowsAndOnlyCheckedValues) {
    const char* seedText = std::getenv("CIBRANO_RANDOM_SEED");
    const char* actionsText = std::getenv("CIBRANO_RANDOM_ACTIONS");
    random.seed(seedText ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 10)) : 20261209u);
    const int actions = actionsText ? std::atoi(actionsText) : 1000;
    // Something to start from.
    RecipeCalculator& calc = *form->recipe();
    for (const char* name : {"Pasta di semola", "Pomodori"}) {
        TZerovTable& t = *calc.Table1;
        for (t.moveFirst(); !t.atEnd(); t.moveNext())
            if (calc.Table1Nome->stringValue() == name) {
                t.beginEdit();
                calc.Table1Quantita->setFloatValue(100);
                t.postRecord();
            }
    }
    book->saveCurrentRecipe("Pasta", 2, false);
    for (int i = 0; i < actions && !HasFailure(); ++i) {
        step();
        EXPECT_EQ(onDisk(), inBook()) << history();
    }
    // The session reached refused values and kept recipes.
    EXPECT_GT(ui.errors.size(), 3u);
    EXPECT_GT(saved, 1);
}

} // namespace
} // namespace cibrano::testing
