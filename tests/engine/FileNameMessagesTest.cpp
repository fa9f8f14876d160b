// Messages that name a table file show the name as the user wrote it, whatever its
// characters; the bytes the file system gets stay as they are.

#include "dataset/Field.h"
#include "engine/file/NewTableFile.h"
#include "engine/table/ZerovTable.h"
#include "platform/DatabaseError.h"
#include "tests/platform/ErrorMessage.h"
#include "tests/platform/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace cibrano {
namespace {

class FileNameMessages : public ::testing::Test {
protected:
    FileNameMessages() { std::filesystem::create_directory(folder()); }
    // A folder named "Città", as the file system holds it (UTF-8).
    std::string folder() const { return dir.file("Citt\xC3\xA0"); }
    // The same, as messages show it (Windows-1252).
    std::string shownFolder() const { return dir.path + "/Citt\xE0"; }

    testkit::TempDir dir;
};

TEST_F(FileNameMessages, AMissingTableIsNamedAsTheUserWroteIt) {
    TZerovTable t;
    t.setName("Table1");
    t.setTableName(folder() + "/alimenti.d");
    EXPECT_EQ(testkit::messageOf([&] { t.open(); }),
              "Table1: Error opening file " + shownFolder() + "/alimenti.d");
}

TEST_F(FileNameMessages, ANewTableThatCannotBeWrittenIsNamedAsTheUserWroteIt) {
    const std::string path = folder() + "/nuova.d";
    std::filesystem::create_directory(path);
    std::ofstream(path + "/keep") << "x";
    const std::string message = testkit::messageOf([&] {
        createTableFile(path, {{"Nome", ftString, 20}}, "");
    });
    EXPECT_NE(message.find(shownFolder() + "/nuova.d"), std::string::npos) << message;
    EXPECT_EQ(message.find("\xC3"), std::string::npos) << message;
}

TEST_F(FileNameMessages, ATableThatCannotBeSavedIsNamedAsTheUserWroteIt) {
    const std::string path = folder() + "/cibi.d";
    createTableFile(path, {{"Nome", ftString, 20}}, "");
    TZerovTable t;
    t.setTableName(path);
    t.open();
    t.beginAppend();
    t.fieldByName("Nome")->setStringValue("Pane");
    t.postRecord();
    // Something stands in the file's place that no save can replace.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    std::ofstream(path + "/keep") << "x";
    const std::string message = testkit::messageOf([&] { t.saveChanges(); });
    EXPECT_NE(message.find("file " + shownFolder() + "/cibi.d: "), std::string::npos) << message;
    EXPECT_EQ(message.find("\xC3"), std::string::npos) << message;
    // The file system got the name's own bytes: the table was opened and created there.
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

} // namespace
} // namespace cibrano
