// A long session of random use of the main window, as a new user would try it: clicks on cells
// and titles, typing (good and bad values), keys, the scroll bar held down, the wheel, the
// find box, the column choice, the command buttons, and closes (each reopening the window on
// what was saved). Seeded, so that a failure can be replayed (CIBRANO_RANDOM_SEED picks
// another seed, CIBRANO_RANDOM_ACTIONS another length).
//
// What must hold all along:
// - one action opens few error boxes, never one box over another over another (no endless
//   boxes: the error box here stays open while a mouse button is held, as a modal box that
//   takes the button's release away would);
// - no new row is posted with every field empty (typed text never holds a '0', so a posted row
//   whose fields are all empty or 0 was never filled);
// - each close that succeeds leaves on disk exactly the rows the table held, and a close
//   refused for a mistyped value discards nothing.

#include "app/alimenti.h"

#include "tests/windows/WindowTestSupport.h"

#include "app/FindLineEdit.h"
#include "dataset/DataSet.h"
#include "grid/TitleDBCtrl.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeySequence>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <memory>
#include <random>
#include <sstream>

namespace cibrano::testing {
namespace {

// The error box: it counts, it notices a box opened over another, and while a mouse button is
// held it stays open long enough for a scroll bar's repeat to start, as a real one would.
class WatchingErrorBoxUi : public ScriptedUi {
public:
    int depth = 0;
    int deepest = 0;
    int shownThisAction = 0;
    int mostInOneAction = 0;
    void showError(const AnsiString& caption, const AnsiString& text) override {
        ScriptedUi::showError(caption, text);
        ++shownThisAction;
        mostInOneAction = std::max(mostInOneAction, shownThisAction);
        // A runaway stops waiting, so that the test ends and reports it.
        if (shownThisAction > 5)
            return;
        ++depth;
        deepest = std::max(deepest, depth);
        const bool buttonHeld = QGuiApplication::mouseButtons() != Qt::NoButton;
        QTest::qWait(buttonHeld ? 600 : 2);
        --depth;
    }
};

// One stored or held row: every field as text.
using Row = std::vector<std::string>;

std::vector<Row> rowsOf(TDataSet& t) {
    std::vector<Row> rows;
    for (t.moveFirst(); !t.atEnd(); t.moveNext()) {
        Row row;
        for (TField* field : t.Fields())
            row.push_back(field->stringValue());
        rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

class RandomSession : public WindowFixture {
protected:
    void SetUp() override {
        // Fifty foods: enough to scroll.
        names_.reserve(50);
        std::vector<FoodRow> rows;
        for (int i = 0; i < 50; ++i) {
            const FoodRow& sample = sampleFoods()[static_cast<size_t>(i % 5)];
            names_.push_back(std::string(sample[1]) + " " + std::to_string(i + 1));
            rows.push_back({sample[0], names_.back().c_str(), i % 7 == 0 ? "50" : "0", sample[3],
                            sample[4], sample[5], sample[6]});
        }
        writeFoodTable(rows);
        setUiServices(&box);
        // A dialog the session opens (information, and whatever other command buttons show)
        // is closed again at once, as a user who opened it by chance would.
        modalCloser_.setInterval(20);
        QObject::connect(&modalCloser_, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
                note("a dialog opened: closed");
                modal->close();
            }
        });
        modalCloser_.start();
    }
    void TearDown() override {
        modalCloser_.stop();
        form.reset();
        setUiServices(&ui);
    }

    void open() {
        form = std::make_unique<TForm1>();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        // A new row posted with every field empty was never filled by anyone.
        form->recipe()->Table1->BeforePost = [this](TDataSet* t) {
            if (t->State() != stateInsert)
                return;
            for (TField* field : t->Fields())
                if (!field->isNull() && field->stringValue() != "" && field->stringValue() != "0")
                    return;
            ++emptyRowsPosted;
            ADD_FAILURE() << "an empty new row was posted; the last actions:\n" << history();
        };
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    bool chance(int percent) { return pick(100) < percent; }

    QWidget* focus() const {
        QWidget* w = QApplication::focusWidget();
        return w ? w : form.get();
    }

    // Text as a user might type it: digits (never 0), signs, exponents, letters, accents.
    QString randomText() {
        static const QString alphabet =
            QString::fromUtf8("123456789123456789..--eE+ abcxyzPASTA\u00E0\u00E8\u00F9,");
        QString text;
        for (int n = 1 + pick(4); n > 0; --n)
            text += alphabet[pick(static_cast<int>(alphabet.size()))];
        return text;
    }

    QPoint barPart(QStyle::SubControl part) const {
        QScrollBar* bar = form->TitleDBGrid1->verticalScrollBar();
        QStyleOptionSlider option;
        option.initFrom(bar);
        option.orientation = bar->orientation();
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.sliderPosition = bar->sliderPosition();
        option.sliderValue = bar->value();
        option.singleStep = bar->singleStep();
        option.pageStep = bar->pageStep();
        option.subControls = QStyle::SC_All;
        return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar).center();
    }

    void note(const std::string& action) {
        log_.push_back(action);
        if (log_.size() > 40)
            log_.pop_front();
    }
    std::string history() const {
        std::ostringstream out;
        for (const std::string& a : log_)
            out << "  " << a << "\n";
        out << "the last boxes:\n";
        const size_t n = box.errors.size();
        for (size_t i = n > 4 ? n - 4 : 0; i < n; ++i)
            out << "  " << box.errors[i].text << "\n";
        return out.str();
    }

    void act() {
        TTitleDBGrid* grid = form->TitleDBGrid1;
        switch (pick(20)) {
        case 0:
        case 1:
        case 2: { // a click on a cell
            const int row = 1 + pick(std::max(1, grid->RowCount() - 1));
            const int col = 1 + pick(7);
            const QRect cell = grid->cellRect(col, row);
            note("click cell " + std::to_string(col) + "," + std::to_string(row));
            if (!cell.isEmpty())
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
            break;
        }
        case 3:
        case 4:
        case 5: { // typing
            const QString text = randomText();
            note("type '" + text.toStdString() + "'");
            typeText(focus(), text);
            break;
        }
        case 6:
        case 7:
        case 8: { // a key
            static const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
                {Qt::Key_Up, Qt::NoModifier},         {Qt::Key_Down, Qt::NoModifier},
                {Qt::Key_Down, Qt::NoModifier},       {Qt::Key_Left, Qt::NoModifier},
                {Qt::Key_Right, Qt::NoModifier},      {Qt::Key_Return, Qt::NoModifier},
                {Qt::Key_Escape, Qt::NoModifier},     {Qt::Key_F2, Qt::NoModifier},
                {Qt::Key_Backspace, Qt::NoModifier},  {Qt::Key_Delete, Qt::NoModifier},
                {Qt::Key_Insert, Qt::NoModifier},     {Qt::Key_PageDown, Qt::NoModifier},
                {Qt::Key_PageUp, Qt::NoModifier},     {Qt::Key_Home, Qt::NoModifier},
                {Qt::Key_End, Qt::ControlModifier},   {Qt::Key_Tab, Qt::NoModifier},
                {Qt::Key_Delete, Qt::ControlModifier}};
            const auto& [key, modifiers] = keys[pick(static_cast<int>(std::size(keys)))];
            note("key " + QKeySequence(key | modifiers).toString().toStdString());
            QTest::keyClick(focus(), key, modifiers);
            break;
        }
        case 9: { // the scroll bar's arrows or trough, held a while
            static const QStyle::SubControl parts[] = {
                QStyle::SC_ScrollBarAddLine, QStyle::SC_ScrollBarSubLine,
                QStyle::SC_ScrollBarAddPage, QStyle::SC_ScrollBarSubPage};
            QScrollBar* bar = grid->verticalScrollBar();
            if (!bar->isVisible())
                break;
            const QPoint at = barPart(parts[pick(4)]);
            const int held = pick(800);
            note("hold the scroll bar " + std::to_string(held) + " ms");
            QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, at);
            QTest::qWait(held);
            QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, at);
            break;
        }
        case 10: { // the wheel
            const QPoint at = grid->viewport()->rect().center();
            const int delta = (chance(50) ? 120 : -120) * (1 + pick(3));
            note("wheel " + std::to_string(delta));
            QWheelEvent event(at, grid->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(grid->viewport(), &event);
            break;
        }
        case 11:
        case 12: { // the find box
            form->ZerovFindEdit1->setFocus();
            if (chance(40)) {
                note("clear the find box");
                form->ZerovFindEdit1->clear();
            } else {
                const QString text = chance(50) ? QStringLiteral("a") : randomText().left(2);
                note("search '" + text.toStdString() + "'");
                typeText(form->ZerovFindEdit1, text);
            }
            if (chance(60))
                QTest::qWait(120); // the search runs
            break;
        }
        case 13: // the column searched
            note("choose the column");
            form->ComboBox1->setCurrentIndex(pick(2));
            break;
        case 14: { // a title: sorts
            const int col = 1 + pick(7);
            note("click title " + std::to_string(col));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                              grid->cellRect(col, 0).center());
            break;
        }
        case 15: { // the command buttons
            QPushButton* buttons[] = {form->BitBtn3, form->BitBtn4, form->BitBtn5};
            const int which = pick(chance(80) ? 2 : 3);
            note("button " + std::to_string(which + 3));
            QTest::mouseClick(buttons[which], Qt::LeftButton);
            break;
        }
        case 16: // back to the grid
            note("focus the grid");
            grid->setFocus(Qt::MouseFocusReason);
            break;
        case 17:
            newRow();
            break;
        default:
            if (chance(25))
                closeAndReopen();
            break;
        }
    }

    // One step of the user's is over: it opened few boxes, never one over another over another.
    void stepDone() {
        QApplication::processEvents();
        // Leaving the grid for a button with a refused value reports once as the focus goes
        // and once from the button's command: two boxes, one over the other, and no more.
        if (box.deepest > 2)
            GTEST_FAIL() << "error boxes opened one over another\n" << history();
        if (box.shownThisAction > 3)
            GTEST_FAIL() << "one step opened " << box.shownThisAction << " error boxes\n"
                         << history();
        box.shownThisAction = 0;
    }

    // A new row, touched or not, then left in one of the ways that would post it.
    void newRow() {
        TTitleDBGrid* grid = form->TitleDBGrid1;
        grid->setFocus(Qt::MouseFocusReason);
        if (chance(50)) {
            note("new row: Ctrl+End, Down");
            QTest::keyClick(focus(), Qt::Key_End, Qt::ControlModifier);
            stepDone();
            QTest::keyClick(focus(), Qt::Key_Down);
        } else {
            note("new row: Insert");
            QTest::keyClick(focus(), Qt::Key_Insert);
        }
        stepDone();
        switch (pick(4)) {
        case 0:
            note("Backspace in its cell");
            QTest::keyClick(focus(), Qt::Key_Backspace);
            break;
        case 1:
            note("F2, Enter");
            QTest::keyClick(focus(), Qt::Key_F2);
            stepDone();
            QTest::keyClick(focus(), Qt::Key_Return);
            break;
        case 2: {
            const QString text = randomText();
            note("type '" + text.toStdString() + "'");
            typeText(focus(), text);
            break;
        }
        default:
            break;
        }
        stepDone();
        switch (pick(5)) {
        case 0:
            closeAndReopen();
            break;
        case 1:
            note("Up");
            QTest::keyClick(focus(), Qt::Key_Up);
            break;
        case 2:
            note("button 3");
            QTest::mouseClick(form->BitBtn3, Qt::LeftButton);
            break;
        case 3:
            note("click title 2");
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                              grid->cellRect(2, 0).center());
            break;
        default:
            break;
        }
    }

    // Closing: a success leaves on disk what the table held and the window is made anew on
    // it; a refusal discards nothing.
    void closeAndReopen() {
        TZerovTable& table = *form->recipe()->Table1;
        TZerovTable& clone = *form->recipe()->Table2;
        clone.refreshViewFromStore();
        const std::vector<Row> before = rowsOf(clone);
        const bool hadChanges = table.hasUnsavedChanges();
        note("close");
        const size_t errorsBefore = box.errors.size();
        if (!form->close()) {
            ASSERT_GT(box.errors.size(), errorsBefore);
            // The user mistyped: every change is still there.
            EXPECT_EQ(table.hasUnsavedChanges(), hadChanges) << history();
            clone.refreshViewFromStore();
            EXPECT_EQ(rowsOf(clone), before) << history();
            ++refusedCloses;
            return;
        }
        clone.refreshViewFromStore();
        const std::vector<Row> held = rowsOf(clone);
        form.reset();
        ++closes;
        TZerovTable stored;
        stored.setTableName(tablePath());
        stored.setPassword(kFoodPassword);
        stored.open();
        EXPECT_EQ(rowsOf(stored), held) << "what was saved is not what the table held\n"
                                        << history();
        stored.close();
        forgetPasswords();
        open();
    }

    WatchingErrorBoxUi box;
    QTimer modalCloser_;
    std::mt19937 random;
    std::unique_ptr<TForm1> form;
    std::vector<std::string> names_;
    std::deque<std::string> log_;
    int emptyRowsPosted = 0;
    int closes = 0;
    int refusedCloses = 0;
};

TEST_F(RandomSession, ManyRandomActionsOpenNoEndlessBoxesSaveNoEmptyRowAndLoseNothing) {
    const char* seedText = std::getenv("CIBRANO_RANDOM_SEED");
    const char* actionsText = std::getenv("CIBRANO_RANDOM_ACTIONS");
    const unsigned seed =
        seedText ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 10)) : 18;
    const int actions = actionsText ? std::atoi(actionsText) : 600;
    random.seed(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    open();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < actions && !HasFatalFailure(); ++i) {
        box.shownThisAction = 0;
        act();
        stepDone();
        // A bound for slow builds: the checks stay, the session gets shorter.
        if (clock.elapsed() > 60000)
            break;
    }
    if (form)
        closeAndReopen();
    EXPECT_EQ(emptyRowsPosted, 0);
    EXPECT_GT(closes, 0);
    std::cout << "random session (seed " << seed << "): " << box.errors.size() << " error boxes, "
              << closes << " closes, " << refusedCloses << " refused, most boxes in one step "
              << box.mostInOneAction << ", " << clock.elapsed() << " ms\n";
}

} // namespace
} // namespace cibrano::testing
