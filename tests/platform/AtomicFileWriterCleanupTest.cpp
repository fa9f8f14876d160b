// Temporary files left by killed saves: the next save of the same file removes those of
// processes that no longer run, and nothing else.

#include "platform/Files.h"
#include "tests/platform/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

using namespace cibrano;
using testkit::TempDir;

namespace {

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

// The id of a process that has ended.
pid_t endedProcess() {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

} // namespace

TEST(AtomicFileWriterCleanup, RemovesOnlyTheTemporariesOfEndedSaves) {
    TempDir dir;
    const std::string target = dir.file("alimenti.d");
    writeFileAtomically(target, "old");
    const std::string dead = std::to_string(endedProcess());
    const std::string stale = "alimenti.d.tmp-" + dead + "-a1B2c3";
    const std::set<std::string> kept = {
        "alimenti.d",
        "alimenti.d.tmp-1-a1B2c3",               // a process that runs
        "alimenti.d.tmp-" + dead + "-abc",       // not a name the writer makes
        "alimenti.d.tmp-x" + dead + "-a1B2c3",   // nor this
        "alimenti.d.tmp-a1B2c3",                 // no process id
        "altro.d.tmp-" + dead + "-a1B2c3",       // another file's
        "alimenti.d.tmp-" + dead + "-folder",    // a folder
        "alimenti.d.tmp-" + dead + "-a1B2c3.txt" // the user's own file
    };
    for (const std::string& name : kept)
        if (name != "alimenti.d" && name.find("folder") == std::string::npos)
            writeFileAtomically(dir.file(name), "x");
    std::filesystem::create_directory(dir.file("alimenti.d.tmp-" + dead + "-folder"));
    {
        // Written directly: the writer itself would already tidy up.
        std::FILE* f = std::fopen(dir.file(stale).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("half a table", f);
        std::fclose(f);
    }
    ASSERT_EQ(namesIn(dir.path).count(stale), 1u);

    writeFileAtomically(target, "new");
    EXPECT_EQ(namesIn(dir.path), kept);
    EXPECT_EQ(readWholeFile(target).value(), "new");
}

TEST(AtomicFileWriterCleanup, BackupCopyIsAllOrNothing) {
    TempDir dir;
    const std::string table = dir.file("alimenti.d");
    const std::string backup = dir.file("alimenti.~d");
    writeFileAtomically(table, std::string(200000, 't'));
    writeFileAtomically(backup, "older backup");
    // The copy cannot replace a folder: the older backup is not touched, nothing is left.
    const std::string folder = dir.file("cartella.~d");
    std::filesystem::create_directory(folder);
    EXPECT_FALSE(copyFileReplacing(table, folder));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    std::filesystem::permissions(table, std::filesystem::perms::owner_read |
                                            std::filesystem::perms::owner_write);
    EXPECT_TRUE(copyFileReplacing(table, backup));
    EXPECT_EQ(readWholeFile(backup).value(), std::string(200000, 't'));
    // A private table has a private backup.
    EXPECT_EQ(std::filesystem::status(backup).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_FALSE(copyFileReplacing(folder, backup)); // a folder is not copied
    EXPECT_EQ(namesIn(dir.path),
              (std::set<std::string>{"alimenti.d", "alimenti.~d", "cartella.~d"}));
}
