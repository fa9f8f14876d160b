// A new, empty table file made from field descriptions: it opens as a table with those fields
// and no records, enciphered under the password given, and a failure names the file and
// leaves what was there.

#include "ZerovTableTestSupport.h"

#include "dataset/Field.h"
#include "engine/file/NewTableFile.h"
#include "engine/file/ZerovCursor.h"
#include "tests/platform/ErrorMessage.h"

#include <filesystem>

using namespace cibrano;
using namespace cibrano::testing;
using testkit::messageOf;

namespace {

const std::vector<FieldDescription> kRecipeFields = {
    {"Codice", ftAutoInc, 0}, {"Nome", ftString, 50},        {"Porzioni", ftInteger, 0},
    {"Note", ftMemo, 0},      {"Modificata", ftDateTime, 0},
};

class NewTableFile : public ZerovTableFixture {};

TEST_F(NewTableFile, OpensEmptyWithItsFieldsAndTakesRecords) {
    const std::string path = dir.file("ricette.d");
    createTableFile(path, kRecipeFields, kFoodPassword);
    forgetPasswords();

    TZerovTable t;
    t.setTableName(path);
    t.setPassword(kFoodPassword);
    t.open();
    EXPECT_TRUE(t.store()->isEnciphered());
    EXPECT_EQ(t.recordCount(), 0);
    ASSERT_EQ(t.store()->fieldCount(), 5);
    EXPECT_EQ(t.store()->fieldAt(0)->storageKind, kindAutoInc);
    EXPECT_EQ(t.store()->fieldAt(1)->storageKind, kindText);
    EXPECT_EQ(t.store()->fieldAt(1)->declaredSize, 50);
    EXPECT_EQ(t.store()->fieldAt(2)->storageKind, kindInteger);
    EXPECT_EQ(t.store()->fieldAt(3)->storageKind, kindMemo);
    EXPECT_EQ(t.store()->fieldAt(4)->storageKind, kindDateTime);

    // Saved and read again, a record gets the first automatic number.
    t.beginAppend();
    t.fieldByName("Nome")->setStringValue("Minestrone");
    t.postRecord();
    t.saveChanges();
    t.close();
    t.open();
    ASSERT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.fieldByName("Codice")->integerValue(), 1);
    EXPECT_EQ(t.fieldByName("Nome")->stringValue(), "Minestrone");
}

TEST_F(NewTableFile, WithoutPasswordIsPlainAndAWrongPasswordDoesNotOpenIt) {
    const std::string plain = dir.file("plain.d");
    createTableFile(plain, kRecipeFields, "");
    TZerovTable p;
    p.setTableName(plain);
    p.open();
    EXPECT_FALSE(p.store()->isEnciphered());

    const std::string secret = dir.file("secret.d");
    createTableFile(secret, kRecipeFields, kFoodPassword);
    forgetPasswords();
    TZerovTable s;
    s.setTableName(secret);
    s.setPassword("ALTRA");
    EXPECT_NE(messageOf([&] { s.open(); }), "(no error)");
    EXPECT_FALSE(s.Active());
}

TEST_F(NewTableFile, FailuresNameTheFileAndLeaveWhatWasThere) {
    // Fields the description cannot hold: refused before any file exists.
    const std::string path = dir.file("nuovo.d");
    EXPECT_NE(messageOf([&] {
                  createTableFile(path, {{"Nome", ftString, 40000}}, "");
              }),
              "(no error)");
    EXPECT_FALSE(std::filesystem::exists(path));

    // A folder where the file should go stays a folder with what it holds.
    const std::string taken = dir.file("preso.d");
    std::filesystem::create_directory(taken);
    writeFileAtomically(taken + "/dentro", "kept");
    const std::string message = messageOf([&] { createTableFile(taken, kRecipeFields, ""); });
    EXPECT_NE(message.find(taken), std::string::npos) << message;
    EXPECT_EQ(readWholeFile(taken + "/dentro").value_or(""), "kept");
}

} // namespace
