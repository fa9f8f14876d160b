// Saving table files: the options, and that a failed save never harms the old file.

#include "TableImageTestSupport.h"

#include "platform/ScriptedUi.h"
#include "tests/platform/ErrorMessage.h"

#include <csignal>
#include <sys/resource.h>

using namespace cibrano;
using namespace cibrano::testing;

namespace {

class TableFile : public ::testing::Test {
protected:
    void SetUp() override {
        AnsiString message;
        ASSERT_TRUE(readImage(store, goldenBytes("food-plain.d"), message)) << message;
        path = dir.file("alimenti.d");
    }

    std::string fileBytes(const std::string& p) { return readWholeFile(p).value_or("<none>"); }

    std::vector<std::string> namesIn(const std::string& p, const char* password = "") {
        TZerovCursor back;
        back.setPassword(password);
        AnsiString message;
        EXPECT_TRUE(readImage(back, fileBytes(p), message)) << message;
        std::vector<std::string> names;
        for (const RecordEntry* e : back.entries())
            names.push_back(textOf(back, e, "Nome"));
        return names;
    }

    ScriptedUi ui;
    TempDir dir;
    TZerovCursor store;
    std::string path;
};

// Limits the size of files this process may write, for the life of the object.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit saved_{};
    void (*previousHandler_)(int);
};

} // namespace

TEST_F(TableFile, MemoryAndSlowModeWriteTheSameBytes) {
    store.saveTableFile(path, {}, false, "");
    EXPECT_EQ(fileBytes(path), goldenBytes("food-plain.d"));
    const std::string slow = dir.file("lento.d");
    store.saveTableFile(slow, {savSlowMode}, false, "");
    EXPECT_EQ(fileBytes(slow), goldenBytes("food-plain.d"));
    EXPECT_EQ(dir.entryCount(), 2u); // no temporary file left behind
}

TEST_F(TableFile, SlowModeWithAPasswordWritesAFileTheReaderOpens) {
    store.setPassword("QUARZOFELCEBRUM");
    store.setNotes("note");
    store.saveTableFile(path, {savSlowMode}, false, "");
    const std::string bytes = fileBytes(path);
    EXPECT_EQ(bytes[4], 'P');
    EXPECT_EQ(namesIn(path, "QUARZOFELCEBRUM").size(), 5u);

    // What the slow path enciphered deciphers to the very table that was saved.
    TZerovCursor slowBack;
    slowBack.setPassword("QUARZOFELCEBRUM");
    AnsiString message;
    ASSERT_TRUE(readImage(slowBack, bytes, message)) << message;
    EXPECT_EQ(slowBack.notes(), "note");
    slowBack.setPassword("");
    store.setPassword("");
    EXPECT_EQ(writeImage(slowBack), writeImage(store));
}

TEST_F(TableFile, AutoBackupKeepsThePreviousFile) {
    store.saveTableFile(path, {savAutoBackup}, false, ""); // no old file: no backup, no error
    EXPECT_FALSE(fileExists(dir.file("alimenti.~d")));
    const std::string first = fileBytes(path);

    AnsiString message;
    ASSERT_TRUE(store.markRecordDeleted(store.recordAt(0), message));
    store.saveTableFile(path, {savAutoBackup}, false, "");
    EXPECT_EQ(fileBytes(dir.file("alimenti.~d")), first);
    EXPECT_EQ(namesIn(path).size(), 4u);
}

TEST_F(TableFile, SortOnIndexReordersTheStoreAndTheFile) {
    store.saveTableFile(path, {savSortOnIndex}, true, "nome");
    const std::vector<std::string> expected = {"Latte intero pastorizzato di alta qualit\xE0",
                                               "Olio extravergine d'oliva", "Parmigiano",
                                               "Pasta di semola", "Pomodori maturi"};
    EXPECT_EQ(namesIn(path), expected);
    EXPECT_EQ(textOf(store, store.recordAt(0), "Nome"), expected[0]);
}

TEST_F(TableFile, TooLongValuesAreRefusedBeforeAnythingIsWritten) {
    store.saveTableFile(path, {}, false, "");
    const std::string old = fileBytes(path);

    Buffer b(store);
    b.text("Nome", std::string(8192, 'n'));
    AnsiString message;
    ASSERT_TRUE(store.putRecord(b.get(), nullptr, message));
    EXPECT_EQ(testkit::messageOf([&] {
                  store.saveTableFile(path, {savAutoBackup, savSortOnIndex}, false, "Nome");
              }),
              "The text of field 'Nome' in record 6 is too long (8192 characters, at most 8191)");
    EXPECT_EQ(fileBytes(path), old);
    EXPECT_FALSE(fileExists(dir.file("alimenti.~d")));
    EXPECT_EQ(textOf(store, store.recordAt(5), "Nome").size(), 8192u); // not reordered either
    TMemoryStream image;
    EXPECT_THROW(store.writeTableImage(image), EDatabaseError);
    EXPECT_EQ(image.size(), 0u);

    store.revertAllChanges();
    store.setNotes(std::string(32768, 'x'));
    EXPECT_THROW(store.saveTableFile(path, {savSlowMode}, false, ""), EDatabaseError);
    EXPECT_EQ(fileBytes(path), old);
    store.setNotes(std::string(32767, 'x'));
    store.saveTableFile(path, {}, false, "");
    TZerovCursor back;
    ASSERT_TRUE(readImage(back, fileBytes(path), message)) << message;
    EXPECT_EQ(back.notes().size(), 32767u);
}

TEST_F(TableFile, SaveFailingMidwayLeavesTheOldFileIntact) {
    store.saveTableFile(path, {}, false, "");
    const std::string old = fileBytes(path);
    Buffer b(store);
    b.text("Nome", std::string(4000, 'n'));
    AnsiString message;
    ASSERT_TRUE(store.putRecord(b.get(), nullptr, message));

    for (TSaveOptions options : {TSaveOptions{}, TSaveOptions{savSlowMode}}) {
        SCOPED_TRACE(options.contains(savSlowMode) ? "slow" : "memory");
        bool failed = false;
        {
            FileSizeLimit limit(1000); // the disk fills up after 1000 bytes
            try {
                store.saveTableFile(path, options, false, "");
            } catch (const EDatabaseError& e) {
                failed = true;
                EXPECT_NE(e.message().find(path), std::string::npos) << e.message();
            }
        }
        EXPECT_TRUE(failed);
        EXPECT_EQ(fileBytes(path), old);
        EXPECT_EQ(dir.entryCount(), 1u);
    }
    store.saveTableFile(path, {}, false, "");
    EXPECT_EQ(namesIn(path).size(), 6u);
}
