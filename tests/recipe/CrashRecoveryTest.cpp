// The recovery file of unsaved quantities: written when they differ from the table's file and
// only then, removed when none differ, put back by the next run, set aside when declined, and
// refused, with nothing applied, when damaged, keyed otherwise or made for another table.

#include "tests/recipe/RecipeTestSupport.h"

#include "platform/Files.h"
#include "recipe/CrashRecovery.h"

#include <filesystem>

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class Recovery : public RecipeFixture {
protected:
    Recovery() {
        useFoodTable();
        calc.OpenRecipeTables();
        recovery.noteTableOpened();
    }

    std::string file() const { return dir.file(CrashRecovery::kFileName); }
    std::string setAside() const { return dir.file(CrashRecovery::kSetAsideFileName); }

    // The next run of the program on the same folder, after this one ended without saving.
    struct NextRun {
        RecipeCalculator calc;
        CrashRecovery recovery{calc};
        NextRun() {
            calc.OpenRecipeTables();
            recovery.noteTableOpened();
        }
        double quantityOf(const char* nome) {
            TZerovTable& t = *calc.Table1;
            for (t.moveFirst(); !t.atEnd(); t.moveNext())
                if (calc.Table1Nome->stringValue() == nome)
                    return calc.Table1Quantita->floatValue();
            return -1;
        }
    };

    // A run typed two quantities (one still in its editor) and ended without saving.
    void typeAndWrite() {
        setQuantity("Parmigiano", "30");
        goTo("Pasta di semola");
        calc.Table1->beginEdit();
        calc.Table1Quantita->setStringValue("125");
        recovery.writeNow();
        calc.Table1->cancelRecord();
    }

    CrashRecovery recovery{calc};
};

TEST_F(Recovery, IsWrittenWhenQuantitiesDifferAndOnlyThen) {
    recovery.writeNow();
    EXPECT_FALSE(fileExists(file())); // nothing typed

    setQuantity("Parmigiano", "30");
    recovery.writeNow();
    const std::optional<std::string> first = readWholeFile(file());
    ASSERT_TRUE(first);
    // The file is enciphered: no name shows in it.
    EXPECT_EQ(first->find("Parmigiano"), std::string::npos);
    calc.Table1->moveFirst(); // no quantity changed: not written again (a write has a new key)
    recovery.writeNow();
    EXPECT_EQ(readWholeFile(file()), first);

    setQuantity("Parmigiano", "0"); // as the file holds it: nothing to recover
    recovery.writeNow();
    EXPECT_FALSE(fileExists(file()));

    setQuantity("Parmigiano", "40");
    recovery.writeNow();
    recovery.removeFile(); // a save, or a close with nothing to save
    EXPECT_FALSE(fileExists(file()));
}

TEST_F(Recovery, TheNextRunGetsTheQuantitiesBackAsUnsavedChanges) {
    typeAndWrite();
    NextRun next;
    const RecoveryFound found = next.recovery.examine();
    ASSERT_EQ(found.kind, RecoveryFound::offer);
    ASSERT_EQ(found.quantities.size(), 2u);
    EXPECT_EQ(found.quantities[0].Nome, "Pasta di semola");
    EXPECT_EQ(found.quantities[0].Quantita, 125.0);
    EXPECT_EQ(found.quantities[1].Nome, "Parmigiano");

    // A food no longer in the table is counted and skipped.
    std::vector<RecoveredQuantity> asked = found.quantities;
    asked.push_back({"Cereali", "Farro", 1, 70});
    EXPECT_EQ(next.recovery.apply(asked), 1);
    EXPECT_EQ(next.quantityOf("Pasta di semola"), 125.0);
    EXPECT_EQ(next.quantityOf("Parmigiano"), 30.0);
    EXPECT_TRUE(next.calc.Table1->hasUnsavedChanges());
    EXPECT_TRUE(fileExists(file())); // until saved
}

TEST_F(Recovery, ADeclinedFileIsSetAsideAndTheStartAfterRemovesIt) {
    typeAndWrite();
    {
        NextRun next;
        ASSERT_EQ(next.recovery.examine().kind, RecoveryFound::offer);
        next.recovery.decline();
        EXPECT_FALSE(fileExists(file()));
        EXPECT_TRUE(fileExists(setAside()));
        EXPECT_EQ(next.quantityOf("Parmigiano"), 0.0);
    }
    NextRun after;
    EXPECT_EQ(after.recovery.examine().kind, RecoveryFound::nothing);
    EXPECT_FALSE(fileExists(setAside()));
}

TEST_F(Recovery, AFileOlderThanTheTableIsNotOffered) {
    typeAndWrite();
    std::filesystem::last_write_time(file(), std::filesystem::last_write_time(tablePath()) -
                                                 std::chrono::seconds(1));
    NextRun next;
    EXPECT_EQ(next.recovery.examine().kind, RecoveryFound::nothing);
    EXPECT_TRUE(fileExists(setAside()));
}

// Each bad file is refused with its reason and set aside; nothing of it reaches the table.
TEST_F(Recovery, ADamagedOrForeignFileIsRefusedAndNothingApplied) {
    typeAndWrite();
    const std::string good = *readWholeFile(file());
    const auto rewrite = [&](std::string bytes) {
        writeFileAtomically(file(), bytes);
        std::filesystem::last_write_time(file(), std::filesystem::last_write_time(tablePath()) +
                                                     std::chrono::seconds(5));
    };
    struct Case {
        std::string bytes;
        const char* reason;
    };
    std::string flipped = good;
    flipped[flipped.size() - 7] ^= 0x10;
    std::string otherKey = good;
    otherKey[20] = otherKey[20] == 'A' ? 'B' : 'A'; // the GUID the password is keyed with
    const Case cases[] = {{flipped, "\xE8 danneggiato"},
                          {good.substr(0, good.size() - 3), "\xE8 danneggiato"},
                          {"no recovery file at all", "\xE8 danneggiato"},
                          {otherKey, "con una password diversa"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        rewrite(c.bytes);
        NextRun next;
        const RecoveryFound found = next.recovery.examine();
        EXPECT_EQ(found.kind, RecoveryFound::refused);
        EXPECT_THAT(found.message, HasSubstr(c.reason));
        EXPECT_THAT(found.message, HasSubstr("non \xE8 stato usato"));
        EXPECT_TRUE(found.quantities.empty());
        EXPECT_FALSE(fileExists(file()));
        EXPECT_FALSE(next.calc.Table1->hasUnsavedChanges());
    }

    // The table was saved by another run meanwhile: the file is not about this table.
    rewrite(good);
    writeFoodTable({{"Cereali", "Pasta di semola", "0", "353", "80", "1.5", "11"}});
    std::filesystem::last_write_time(file(), std::filesystem::last_write_time(tablePath()) +
                                                 std::chrono::seconds(5));
    NextRun next;
    const RecoveryFound found = next.recovery.examine();
    EXPECT_EQ(found.kind, RecoveryFound::refused);
    EXPECT_THAT(found.message, HasSubstr("un'altra versione della tabella"));
    EXPECT_EQ(next.quantityOf("Pasta di semola"), 0.0);
}

} // namespace
} // namespace cibrano::testing
