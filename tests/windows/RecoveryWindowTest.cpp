// The main window and the recovery file: typed quantities are written within the timer's delay,
// the file goes with a save and stays after a failed one, and the next start offers them back
// ("Sì" puts them into the table, "No" sets the file aside).

#include "app/alimenti.h"

#include "tests/windows/WindowTestSupport.h"

#include "grid/TitleDBCtrl.h"
#include "platform/Files.h"
#include "platform/Timer.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class RecoveryWindow : public WindowFixture {
protected:
    RecoveryWindow() {
        writeFoodTable();
        ui.answerQuestion = [this](const AnsiString& text) {
            questions.push_back(text);
            return answer;
        };
    }

    std::unique_ptr<TForm1> openWindow() {
        auto form = std::make_unique<TForm1>();
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return form;
    }
    static void typeQuantity(TForm1& f, int row, const QString& text) {
        TTitleDBGrid* grid = f.TitleDBGrid1;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          grid->cellRect(3, row).center());
        typeText(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    }
    std::string file() const { return dir.file(CrashRecovery::kFileName); }

    // A run that typed two quantities, had them written, and ended without closing.
    void crashAfterTyping() {
        auto f = openWindow();
        typeQuantity(*f, 1, "150");
        typeQuantity(*f, 3, "200");
        EXPECT_TRUE(f->recoveryTimer()->Enabled());
        f->RecoveryTimerTimer();
        ASSERT_TRUE(fileExists(file()));
    }

    std::vector<AnsiString> questions;
    bool answer = true;
};

TEST_F(RecoveryWindow, TypedQuantitiesAreWrittenAndTheSaveRemovesThem) {
    auto f = openWindow();
    EXPECT_FALSE(f->recoveryTimer()->Enabled()); // nothing changed yet
    typeQuantity(*f, 2, "80");
    EXPECT_TRUE(f->recoveryTimer()->Enabled());
    EXPECT_EQ(f->recoveryTimer()->Interval(), 3000);
    f->RecoveryTimerTimer();
    EXPECT_TRUE(fileExists(file()));
    EXPECT_TRUE(f->close());
    EXPECT_FALSE(fileExists(file()));
    EXPECT_THAT(storedQuantities(), ElementsAre(0.0, 80.0, 0.0, 0.0, 0.0));
}

TEST_F(RecoveryWindow, AtStartNoSetsTheFileAsideAndSiPutsTheQuantitiesBack) {
    crashAfterTyping();
    answer = false;
    {
        auto f = openWindow();
        ASSERT_EQ(questions.size(), 1u);
        EXPECT_THAT(questions[0], HasSubstr("le quantit\xE0 di 2 alimenti"));
        EXPECT_EQ(f->t4->text(), "0.0");
        EXPECT_TRUE(fileExists(dir.file(CrashRecovery::kSetAsideFileName)));
        EXPECT_TRUE(f->close());
    }
    crashAfterTyping();
    EXPECT_EQ(questions.size(), 1u); // the file set aside was not offered again
    answer = true;
    {
        auto f = openWindow();
        EXPECT_EQ(questions.size(), 2u);
        EXPECT_EQ(f->t4->text(), "516.5"); // Pane 150 g, Mela 200 g, as unsaved changes
        EXPECT_TRUE(f->close());
    }
    EXPECT_THAT(storedQuantities(), ElementsAre(150.0, 0.0, 200.0, 0.0, 0.0));
    EXPECT_FALSE(fileExists(file()));
    EXPECT_FALSE(fileExists(dir.file(CrashRecovery::kSetAsideFileName)));
}

TEST_F(RecoveryWindow, AFailedSaveLeavesTheFileForTheNextStart) {
    auto f = openWindow();
    typeQuantity(*f, 1, "10");
    // Closed before the timer fired: the close writes the file before it saves.
    std::filesystem::remove(tablePath());
    std::filesystem::create_directory(tablePath());
    std::ofstream(tablePath() + "/keep") << "x";
    EXPECT_FALSE(f->close());
    EXPECT_TRUE(f->close());
    EXPECT_TRUE(fileExists(file()));
}

} // namespace
} // namespace cibrano::testing
