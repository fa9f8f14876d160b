#include "platform/DatabaseError.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace cibrano;
namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/cibrano-files-XXXXXX";
        path = ::mkdtemp(tmpl);
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path, fs::perms::owner_all, ec);
        fs::remove_all(path, ec);
    }
    std::string file(const char* name) const { return path + "/" + name; }
    std::string path;
};

size_t entriesIn(const std::string& dir) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

} // namespace

TEST(AtomicFileWriter, ReplacesTheFileOnlyOnCommit) {
    TempDir dir;
    std::string target = dir.file("alimenti.d");
    writeFileAtomically(target, "old");
    {
        AtomicFileWriter w(target);
        w.write("new contents", 12);
        w.writeAt(0, "N", 1);
        EXPECT_EQ(readWholeFile(target).value(), "old");
        w.commit();
    }
    EXPECT_EQ(readWholeFile(target).value(), "New contents");
    EXPECT_EQ(entriesIn(dir.path), 1u); // no temporary file left
}

TEST(AtomicFileWriter, AbandonedWriteLeavesOldFileAndNoLeftovers) {
    TempDir dir;
    std::string target = dir.file("alimenti.d");
    writeFileAtomically(target, "old");
    {
        AtomicFileWriter w(target);
        w.write("half", 4);
    }
    EXPECT_EQ(readWholeFile(target).value(), "old");
    EXPECT_EQ(entriesIn(dir.path), 1u);
}

TEST(AtomicFileWriter, MissingFolderRaisesErrorNamingTheFile) {
    try {
        writeFileAtomically("/nonexistent-folder/alimenti.d", "data");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent-folder/alimenti.d"), std::string::npos);
    }
}

TEST(Files, BackupCopyAndExtensionChange) {
    TempDir dir;
    std::string table = dir.file("alimenti.d");
    EXPECT_FALSE(copyFileReplacing(table, dir.file("alimenti.~d"))); // nothing to copy yet
    writeFileAtomically(table, "v1");
    writeFileAtomically(dir.file("alimenti.~d"), "older backup");
    EXPECT_TRUE(copyFileReplacing(table, changeFileExt(table, ".~d")));
    EXPECT_EQ(readWholeFile(dir.file("alimenti.~d")).value(), "v1");
    EXPECT_EQ(changeFileExt("/a.b/table", ".~d"), "/a.b/table.~d");
    EXPECT_EQ(changeFileExt("food.d", ".~d"), "food.~d");
    EXPECT_FALSE(readWholeFile(dir.file("missing")).has_value());
}
