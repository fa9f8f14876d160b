// The table dataset's edit cycle: unsaved-change counting with OnNeedToSaveChange, saving,
// discarding and accepting, the unique-key check, automatic numbers, new-record defaults,
// read-only rules, and what posting and deleting do to the view.

#include "tests/engine/DOvuzaZerivirTestSupport.h"

#include "dataset/DateTimeFields.h"
#include "engine/table/ZerovDatabase.h"
#include "platform/Clock.h"
#include "platform/DatabaseError.h"
#include "platform/DateTime.h"

#include <gmock/gmock.h>

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

class DOvuzaZerivirEdit : public TableFixture {
protected:
    // Records the change count each time OnNeedToSaveChange fires.
    void watch(TImageTable& t) {
        t.OnNeedToSaveChange = [this](DOvuzaZerivir* ds) { fired.push_back(ds->changeCount()); };
    }
    static void setQuantity(TImageTable& t, int record, double value) {
        t.moveToRecordNumber(record);
        t.beginEdit();
        t.fieldByName("Quantita")->setFloatValue(value);
        t.postRecord();
    }
    std::vector<int> fired;
};

TEST_F(DOvuzaZerivirEdit, ChangeCountMovesWithEditInsertDeleteAndCancel) {
    TImageTable t;
    openFood(t);
    watch(t);
    EXPECT_FALSE(t.hasUnsavedChanges());

    t.moveToRecordNumber(1);
    t.beginEdit();
    EXPECT_EQ(t.changeCount(), 1);
    t.fieldByName("Quantita")->setFloatValue(5);
    t.postRecord();
    EXPECT_EQ(t.changeCount(), 1); // posting counts nothing
    EXPECT_THAT(fired, ElementsAre(1));

    // Edit again and cancel: the first post's value stays, and so does its status.
    t.beginEdit();
    t.fieldByName("Quantita")->setFloatValue(7);
    t.cancelRecord();
    EXPECT_EQ(t.changeCount(), 1);
    EXPECT_EQ(t.fieldByName("Quantita")->floatValue(), 5);
    EXPECT_EQ(t.recordView()[0]->status, recModified);
    EXPECT_EQ(t.updateStatus(), usModified);

    t.beginInsert();
    t.cancelRecord();
    EXPECT_EQ(t.changeCount(), 1);
    EXPECT_THAT(fired, ElementsAre(1));

    t.deleteRecord();
    EXPECT_EQ(t.changeCount(), 2);
    EXPECT_TRUE(t.hasUnsavedChanges());

    t.discardChanges();
    EXPECT_EQ(t.changeCount(), 0);
    EXPECT_THAT(fired, ElementsAre(1, 0));

    // From a clean dataset an insert that is cancelled passes both ways.
    t.beginInsert();
    t.cancelRecord();
    EXPECT_THAT(fired, ElementsAre(1, 0, 1, 0));
    t.deleteRecord();
    EXPECT_THAT(fired, ElementsAre(1, 0, 1, 0, 1));
}

TEST_F(DOvuzaZerivirEdit, SaveThenDiscardRevertsToTheValuesAsLoaded) {
    TImageTable t;
    openFood(t);
    setQuantity(t, 1, 5);
    t.moveToRecordNumber(2);
    t.deleteRecord();
    t.beginAppend();
    t.fieldByName("Nome")->setStringValue("Uova");
    t.fieldByName("Quantita")->setFloatValue(60);
    // A pending insert is posted by the save.
    t.saveChanges();
    EXPECT_EQ(t.State(), stateBrowse);
    EXPECT_EQ(t.changeCount(), 3);
    ASSERT_EQ(t.saved.size(), 1u);

    TImageTable reread;
    reread.image = t.saved[0];
    reread.open();
    EXPECT_THAT(column(reread, "Nome"),
                ElementsAre("Pasta di semola", "Pomodori maturi", "Parmigiano",
                            "Latte intero pastorizzato di alta qualit\xE0", "Uova"));
    EXPECT_THAT(column(reread, "Quantita"), ElementsAre("5", "150", "0", "0", "60"));

    t.discardChanges();
    EXPECT_EQ(t.changeCount(), 0);
    EXPECT_EQ(t.recordCount(), 5);
    EXPECT_THAT(column(t, "Quantita"), ElementsAre("80", "10", "150", "0", "0"));
    for (RecordEntry* e : t.recordView())
        EXPECT_EQ(e->status, recUnchanged);
}

TEST_F(DOvuzaZerivirEdit, AcceptMakesChangesFinalAndSettlesAPendingEdit) {
    TImageTable t;
    openFood(t);
    watch(t);
    setQuantity(t, 1, 5);
    t.moveToRecordNumber(2);
    t.deleteRecord();
    t.moveToRecordNumber(1);
    t.beginEdit();
    t.fieldByName("Kcalorie")->setFloatValue(400);
    t.acceptChanges();
    EXPECT_EQ(t.State(), stateBrowse);
    EXPECT_EQ(t.changeCount(), 0);
    EXPECT_EQ(fired.back(), 0);
    EXPECT_EQ(t.recordCount(), 4);
    for (RecordEntry* e : t.recordView()) {
        EXPECT_EQ(e->status, recUnchanged);
        EXPECT_EQ(e->backup, nullptr);
    }
    EXPECT_EQ(t.fieldByName("Kcalorie")->floatValue(), 400);

    // Accepted values are the new starting point of a discard.
    setQuantity(t, 1, 9);
    t.discardChanges();
    EXPECT_EQ(t.fieldByName("Quantita")->floatValue(), 5);
    EXPECT_EQ(t.recordCount(), 4);
}

TEST_F(DOvuzaZerivirEdit, UniqueKeyIsEnforcedOnlyWhenAsked) {
    TImageTable t;
    t.setName("Table1");
    t.setUniqueFieldNames("Nome");
    t.setCheckKeyViolation(true);
    openFood(t);

    t.beginAppend();
    t.fieldByName("Nome")->setStringValue("Parmigiano");
    EXPECT_THAT([&] { t.postRecord(); },
                ThrowsMessage<EDatabaseError>("Table1: Error saving new record: Key violation"));
    EXPECT_EQ(t.State(), stateInsert);
    EXPECT_EQ(t.fieldByName("Nome")->stringValue(), "Parmigiano");
    t.cancelRecord();

    t.moveToRecordNumber(1);
    t.beginEdit();
    t.fieldByName("Nome")->setStringValue("Parmigiano");
    EXPECT_THAT([&] { t.postRecord(); },
                ThrowsMessage<EDatabaseError>("Table1: Error saving record: Key violation"));
    EXPECT_EQ(t.State(), stateEdit);
    // The record being edited does not collide with itself.
    t.fieldByName("Nome")->setStringValue("Pasta di semola");
    t.postRecord();

    t.setCheckKeyViolation(false);
    t.beginAppend();
    t.fieldByName("Nome")->setStringValue("Parmigiano");
    t.postRecord();
    EXPECT_EQ(t.recordCount(), 6);
}

// A table with an automatic number whose highest loaded value is 7.
std::string numberedImage() {
    TZerovCursor store;
    openNewTable(store, {{"ID", ftAutoInc, 0}, {"Name", ftString, 20}});
    AnsiString message;
    for (int32_t id : {3, 7, 5}) {
        Buffer b(store);
        b.text("Name", "n" + std::to_string(id));
        EXPECT_TRUE(store.putRecord(b.get(), nullptr, message));
        writeSlot<int32_t>(
            slotOf(store.recordAt(store.entryCount() - 1)->data, *store.findField("ID")), id);
    }
    return writeImage(store);
}

TEST_F(DOvuzaZerivirEdit, NewRecordsAreNumberedAfterTheHighestLoadedNumber) {
    TImageTable t;
    t.image = numberedImage();
    t.open();
    for (const char* name : {"a", "b"}) {
        t.beginAppend();
        t.fieldByName("ID")->setIntegerValue(100); // ignored: the store numbers
        t.fieldByName("Name")->setStringValue(name);
        t.postRecord();
    }
    EXPECT_THAT(column(t, "ID"), ElementsAre("3", "5", "7", "8", "9"));
}

TEST_F(DOvuzaZerivirEdit, WritingAnAutomaticNumberInEditChangesNothingAndTellsNobody) {
    TImageTable t;
    t.image = numberedImage();
    t.open();
    int changes = 0;
    t.fieldByName("ID")->OnChange = [&](TField*) { ++changes; };
    t.beginEdit();
    t.fieldByName("ID")->setIntegerValue(42);
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(t.Modified());
    EXPECT_EQ(t.fieldByName("ID")->integerValue(), 3);
    t.postRecord();
    EXPECT_EQ(t.fieldByName("ID")->integerValue(), 3);
}

TEST_F(DOvuzaZerivirEdit, NewRecordsGetTheirDefaultsBeforeOnNewRecord) {
    TDateTime fixed;
    ASSERT_TRUE(tryEncodeDate(2024, 3, 15, fixed));
    TDateTime time;
    ASSERT_TRUE(tryEncodeTime(10, 20, 30, 0, time));
    setClockForTesting([&] { return fixed + time; });
    restartUniqueCodeSequence();

    TImageTable t;
    t.descriptions = {{"Day", ftDate, 0},     {"Stamp", ftDateTime, 0}, {"At", ftTime, 0},
                      {"Code", ftString, 8},  {"Label", ftString, 10},  {"Num", ftInteger, 0},
                      {"Plain", ftString, 10}};
    t.open();
    t.fieldByName("Day")->setDefaultExpression("TODAY");
    t.fieldByName("Stamp")->setDefaultExpression("NOW");
    t.fieldByName("At")->setDefaultExpression("NOW");
    t.fieldByName("Code")->setDefaultExpression("UNICOD");
    t.fieldByName("Label")->setDefaultExpression("today"); // exact case only
    t.fieldByName("Num")->setDefaultExpression("42");
    AnsiString seenInEvent;
    t.OnNewRecord = [&](TDataSet* ds) { seenInEvent = ds->fieldByName("Label")->stringValue(); };

    t.beginInsert();
    EXPECT_EQ(seenInEvent, "today");
    EXPECT_EQ(t.fieldByName("Day")->dateTimeValue(), fixed);
    EXPECT_DOUBLE_EQ(t.fieldByName("Stamp")->dateTimeValue(), fixed + time);
    EXPECT_DOUBLE_EQ(t.fieldByName("At")->dateTimeValue(), time);
    EXPECT_EQ(t.fieldByName("Num")->integerValue(), 42);
    EXPECT_TRUE(t.fieldByName("Plain")->isNull());
    AnsiString first = t.fieldByName("Code")->stringValue();
    EXPECT_EQ(first.size(), 8u);
    t.postRecord();
    t.beginInsert();
    EXPECT_NE(t.fieldByName("Code")->stringValue(), first); // same second, next counter
    t.cancelRecord();
    setClockForTesting(nullptr);
}

TEST_F(DOvuzaZerivirEdit, AFailingDefaultAbandonsTheInsertWithoutCountingIt) {
    TImageTable t;
    t.descriptions = {{"Stamp", ftDateTime, 0}};
    t.open();
    watch(t);
    t.fieldByName("Stamp")->setDefaultExpression("TODAY");
    EXPECT_THROW(t.beginInsert(), EDatabaseError);
    EXPECT_EQ(t.State(), stateBrowse);
    EXPECT_EQ(t.changeCount(), 0);
    EXPECT_THAT(fired, ElementsAre(1, 0));
}

TEST_F(DOvuzaZerivirEdit, ReadOnlyRulesAndWritesOutsideEditing) {
    TImageTable t;
    t.setName("Table1");
    openFood(t);
    EXPECT_THAT([&] { t.fieldByName("Quantita")->setFloatValue(1); },
                ThrowsMessage<EDatabaseError>("Table1: Table is not in edit or insert mode"));

    t.fieldByName("Nome")->setReadOnly(true);
    t.beginEdit();
    EXPECT_THAT([&] { t.fieldByName("Nome")->setStringValue("x"); },
                ThrowsMessage<EDatabaseError>("Table1: Field 'Nome' is read only!"));
    t.cancelRecord();

    t.setReadOnly(true);
    EXPECT_FALSE(t.canModify());
    EXPECT_THAT([&] { t.deleteRecord(); },
                ThrowsMessage<EDatabaseError>("Table1: Read-only record cannot be deleted"));
    EXPECT_THROW(t.beginEdit(), EDatabaseError);
    EXPECT_THROW(t.beginInsert(), EDatabaseError);
    EXPECT_EQ(t.State(), stateBrowse);
    EXPECT_EQ(t.changeCount(), 0);
    EXPECT_EQ(t.recordCount(), 5);
}

TEST_F(DOvuzaZerivirEdit, ANewRecordShowsAtTheEndUntilTheViewIsRebuilt) {
    TImageTable t;
    t.setIndexFieldNames("Nome");
    openFood(t);
    t.beginAppend();
    t.fieldByName("Nome")->setStringValue("Aglio");
    t.postRecord();
    EXPECT_EQ(t.recordNumber(), 6);
    EXPECT_FALSE(t.viewSorted());
    EXPECT_EQ(column(t, "Nome").back(), "Aglio");
    t.rebuildView(true);
    EXPECT_TRUE(t.viewSorted());
    EXPECT_EQ(column(t, "Nome").front(), "Aglio");
}

TEST_F(DOvuzaZerivirEdit, DeletingLeavesTheViewAndAnInsertedRecordGoesForGood) {
    TImageTable t;
    openFood(t);
    t.moveToRecordNumber(2);
    RecordEntry* olio = t.recordView()[1];
    t.deleteRecord();
    EXPECT_EQ(olio->status, recDeleted);
    EXPECT_EQ(t.recordCount(), 4);
    EXPECT_EQ(t.fieldByName("Nome")->stringValue(), "Pomodori maturi");
    EXPECT_EQ(t.recordNumber(), 2);

    t.beginAppend();
    t.fieldByName("Nome")->setStringValue("Uova");
    t.postRecord();
    RecordEntry* uova = t.recordView().back();
    t.deleteRecord();
    EXPECT_EQ(uova->status, recRemoved);
    EXPECT_EQ(t.recordNumber(), 4); // the last one left

    t.discardChanges();
    EXPECT_EQ(t.recordCount(), 5);
    EXPECT_EQ(olio->status, recUnchanged);
    EXPECT_EQ(uova->status, recRemoved);
}

TEST_F(DOvuzaZerivirEdit, TextsTheFileCannotHoldAreRefusedAtPost) {
    TImageTable t;
    t.setName("Table1");
    t.descriptions = {{"Note", ftString, 9000}};
    t.open();
    t.beginAppend();
    t.fieldByName("Note")->setStringValue(std::string(8192, 'n'));
    EXPECT_THAT([&] { t.postRecord(); },
                ThrowsMessage<EDatabaseError>(
                    "Table1: Error saving new record: Field 'Note' holds 8192 characters; a "
                    "table stores at most 8191"));
    EXPECT_EQ(t.State(), stateInsert);
    t.fieldByName("Note")->setStringValue(std::string(8191, 'n'));
    t.postRecord();
    t.saveChanges();
    ASSERT_EQ(t.saved.size(), 1u);

    TImageTable reread;
    reread.image = t.saved[0];
    reread.open();
    EXPECT_EQ(reread.fieldByName("Note")->stringValue().size(), 8191u);
}

TEST_F(DOvuzaZerivirEdit, FilterHandlersWriteIntoTheStoredRecordUncounted) {
    TImageTable t;
    openFood(t);
    t.OnFilterRecord = [](TDataSet* ds, bool& accept) {
        if (ds->fieldByName("Nome")->stringValue() == "Parmigiano")
            ds->fieldByName("Quantita")->setFloatValue(30);
        accept = true;
    };
    t.setFiltered(true);
    EXPECT_EQ(t.changeCount(), 0);
    EXPECT_EQ(t.storedText(3, "Quantita"), "30");
}

TEST_F(DOvuzaZerivirEdit, AFailedSaveLeavesEverythingInMemory) {
    struct FailingSave : TImageTable {
        void saveStore() override { throw EDatabaseError("disk full"); }
    } t;
    openFood(t);
    setQuantity(t, 1, 5);
    EXPECT_THROW(t.saveChanges(), EDatabaseError);
    EXPECT_EQ(t.changeCount(), 1);
    EXPECT_EQ(t.fieldByName("Quantita")->floatValue(), 5);
    t.discardChanges();
    EXPECT_EQ(t.fieldByName("Quantita")->floatValue(), 80);
}

TEST_F(DOvuzaZerivirEdit, TheFolderListsTheDatasetWhileItIsOpenAndWhileItHasChanges) {
    TZerovDatabase folder;
    TImageTable t;
    t.setDatabase(&folder);
    openFood(t);
    EXPECT_THAT(folder.openDatasets(), ElementsAre(&t));
    EXPECT_TRUE(folder.modifiedDatasets().empty());

    t.beginInsert();
    EXPECT_THAT(folder.modifiedDatasets(), ElementsAre(&t));
    t.cancelRecord();
    EXPECT_TRUE(folder.modifiedDatasets().empty());

    setQuantity(t, 1, 5);
    t.moveToRecordNumber(2);
    t.deleteRecord();
    EXPECT_THAT(folder.modifiedDatasets(), ElementsAre(&t));
    t.acceptChanges();
    EXPECT_TRUE(folder.modifiedDatasets().empty());

    setQuantity(t, 1, 6);
    t.close();
    EXPECT_TRUE(folder.modifiedDatasets().empty());
    EXPECT_TRUE(folder.openDatasets().empty());

    // Another folder closes the dataset first.
    t.open();
    TZerovDatabase other;
    t.setDatabase(&other);
    EXPECT_FALSE(t.Active());
    EXPECT_TRUE(folder.openDatasets().empty());
}

} // namespace
} // namespace cibrano::testing
