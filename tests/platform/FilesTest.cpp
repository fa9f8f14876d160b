#include "platform/Files.h"
#include "platform/DatabaseError.h"
#include "tests/platform/ErrorMessage.h"
#include "tests/platform/TempDir.h"

#include <gtest/gtest.h>

using namespace cibrano;
using testkit::TempDir;

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
    EXPECT_EQ(dir.entryCount(), 1u); // no temporary file left
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
    EXPECT_EQ(dir.entryCount(), 1u);
}

TEST(AtomicFileWriter, MissingFolderRaisesErrorNamingTheFile) {
    EXPECT_NE(testkit::messageOf([] {
                  writeFileAtomically("/nonexistent-folder/alimenti.d", "data");
              }).find("/nonexistent-folder/alimenti.d"),
              std::string::npos);
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
