// The table component: the golden tables through a database folder, saving and reopening,
// discarding after a save, every load mode and its failure, the property setters, clones on a
// shared store, passwords set on an open table and typed at the prompt, removal notices.

#include "tests/engine/ZerovTableTestSupport.h"
#include "tests/platform/ErrorMessage.h"

#include "dataset/FieldDefs.h"
#include "dataset/FloatField.h"
#include "dataset/StringField.h"
#include "platform/DatabaseError.h"
#include "platform/Stream.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

const std::vector<AnsiString> kFoodNames = {"Pasta di semola", "Olio extravergine d'oliva",
                                            "Pomodori maturi", "Parmigiano",
                                            "Latte intero pastorizzato di alta qualit\xE0"};

// The message of the error that opening raises.
AnsiString openError(TDataSet& t) {
    return testkit::messageOf([&] { t.open(); });
}

class ZerovTableTest : public ZerovTableFixture {};

TEST_F(ZerovTableTest, OpensTheGoldenTablesInsideTheFolderAndWalksThem) {
    copyGolden("food-plain.d", "plain.d");
    copyGolden("food-enciphered.d", "secret.d");
    TZerovDatabase db;
    db.setDatabasePath(dir.path);
    for (const char* name : {"plain.d", "secret.d"}) {
        SCOPED_TRACE(name);
        TZerovTable t;
        t.setDatabase(&db);
        t.setTableName(name);
        t.setPassword(kFoodPassword);
        t.open();
        EXPECT_EQ(t.LoadMode(), lmFile);
        EXPECT_EQ(t.recordCount(), 5);
        EXPECT_EQ(column(t, "Nome"), kFoodNames);
        EXPECT_THAT(column(t, "Kcalorie"), ElementsAre("353", "899", "19", "387", "64"));
        EXPECT_THAT(column(t, "Glucidi"), ElementsAre("79.1", "0", "3.5", "0", "4.9"));
        EXPECT_FALSE(t.StoreDefs()); // definitions of a file table come from the file
    }
    EXPECT_TRUE(ui.prompts.empty());
}

TEST_F(ZerovTableTest, PersistentFieldsGainAFieldTheFileHasWhenItsDefinitionsAreKnown) {
    copyGolden("food-plain.d", "plain.d");
    TZerovTable t;
    t.setTableName(dir.file("plain.d"));
    TStringField nome;
    nome.setFieldName("Nome");
    nome.setSize(50);
    nome.setDataSet(&t);
    TFloatField kcal;
    std::vector<AnsiString> described;
    t.OnFieldsDescribed = [&](DOvuzaZerivir* table) {
        described.push_back(table->FieldDefs().find("Kcalorie") ? "Kcalorie" : "none");
        if (table->FieldDefs().find("Kcalorie") && !kcal.DataSet()) {
            kcal.setFieldName("Kcalorie");
            kcal.setDataSet(table);
        }
    };
    t.open();
    EXPECT_EQ(described, std::vector<AnsiString>{"Kcalorie"});
    ASSERT_EQ(t.Fields().count(), 2);
    EXPECT_EQ(kcal.stringValue(), "353");
    // Reopened, the field added is there already and binds again.
    t.close();
    t.open();
    EXPECT_EQ(kcal.stringValue(), "353");
    t.close();
    kcal.setDataSet(nullptr);
    nome.setDataSet(nullptr);
}

TEST_F(ZerovTableTest, SavedValuesComeBackAndADiscardAfterSavingRevertsToTheLoadedOnes) {
    const std::string path = copyGolden("food-enciphered.d", "alimenti.d");
    TZerovDatabase db;
    db.setDatabasePath(dir.path + "\\"); // the working folder with "\" appended, as at start-up
    TZerovTable t;
    t.setDatabase(&db);
    t.setTableName("alimenti.d");
    t.setPassword(kFoodPassword);
    t.open();
    t.moveFirst();
    setValue(t, "Quantita", "42.5");
    t.moveLast();
    t.deleteRecord();
    t.saveChanges();
    EXPECT_TRUE(t.hasUnsavedChanges()); // saving does not settle the changes
    const std::string saved = readWholeFile(path).value();
    EXPECT_NE(saved, goldenBytes("food-enciphered.d"));
    EXPECT_EQ(saved[4], 'P'); // still enciphered

    t.discardChanges();
    EXPECT_FALSE(t.hasUnsavedChanges());
    EXPECT_EQ(column(t, "Nome"), kFoodNames);
    t.moveFirst();
    EXPECT_EQ(t.fieldByName("Quantita")->floatValue(), 80);
    EXPECT_EQ(readWholeFile(path).value(), saved); // a discard touches memory only

    TZerovTable again;
    again.setDatabase(&db);
    again.setTableName("alimenti.d");
    again.open(); // the session remembers the password
    EXPECT_EQ(column(again, "Nome"),
              std::vector<AnsiString>(kFoodNames.begin(), kFoodNames.end() - 1));
    again.moveFirst();
    EXPECT_EQ(again.fieldByName("Quantita")->floatValue(), 42.5);
    EXPECT_TRUE(ui.prompts.empty());
}

TEST_F(ZerovTableTest, EachLoadModeFailsClearlyAndLeavesTheTableClosedWithoutAStore) {
    TZerovDatabase db;
    db.setDatabasePath(dir.path);
    TZerovTable t;
    t.setName("Table1");
    t.setDatabase(&db);
    EXPECT_EQ(openError(t), "Table1: Error creating table (no field descriptions)");
    t.setTableName("none.d");
    EXPECT_EQ(openError(t), "Table1: Error opening file " + dir.path + "/none.d");
    writeFileAtomically(dir.file("bad.d"), "not a table at all");
    t.setTableName("bad.d");
    EXPECT_THAT(openError(t), StartsWith("Table1: Error opening table: "));
    TZerovTable source;
    t.setCloneDS(&source);
    EXPECT_EQ(openError(t), "Table1: Cloned table is not active!");
    t.setCloneDS(nullptr);
    t.setLoadMode(lmStream);
    EXPECT_EQ(openError(t), "Table1: Loading stream is not assigned");
    EXPECT_FALSE(t.Active());
    EXPECT_EQ(t.store(), nullptr);
    EXPECT_TRUE(db.openDatasets().empty());

    // A table that had opened keeps its store while closed, but not past a failed open.
    copyGolden("food-plain.d", "t.d");
    t.setTableName("t.d");
    t.open();
    t.close();
    EXPECT_NE(t.store(), nullptr);
    std::filesystem::remove(dir.file("t.d"));
    EXPECT_EQ(openError(t), "Table1: Error opening file " + dir.file("t.d"));
    EXPECT_EQ(t.store(), nullptr);
    EXPECT_FALSE(t.Active());
}

TEST_F(ZerovTableTest, TableNameLoadModeAndCloneDSChooseTheSourceAndCloseAnOpenTable) {
    const std::string path = copyGolden("food-plain.d", "t.d");
    TZerovTable t;
    EXPECT_EQ(t.LoadMode(), lmClear);
    t.setTableName(path);
    EXPECT_EQ(t.LoadMode(), lmFile);
    t.open();
    t.setTableName(path); // the same text changes nothing
    t.setLoadMode(lmFile);
    EXPECT_TRUE(t.Active());
    t.setTableName("");
    EXPECT_FALSE(t.Active());
    EXPECT_EQ(t.LoadMode(), lmClear);
    t.setTableName(path);
    t.open();
    t.setLoadMode(lmStream);
    EXPECT_FALSE(t.Active());
    EXPECT_EQ(t.TableName(), path);

    TZerovTable source;
    t.setCloneDS(&source);
    EXPECT_EQ(t.LoadMode(), lmClone);
    EXPECT_EQ(t.CloneDS(), &source);
    t.setCloneDS(nullptr);
    EXPECT_EQ(t.LoadMode(), lmClear);
    EXPECT_EQ(t.CloneDS(), nullptr);
}

TEST_F(ZerovTableTest, AFolderStripsTheDirectoryOfTheTableNameAndANameWithOneStaysItsFile) {
    TZerovTable t;
    TZerovDatabase pathless;
    t.setTableName("/elsewhere/t.d");
    t.setDatabase(&pathless);
    EXPECT_EQ(t.TableName(), "/elsewhere/t.d");
    TZerovDatabase db;
    db.setDatabasePath(dir.path);
    t.setDatabase(&db);
    EXPECT_EQ(t.TableName(), "t.d");
    EXPECT_EQ(t.LoadMode(), lmFile);
    t.setTableName("C:\\Documenti\\alimenti.d");
    t.setDatabase(nullptr);
    t.setDatabase(&db);
    EXPECT_EQ(t.TableName(), "alimenti.d");

    // A name given a directory after the folder is loaded from there and saved there.
    TempDir other;
    writeFileAtomically(other.file("t.d"), goldenBytes("food-plain.d"));
    t.setTableName(other.file("t.d"));
    t.open();
    EXPECT_EQ(t.recordCount(), 5);
    t.moveFirst();
    setValue(t, "Quantita", "3");
    t.saveChanges();
    EXPECT_NE(readWholeFile(other.file("t.d")).value(), goldenBytes("food-plain.d"));
    EXPECT_EQ(dir.entryCount(), 0u);
}

TEST_F(ZerovTableTest, NewAndStreamTablesAreNeverWrittenToAFile) {
    TZerovDatabase db;
    db.setDatabasePath(dir.path);
    TZerovTable t;
    t.setDatabase(&db);
    t.setTableName("t.d");
    t.setLoadMode(lmClear);
    t.FieldDefs().add("Nome", ftString, 20);
    t.FieldDefs().add("Peso", ftFloat);
    EXPECT_TRUE(t.StoreDefs());
    t.open();
    EXPECT_EQ(t.recordCount(), 0);
    t.beginInsert();
    t.fieldByName("Nome")->setStringValue("pane");
    t.postRecord();
    t.saveChanges();
    EXPECT_EQ(dir.entryCount(), 0u);
    t.close();
    t.open(); // made again, empty, from the definitions
    EXPECT_EQ(t.recordCount(), 0);
    t.close();

    // Reading starts at the stream's position; the stream stays the caller's.
    const std::string image = goldenBytes("food-plain.d");
    TMemoryStream stream;
    stream.writeBuffer("junk", 4);
    stream.writeBuffer(image.data(), image.size());
    stream.setPosition(4);
    t.setLoadingStream(&stream);
    t.setLoadMode(lmStream);
    t.open();
    EXPECT_EQ(column(t, "Nome"), kFoodNames);
    EXPECT_EQ(stream.size(), 4 + image.size());
    t.moveFirst();
    setValue(t, "Quantita", "1");
    t.saveChanges();
    EXPECT_EQ(dir.entryCount(), 0u);
}

TEST_F(ZerovTableTest, AClonePostsIntoTheSharedRecordsAndSeesNewOnesOnlyWhenItRebuilds) {
    const std::string path = copyGolden("food-plain.d", "t.d");
    TZerovTable source;
    source.setName("Table1");
    source.setTableName(path);
    source.open();
    TZerovTable clone;
    clone.setCloneDS(&source);
    clone.open();
    EXPECT_EQ(clone.store(), source.store());
    EXPECT_THAT(source.cloneList(), ElementsAre(&clone));
    EXPECT_EQ(column(clone, "Nome"), kFoodNames);

    source.moveFirst();
    setValue(source, "Quantita", "7");
    clone.moveFirst();
    EXPECT_EQ(clone.fieldByName("Quantita")->floatValue(), 7);

    source.beginAppend();
    source.fieldByName("Nome")->setStringValue("Riso");
    source.postRecord();
    EXPECT_EQ(clone.recordCount(), 5);
    clone.refresh();
    EXPECT_EQ(clone.recordCount(), 6);
    clone.setIndexFieldNames("Nome"); // the clone's order is its own
    EXPECT_EQ(column(clone, "Nome").front(), kFoodNames[4]);
    EXPECT_EQ(column(source, "Nome").front(), kFoodNames[0]);

    EXPECT_EQ(testkit::messageOf([&] { source.close(); }),
              "Table1: Cloned tables are not closed before source dataset is closed!");
    EXPECT_TRUE(clone.Active());
    EXPECT_EQ(clone.recordCount(), 6);
    clone.close();
    EXPECT_TRUE(source.cloneList().empty());
    EXPECT_EQ(clone.store(), nullptr);
    EXPECT_NE(source.store(), nullptr);
}

TEST_F(ZerovTableTest, SavingThroughACloneWritesTheSourcesFileWithTheClonesOptions) {
    const std::string path = copyGolden("food-plain.d", "t.d");
    TZerovDatabase db;
    db.setDatabasePath(dir.path);
    TZerovTable source;
    source.setDatabase(&db);
    source.setTableName("t.d");
    source.open();
    TZerovTable clone;
    clone.setDatabase(&db);
    clone.setCloneDS(&source);
    clone.setSaveOptions({savAutoBackup});
    clone.open();

    clone.beginAppend();
    clone.fieldByName("Nome")->setStringValue("Riso");
    clone.postRecord();
    EXPECT_EQ(source.recordCount(), 5);
    clone.saveChanges();
    EXPECT_EQ(source.recordCount(), 6); // the source's view was rebuilt
    EXPECT_EQ(readWholeFile(dir.file("t.~d")).value(), goldenBytes("food-plain.d"));
    TZerovTable reread;
    reread.setTableName(path);
    reread.open();
    EXPECT_EQ(column(reread, "Nome").back(), "Riso");

    // Discarding through the clone takes the source off the folder's modified list too.
    source.moveFirst();
    setValue(source, "Quantita", "1");
    EXPECT_THAT(db.modifiedDatasets(), ElementsAre(&clone, &source));
    clone.discardChanges();
    EXPECT_TRUE(db.modifiedDatasets().empty());
}

TEST_F(ZerovTableTest, ANewPasswordOnAnOpenTableCountsAsAChangeAndTheNextSaveEnciphersUnderIt) {
    const std::string path = copyGolden("food-plain.d", "t.d");
    TZerovTable t;
    t.setTableName(path);
    t.open();
    int needToSave = 0;
    t.OnNeedToSaveChange = [&](DOvuzaZerivir*) { ++needToSave; };
    t.setPassword("nuova");
    EXPECT_EQ(t.changeCount(), 1);
    EXPECT_EQ(needToSave, 0);
    EXPECT_EQ(t.Password(), "nuova");
    EXPECT_THAT(session().rememberedPasswords(), ElementsAre("nuova"));
    t.saveChanges();
    EXPECT_EQ(readWholeFile(path).value()[4], 'P');

    forgetPasswords();
    {
        TZerovTable other;
        other.setTableName(path);
        ui.queuePassword(std::nullopt);
        EXPECT_THAT(openError(other), StartsWith("Error opening table: Invalid password"));
        other.setPassword("nuova");
        other.open();
        EXPECT_EQ(column(other, "Nome"), kFoodNames);
    }

    // Emptied, it is forgotten and the table is written plain again.
    t.setPassword("");
    EXPECT_TRUE(session().rememberedPasswords().empty());
    t.saveChanges();
    EXPECT_EQ(readWholeFile(path).value(), goldenBytes("food-plain.d"));
}

TEST_F(ZerovTableTest, AWrongPasswordAtThePromptFailsTheOpenAndKeepsTheTableClosed) {
    const std::string path = copyGolden("food-enciphered.d", "t.d");
    TZerovTable t;
    t.setTableName(path);
    for (int i = 0; i < 3; ++i)
        ui.queuePassword("sbagliata");
    EXPECT_EQ(openError(t), "Error opening table: Invalid password. Table cannot be open");
    EXPECT_FALSE(t.Active());
    EXPECT_EQ(t.store(), nullptr);
    EXPECT_EQ(ui.prompts.size(), 3u);
    EXPECT_EQ(ui.warnings.size(), 2u);

    ui.queuePassword(AnsiString(kFoodPassword));
    t.open();
    EXPECT_EQ(t.recordCount(), 5);
    EXPECT_EQ(t.Password(), kFoodPassword); // the password typed is the table's
}

TEST_F(ZerovTableTest, ACloneForgetsADestroyedSourceAndATableItsDestroyedFolder) {
    copyGolden("food-plain.d", "t.d");
    auto* db = new TZerovDatabase;
    db->setDatabasePath(dir.path);
    auto* source = new TZerovTable;
    source->setDatabase(db);
    source->setTableName("t.d");
    TZerovTable clone;
    clone.setDatabase(db);
    clone.setCloneDS(source);
    source->open();
    clone.open();

    delete source; // out of order: the source takes its clone down first
    EXPECT_FALSE(clone.Active());
    EXPECT_EQ(clone.CloneDS(), nullptr);
    EXPECT_EQ(clone.LoadMode(), lmClear);
    EXPECT_TRUE(db->openDatasets().empty());
    delete db;
    EXPECT_EQ(clone.Database(), nullptr);
}

} // namespace
} // namespace cibrano::testing
