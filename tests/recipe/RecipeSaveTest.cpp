// Closing the recipe calculator: the food table is written only when something was changed,
// under the program's password, and a save that fails loses the changes, not the file.

#include "tests/recipe/RecipeTestSupport.h"

#include "dataset/FieldDataLink.h"

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class RecipeSave : public RecipeFixture {
protected:
    // The file's identity: every save replaces it with a new file.
    ino_t tableInode() const {
        struct stat info {};
        EXPECT_EQ(::stat(tablePath().c_str(), &info), 0);
        return info.st_ino;
    }

    // Opens the saved table as the next run of the program would and answers its totals.
    std::vector<AnsiString> totalsOfTheNextRun() {
        forgetPasswords();
        RecipeCalculator next;
        std::vector<AnsiString> texts;
        next.OnShowTotals = [&](const TotalsLabelSet& labels) { texts = labelTexts(labels); };
        next.OpenRecipeTables();
        return texts;
    }

    int saveUnderAFileSizeLimit();
};

TEST_F(RecipeSave, ClosingAfterScrollingSortingAndFilteringWritesNothing) {
    useFoodTable();
    const ino_t inode = tableInode();
    calc.OpenRecipeTables();
    calc.Table1->moveLast();
    calc.SortByField(calc.Table1Nome);
    calc.ShowUsedRowsOnly();
    calc.ShowAllRows();
    calc.SetSearchColumn(0);
    calc.ZerovFindEdit1->setText("Formaggi");
    manualTimerClock().advance(TZerovFindEdit::kSearchDelay);
    // An edit begun and cancelled is no change either.
    calc.Table1->beginEdit();
    calc.Table1Quantita->setStringValue("1");
    calc.Table1->cancelRecord();
    calc.SaveOnClose();
    EXPECT_EQ(tableInode(), inode);
    EXPECT_EQ(tableBytes(), goldenBytes("food-enciphered.d"));
    EXPECT_EQ(dir.entryCount(), 1u);
}

TEST_F(RecipeSave, ClosingAfterAPostedChangeWritesTheTableOnceUnderTheProgramsPassword) {
    useFoodTable();
    const ino_t inode = tableInode();
    calc.OpenRecipeTables();
    setQuantity("Pasta di semola", "50");
    EXPECT_THAT(lastShown(), ElementsAre("44.8", "7.0", "11.0", "294.9"));
    calc.SaveOnClose();
    EXPECT_NE(tableInode(), inode);
    EXPECT_EQ(dir.entryCount(), 1u); // no backup, no temporary file left
    ASSERT_GT(tableBytes().size(), 4u);
    EXPECT_EQ(static_cast<uint8_t>(tableBytes()[4]), TZerovCursor::kEncipheredImage);
    EXPECT_THAT(totalsOfTheNextRun(), ElementsAre("44.8", "7.0", "11.0", "294.9"));
    EXPECT_THAT(ui.prompts, IsEmpty());
}

TEST_F(RecipeSave, AnEditStillBeingTypedIsPostedAndWritten) {
    useFoodTable();
    calc.OpenRecipeTables();
    goTo("Pasta di semola");
    calc.Table1->beginEdit();
    calc.Table1Quantita->setStringValue("50");
    calc.SaveOnClose();
    EXPECT_EQ(calc.Table1->State(), stateBrowse);
    EXPECT_THAT(totalsOfTheNextRun(), ElementsAre("44.8", "7.0", "11.0", "294.9"));
}

TEST_F(RecipeSave, AFailedSaveInAReadOnlyFolderDiscardsAndRaisesAgain) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders; the file size limit case below "
                        "fails a save as root too";
    useFoodTable();
    calc.OpenRecipeTables();
    setQuantity("Pasta di semola", "50");
    std::filesystem::permissions(dir.path, std::filesystem::perms::owner_read |
                                               std::filesystem::perms::owner_exec);
    EXPECT_THAT(testkit::messageOf([&] { calc.SaveOnClose(); }), HasSubstr("alimenti.d"));
    std::filesystem::permissions(dir.path, std::filesystem::perms::owner_all);
    EXPECT_FALSE(calc.Table1->hasUnsavedChanges());
    EXPECT_THAT(lastShown(), ElementsAre("68.5", "10.2", "11.4", "400.8"));
    EXPECT_EQ(testkit::messageOf([&] { calc.SaveOnClose(); }), "(no error)");
    EXPECT_EQ(tableBytes(), goldenBytes("food-enciphered.d"));
    EXPECT_EQ(dir.entryCount(), 1u);
}

TEST_F(RecipeSave, AValueTheFieldRefusesAbandonsTheCloseAndDiscardsNothing) {
    useFoodTable();
    calc.OpenRecipeTables();
    setQuantity("Pasta di semola", "55");
    // A control bound to the quantity holds text that is no number, not yet written.
    TFieldDataLink link;
    link.setDataSource(calc.DataSource1);
    link.setFieldName("Quantita");
    AnsiString typed = "1e";
    link.OnUpdateData = [&] { calc.Table1Quantita->setStringValue(typed); };
    goTo("Parmigiano");
    calc.Table1->beginEdit();
    link.markModified();

    EXPECT_EQ(testkit::messageOf([&] { calc.SaveOnClose(); }),
              "'1e' is not a valid floating point value for field 'Quantita'");
    // The user's typing mistake: nothing is discarded, nothing written, the edit goes on.
    EXPECT_EQ(calc.Table1->State(), stateEdit);
    EXPECT_EQ(calc.Table1Nome->stringValue(), "Parmigiano");
    EXPECT_TRUE(link.Modified());
    EXPECT_TRUE(calc.Table1->hasUnsavedChanges());
    EXPECT_EQ(tableBytes(), goldenBytes("food-enciphered.d"));

    // Mended, the next close writes both quantities.
    typed = "20";
    calc.SaveOnClose();
    EXPECT_EQ(calc.Table1->State(), stateBrowse);
    forgetPasswords();
    RecipeCalculator next;
    next.OpenRecipeTables();
    std::vector<std::pair<AnsiString, AnsiString>> stored;
    for (next.Table1->moveFirst(); !next.Table1->atEnd(); next.Table1->moveNext())
        stored.emplace_back(next.Table1Nome->stringValue(), next.Table1Quantita->stringValue());
    EXPECT_THAT(stored,
                ::testing::Contains(std::pair<AnsiString, AnsiString>("Pasta di semola", "55")));
    EXPECT_THAT(stored, ::testing::Contains(std::pair<AnsiString, AnsiString>("Parmigiano", "20")));
}

// The save runs in a child process whose files may not grow past a few bytes, which stops the
// write whoever runs the test. The child answers which check failed through its exit code.
int RecipeSave::saveUnderAFileSizeLimit() {
    calc.OpenRecipeTables();
    setQuantity("Pasta di semola", "50");
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64, 64};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
        return 10;
    const std::string message = testkit::messageOf([&] { calc.SaveOnClose(); });
    if (message.find("alimenti.d") == std::string::npos)
        return 11;
    if (calc.Table1->hasUnsavedChanges())
        return 12;
    if (lastShown() != std::vector<AnsiString>{"68.5", "10.2", "11.4", "400.8"})
        return 13;
    calc.Table1->moveFirst();
    if (calc.Table1Quantita->floatValue() != 80)
        return 14;
    if (testkit::messageOf([&] { calc.SaveOnClose(); }) != "(no error)")
        return 15;
    return 0;
}

TEST_F(RecipeSave, AFailedSaveDiscardsRaisesAgainAndLeavesTheOldFileEvenForRoot) {
    // The child must work in this test's folder: it is forked, not started afresh.
    GTEST_FLAG_SET(death_test_style, "fast");
    useFoodTable();
    EXPECT_EXIT(std::_Exit(saveUnderAFileSizeLimit()), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(tableBytes(), goldenBytes("food-enciphered.d"));
    EXPECT_EQ(dir.entryCount(), 1u);
}

} // namespace
} // namespace cibrano::testing
