// The program started in a folder whose name has an accent: the message about the missing
// food table names the folder as the user sees it.

#include "app/alimenti.h"

#include "tests/windows/WindowTestSupport.h"

#include "platform/qt/QtText.h"

#include <filesystem>

namespace cibrano::testing {
namespace {

class FolderNameMessages : public WindowFixture {};

TEST_F(FolderNameMessages, AMissingTableInAFolderWithAnAccentIsNamedAsTheUserSeesIt) {
    const std::string folder = dir.file("Citt\xC3\xA0"); // as the file system holds it
    std::filesystem::create_directory(folder);
    std::filesystem::current_path(folder);
    TForm1 f;
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].text,
              "Table1: Error opening file " + dir.path + "/Citt\xE0/alimenti.d.");
    EXPECT_EQ(toQt(ui.errors[0].text), QString::fromUtf8("Table1: Error opening file ") +
                                           QString::fromStdString(dir.path) +
                                           QString::fromUtf8("/Citt\u00E0/alimenti.d."));
    EXPECT_TRUE(f.close());
}

} // namespace
} // namespace cibrano::testing
