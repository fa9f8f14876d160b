// The command-line tool names files in its messages as the user typed them, whatever their
// characters.

#include "platform/Files.h"
#include "tests/platform/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace cibrano {
namespace {

const std::string kTool = CIBRANO_BINARY_DIR "/tools/cibrano-table";

class ToolFileNames : public ::testing::Test {
protected:
    ToolFileNames() { std::filesystem::create_directory(folder()); }
    std::string folder() const { return dir.file("Citt\xC3\xA0"); }
    // Runs the tool and answers what it wrote to its error output.
    std::string errorsOf(const std::string& arguments) {
        const std::string err = dir.file("err");
        const std::string command =
            "'" + kTool + "' " + arguments + " </dev/null >/dev/null 2>'" + err + "'";
        const int raw = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) != 0) << command;
        return readWholeFile(err).value_or("");
    }

    testkit::TempDir dir;
};

TEST_F(ToolFileNames, AFileThatCannotBeWrittenIsNamedInUtf8AsTyped) {
    writeFileAtomically(folder() + "/cibi.csv", "Nome,Kcalorie\nPane,275\n");
    std::filesystem::create_directory(folder() + "/cibi.d");
    writeFileAtomically(folder() + "/cibi.d/keep", "x");
    const std::string err =
        errorsOf("import '" + folder() + "/cibi.csv' '" + folder() + "/cibi.d' --force");
    EXPECT_NE(err.find(folder() + "/cibi.d: "), std::string::npos) << err;
    EXPECT_EQ(err.find("Citt\xC3\x83"), std::string::npos) << err; // no "CittÃ"
}

TEST_F(ToolFileNames, AMissingFileIsNamedInUtf8AsTyped) {
    const std::string err = errorsOf("info '" + folder() + "/manca.d'");
    EXPECT_NE(err.find(folder() + "/manca.d"), std::string::npos) << err;
    EXPECT_EQ(err.find("Citt\xC3\x83"), std::string::npos) << err;
}

} // namespace
} // namespace cibrano
