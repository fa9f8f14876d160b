// Saves that fail at every step: the disk full at each point of the write, the folder or the
// old file that cannot be changed, the file or the temporary file taken away or replaced by a
// folder while the save runs, and processes killed at random moments. The old file stays byte
// for byte as it was (or is replaced by the complete new one), the error names the file, and
// no temporary file outlives the save that made it.
//
// Saves that must fail for real run in a child process (fork): a file size limit there cannot
// touch the test program, and a killed child is a crash in the middle of a save.

#include "TableImageTestSupport.h"
#include "ZerovTableTestSupport.h"

#include "platform/ScriptedUi.h"
#include "tests/platform/ErrorMessage.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <iostream>
#include <linux/fs.h>
#include <random>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>

using namespace cibrano;
using namespace cibrano::testing;

namespace {

const char kPassword[] = "QUARZOFELCEBRUM";

struct ChildOutcome {
    bool saved = false;  // the child returned from the save
    std::string message; // the error it raised, if any
    bool killed = false; // it died of a signal
};

// Runs `prepare` then `save` in a child process and reports how it went. The child does only
// that and leaves with _exit, as a forked copy of a test program must.
ChildOutcome inChild(const std::function<void()>& save, const std::function<void()>& prepare) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        ADD_FAILURE() << "pipe";
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::string report = "saved";
        try {
            if (prepare)
                prepare();
            save();
        } catch (const EDatabaseError& e) {
            report = "error:" + e.message();
        } catch (...) {
            report = "error:(not a database error)";
        }
        (void)!::write(pipeFds[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string report;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        report.append(buffer, static_cast<size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ChildOutcome outcome;
    outcome.killed = WIFSIGNALED(status);
    outcome.saved = report == "saved";
    if (report.rfind("error:", 0) == 0)
        outcome.message = report.substr(6);
    return outcome;
}

// Sets or clears the immutable flag of a file or folder: even root cannot change such a one.
bool setImmutable(const std::string& path, bool on) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

class Immutable {
public:
    explicit Immutable(std::string path) : path_(std::move(path)), on_(setImmutable(path_, true)) {}
    ~Immutable() {
        if (on_)
            setImmutable(path_, false);
    }
    bool on() const { return on_; }

private:
    std::string path_;
    bool on_;
};

std::vector<std::string> temporariesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (auto& e : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = e.path().filename().string();
        if (name.find(".tmp-") != std::string::npos)
            names.push_back(name);
    }
    return names;
}

class TableSaveFault : public ::testing::Test {
protected:
    void SetUp() override {
        AnsiString message;
        ASSERT_TRUE(readImage(store, goldenBytes("food-plain.d"), message)) << message;
        path = dir.file("alimenti.d");
        store.saveTableFile(path, {}, false, "");
        old = fileBytes(path);
        // The table grows so that the new image differs from the old one and spans several
        // writes in slow mode.
        for (int r = 0; r < 3000; ++r) {
            Buffer b(store);
            b.text("Gruppo", "Gruppo " + std::to_string(r)).text("Nome", std::string(60, 'n'));
            b.set("Kcalorie", 100.0 + r);
            ASSERT_TRUE(store.putRecord(b.get(), nullptr, message)) << message;
        }
    }

    static std::string fileBytes(const std::string& p) {
        return readWholeFile(p).value_or("<none>");
    }

    // The old file is as it was, and no temporary file is left beside it.
    void expectOldFileIntact() {
        EXPECT_EQ(fileBytes(path), old);
        EXPECT_EQ(temporariesIn(dir.path), std::vector<std::string>{});
    }

    void expectErrorNamingTheFile(const ChildOutcome& outcome, const char* reason) {
        EXPECT_FALSE(outcome.saved);
        EXPECT_FALSE(outcome.killed);
        EXPECT_NE(outcome.message.find(path), std::string::npos) << outcome.message;
        EXPECT_NE(outcome.message.find(reason), std::string::npos) << outcome.message;
    }

    std::function<void()> saving(TSaveOptions options) {
        return [this, options] { store.saveTableFile(path, options, false, ""); };
    }

    ScriptedUi ui;
    TempDir dir;
    TZerovCursor store;
    std::string path;
    std::string old;
};

const TSaveOptions kOptionSets[] = {TSaveOptions{}, TSaveOptions{savSlowMode},
                                    TSaveOptions{savAutoBackup},
                                    TSaveOptions{savSlowMode, savAutoBackup}};

} // namespace

// The disk fills up at every kind of point: before the first byte, in the header, in the
// description section, in the records, one byte before the end.
TEST_F(TableSaveFault, DiskFullAtAnyPointLeavesTheOldFile) {
    TMemoryStream image;
    const size_t full = store.writeTableImage(image);
    int cases = 0;
    for (const char* password : {"", kPassword})
        for (TSaveOptions options : kOptionSets)
            for (size_t limit :
                 {size_t{0}, size_t{3}, size_t{20}, size_t{100}, old.size(), full / 2, full - 1}) {
                SCOPED_TRACE(std::string(*password ? "enciphered" : "plain") + " limit " +
                             std::to_string(limit) +
                             (options.contains(savSlowMode) ? " slow" : " memory") +
                             (options.contains(savAutoBackup) ? " backup" : ""));
                store.setPassword(password);
                const ChildOutcome outcome = inChild(saving(options), [limit] {
                    std::signal(SIGXFSZ, SIG_IGN);
                    rlimit r{};
                    ::getrlimit(RLIMIT_FSIZE, &r);
                    r.rlim_cur = limit;
                    ::setrlimit(RLIMIT_FSIZE, &r);
                });
                expectErrorNamingTheFile(outcome, "Cannot write file");
                expectOldFileIntact();
                // The backup copy is either not made or a whole copy of the old file.
                if (fileExists(dir.file("alimenti.~d"))) {
                    EXPECT_EQ(fileBytes(dir.file("alimenti.~d")), old);
                }
                ++cases;
            }
    std::cout << "[ figures  ] " << cases << " saves on a full disk failed cleanly\n";
}

// A folder that cannot be changed, even by root: the immutable flag (chmod where the file
// system has no such flag and the tests do not run as root).
TEST_F(TableSaveFault, ReadOnlyFolderLeavesTheOldFile) {
    Immutable locked(dir.path);
    if (!locked.on()) {
        std::filesystem::permissions(dir.path, std::filesystem::perms::owner_read |
                                                   std::filesystem::perms::owner_exec);
        const std::string probe = dir.file("probe");
        const int fd = ::open(probe.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.c_str());
            std::filesystem::permissions(dir.path, std::filesystem::perms::owner_all);
            GTEST_SKIP() << "no immutable flag on this file system, and root writes into "
                            "read-only folders";
        }
    }
    for (TSaveOptions options : kOptionSets) {
        const ChildOutcome outcome = inChild(saving(options), nullptr);
        expectErrorNamingTheFile(outcome, "Cannot create a temporary file beside file");
        expectOldFileIntact();
    }
    if (!locked.on())
        std::filesystem::permissions(dir.path, std::filesystem::perms::owner_all);
}

// The old file itself cannot be replaced.
TEST_F(TableSaveFault, OldFileThatCannotBeReplacedStaysAsItWas) {
    Immutable locked(path);
    if (!locked.on())
        GTEST_SKIP() << "no immutable flag on this file system";
    for (TSaveOptions options : kOptionSets) {
        const ChildOutcome outcome = inChild(saving(options), nullptr);
        expectErrorNamingTheFile(outcome, "Cannot replace file");
        expectOldFileIntact();
    }
}

// Where the table file was, there is now a folder: the save fails at the rename and the folder
// keeps what it holds.
TEST_F(TableSaveFault, TableReplacedByAFolderIsLeftAlone) {
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    writeFileAtomically(path + "/inside", "kept");
    for (TSaveOptions options : kOptionSets) {
        const ChildOutcome outcome = inChild(saving(options), nullptr);
        expectErrorNamingTheFile(outcome, "Cannot replace file");
        EXPECT_EQ(fileBytes(path + "/inside"), "kept");
        EXPECT_EQ(temporariesIn(dir.path), std::vector<std::string>{});
    }
}

// The folder named in the path is a file: nothing can be created, and that file is untouched.
TEST_F(TableSaveFault, FolderThatIsAFileFailsWithoutTouchingIt) {
    const std::string notAFolder = dir.file("cartella");
    writeFileAtomically(notAFolder, "a file");
    path = notAFolder + "/alimenti.d";
    for (TSaveOptions options : kOptionSets) {
        const ChildOutcome outcome = inChild(saving(options), nullptr);
        expectErrorNamingTheFile(outcome, "Not a directory");
        EXPECT_EQ(fileBytes(notAFolder), "a file");
    }
}

// While a slow-mode save writes its records, something else works in the folder.
TEST_F(TableSaveFault, ChangesInTheFolderWhileSaving) {
    auto midway = [this](std::function<void()> act) {
        store.onProgress = [act, done = false](int percent) mutable {
            if (percent >= 50 && !done) {
                done = true;
                act();
            }
        };
    };

    // The old file removed: the save goes on and leaves the complete new file.
    midway([this] { std::filesystem::remove(path); });
    ChildOutcome outcome = inChild(saving({savSlowMode}), nullptr);
    EXPECT_TRUE(outcome.saved) << outcome.message;
    TZerovCursor back;
    AnsiString message;
    ASSERT_TRUE(readImage(back, fileBytes(path), message)) << message;
    EXPECT_EQ(back.entryCount(), store.entryCount());
    EXPECT_EQ(temporariesIn(dir.path), std::vector<std::string>{});

    // The old file replaced by a folder.
    writeFileAtomically(path, old);
    midway([this] {
        std::filesystem::remove(path);
        std::filesystem::create_directory(path);
    });
    outcome = inChild(saving({savSlowMode}), nullptr);
    expectErrorNamingTheFile(outcome, "Cannot replace file");
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(temporariesIn(dir.path), std::vector<std::string>{});
    std::filesystem::remove(path);

    // The temporary file taken away: nothing to put in place, the old file stays.
    writeFileAtomically(path, old);
    midway([this] {
        for (const std::string& name : temporariesIn(dir.path))
            std::filesystem::remove(dir.file(name));
    });
    outcome = inChild(saving({savSlowMode}), nullptr);
    expectErrorNamingTheFile(outcome, "Cannot replace file");
    expectOldFileIntact();
    store.onProgress = nullptr;
}

// A process killed at any moment of a save of a large table leaves the old file or the whole
// new one, never a mix; a temporary file can remain only from a save killed before its rename,
// and the next save removes it.
TEST_F(TableSaveFault, KilledWhileSavingLeavesTheOldOrTheNewFile) {
    // A table of several megabytes.
    AnsiString message;
    for (int r = 0; r < 30000; ++r) {
        Buffer b(store);
        b.text("Gruppo", "Gruppo " + std::to_string(r % 97))
            .text("Nome", "Alimento numero " + std::to_string(r) + std::string(r % 90, 'x'));
        b.set("Kcalorie", 1.5 * r).set("Proteine", r / 7.0);
        ASSERT_TRUE(store.putRecord(b.get(), nullptr, message)) << message;
    }
    TMemoryStream image;
    store.writeTableImage(image);
    const std::string fresh(image.bytes());
    ASSERT_GT(fresh.size(), size_t{3} << 20);

    // How long a whole save takes here, so that the kills fall all over it.
    auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(inChild(saving({}), nullptr).saved);
    const auto saveTime = std::chrono::steady_clock::now() - started;
    ASSERT_EQ(fileBytes(path), fresh);

    // Up to a hundred kills, for at most ten seconds.
    std::mt19937 random(20261208);
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int rounds = 0, keptOld = 0, gotNew = 0, leftovers = 0;
    for (; rounds < 100 && std::chrono::steady_clock::now() < limit; ++rounds) {
        // The old file back in place (not through the writer, which would tidy the folder).
        {
            std::FILE* f = std::fopen(path.c_str(), "wb");
            ASSERT_NE(f, nullptr);
            ASSERT_EQ(std::fwrite(old.data(), 1, old.size(), f), old.size());
            std::fclose(f);
        }
        const auto delay = std::chrono::duration_cast<std::chrono::microseconds>(
            saveTime * std::uniform_real_distribution<double>(0.0, 1.2)(random));
        const TSaveOptions options = rounds % 2 ? TSaveOptions{savSlowMode} : TSaveOptions{};
        const pid_t pid = ::fork();
        if (pid == 0) {
            try {
                store.saveTableFile(path, options, false, "");
            } catch (...) {
                ::_exit(1);
            }
            ::_exit(0);
        }
        std::this_thread::sleep_for(delay);
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0));

        const std::string now = fileBytes(path);
        const bool isOld = now == old;
        ASSERT_TRUE(isOld || now == fresh) << "round " << rounds << ": a file of " << now.size()
                                           << " bytes that is neither the old nor the new one";
        // A temporary file of this save remains only when the save died before its rename.
        const std::string own = "alimenti.d.tmp-" + std::to_string(pid) + "-";
        int ownLeft = 0;
        for (const std::string& name : temporariesIn(dir.path))
            if (name.rfind(own, 0) == 0)
                ++ownLeft;
        ASSERT_LE(ownLeft, 1);
        if (ownLeft) {
            ASSERT_TRUE(isOld);
        }
        keptOld += isOld;
        gotNew += !isOld;
        leftovers += ownLeft;
    }
    // The next save tidies what the killed ones left.
    store.saveTableFile(path, {}, false, "");
    EXPECT_EQ(fileBytes(path), fresh);
    EXPECT_EQ(temporariesIn(dir.path), std::vector<std::string>{});
    // A plain build makes about a hundred rounds in the time given; a loaded machine or the
    // sanitizers (each fork copies their large mappings) fewer.
    EXPECT_GE(rounds, 8);
    std::cout << "[ figures  ] " << rounds << " saves killed: " << keptOld << " left the old file, "
              << gotNew << " the new one, " << leftovers
              << " a temporary file that the next save removed\n";
}

// Through the table component, as the program saves: the error names the file, and the table
// keeps its changes so that a later save can still write them.
class TableComponentSaveFault : public ZerovTableFixture {};

TEST_F(TableComponentSaveFault, FailedSaveKeepsTheChangesAndNamesTheFile) {
    const std::string path = copyGolden("food-enciphered.d", "alimenti.d");
    TZerovDatabase db;
    db.setDatabasePath(dir.path + "/");
    TZerovTable t;
    t.setDatabase(&db);
    t.setTableName("alimenti.d");
    t.setPassword(kFoodPassword);
    t.open();
    t.moveFirst();
    setValue(t, "Quantita", "42.5");

    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    const std::string message = testkit::messageOf([&] { t.saveChanges(); });
    EXPECT_NE(message.find("Cannot replace file " + path), std::string::npos) << message;
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(temporariesIn(dir.path), std::vector<std::string>{});
    EXPECT_TRUE(t.hasUnsavedChanges());

    std::filesystem::remove(path);
    t.saveChanges();
    TZerovCursor back;
    back.setPassword(kFoodPassword);
    AnsiString readMessage;
    ASSERT_TRUE(readImage(back, readWholeFile(path).value(), readMessage)) << readMessage;
    EXPECT_EQ(valueOf<double>(back, back.recordAt(0), "Quantita"), 42.5);
}
