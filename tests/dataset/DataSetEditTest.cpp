#include "DataSetFixture.h"

#include "platform/Abort.h"

using namespace cibrano;
using namespace cibrano::testkit;
using ::testing::ElementsAre;

namespace {

class EditCycle : public DataSetFixture {};

TEST_F(EditCycle, EditFieldChangeAndPostNotifyInOrder) {
    addRows(3);
    openRecorded();
    quantita()->OnChange = [&](TField*) { log.add("OnChange"); };

    ds.beginEdit();
    EXPECT_THAT(log.entries, ElementsAre("link.checkBrowse", "BeforeEdit", "link.editing",
                                         "StateChange", "link.record", "DataChange", "AfterEdit"));
    EXPECT_EQ(ds.State(), stateEdit);
    EXPECT_FALSE(ds.Modified());

    log.clear();
    quantita()->setFloatValue(12);
    EXPECT_THAT(log.entries,
                ElementsAre("OnChange", "link.record(Quantita)", "DataChange(Quantita)"));
    EXPECT_TRUE(ds.Modified());

    log.clear();
    ds.postRecord();
    EXPECT_THAT(log.entries, ElementsAre("link.updateData", "UpdateData", "link.checkBrowse",
                                         "BeforePost", "link.notEditing", "StateChange",
                                         "link.datasetChange", "DataChange", "AfterPost"));
    EXPECT_EQ(ds.State(), stateBrowse);
    EXPECT_EQ(ds.storedNumber(0, 1), 12);
    EXPECT_THAT(ds.storeCalls, ElementsAre("prepareEdit", "update"));
}

TEST_F(EditCycle, CancelRestoresTheStoredValues) {
    addRows(2);
    openRecorded();
    ds.beginEdit();
    quantita()->setFloatValue(55);
    log.clear();

    ds.cancelRecord();
    EXPECT_THAT(log.entries,
                ElementsAre("link.checkBrowse", "BeforeCancel", "link.notEditing", "StateChange",
                            "link.datasetChange", "DataChange", "AfterCancel"));
    EXPECT_EQ(quantita()->floatValue(), 10);
    EXPECT_EQ(ds.storedNumber(0, 1), 10);
}

TEST_F(EditCycle, DeleteRemovesTheRecordAndScrolls) {
    addRows(3);
    openRecorded();
    ds.moveNext();
    log.clear();

    ds.deleteRecord();
    EXPECT_THAT(log.entries,
                ElementsAre("link.checkBrowse", "BeforeDelete", "BeforeScroll",
                            "link.datasetChange", "DataChange", "AfterDelete", "AfterScroll"));
    EXPECT_EQ(ds.storedCount(), 2);
    EXPECT_EQ(nome()->stringValue(), "Food 3") << "the next record becomes current";
}

TEST_F(EditCycle, InsertComposesANewRecordBeforeTheCurrentOne) {
    addRows(4);
    openRecorded(3);
    ds.moveNext(); // Food 2
    log.clear();

    ds.beginInsert();
    EXPECT_THAT(log.entries,
                ElementsAre("link.checkBrowse", "BeforeInsert", "BeforeScroll", "link.editing",
                            "StateChange", "OnNewRecord", "link.datasetChange", "DataChange",
                            "AfterInsert", "AfterScroll"));
    EXPECT_EQ(ds.State(), stateInsert);
    EXPECT_TRUE(nome()->isNull());
    EXPECT_EQ(rowName(0), "Food 1");
    EXPECT_EQ(rowName(2), "Food 2") << "the records from the current one moved down";

    nome()->setStringValue("Pasta");
    quantita()->setFloatValue(80);
    ds.moveNext(); // settles: the insert is posted
    EXPECT_EQ(ds.State(), stateBrowse);
    EXPECT_EQ(ds.storedCount(), 5);
    EXPECT_EQ(ds.storedText(1, 0), "Pasta");

    EXPECT_THAT(allNames(), ElementsAre("Food 1", "Pasta", "Food 2", "Food 3", "Food 4"));
}

TEST_F(EditCycle, AppendGoesToTheEndAndCancelGoesBack) {
    addRows(5);
    openRecorded(3);
    log.clear();

    ds.beginAppend();
    EXPECT_THAT(log.entries,
                ElementsAre("link.checkBrowse", "BeforeInsert", "BeforeScroll", "link.editing",
                            "StateChange", "OnNewRecord", "link.datasetChange", "DataChange",
                            "AfterInsert", "AfterScroll"));
    EXPECT_EQ(link.activeRecord(), 2) << "the new record is the window's last";
    EXPECT_EQ(rowName(1), "Food 5");

    ds.cancelRecord();
    EXPECT_EQ(ds.State(), stateBrowse);
    EXPECT_EQ(nome()->stringValue(), "Food 5");
    EXPECT_EQ(ds.storedCount(), 5);

    ds.beginAppend();
    nome()->setStringValue("Riso");
    ds.postRecord();
    EXPECT_EQ(nome()->stringValue(), "Riso");
    EXPECT_EQ(ds.storedText(5, 0), "Riso");
    ds.moveLast();
    EXPECT_EQ(nome()->stringValue(), "Riso");
}

TEST_F(EditCycle, EditOnAnEmptyDatasetInserts) {
    openRecorded();
    ds.beginEdit();
    EXPECT_EQ(ds.State(), stateInsert);
    nome()->setStringValue("Pane");
    ds.postRecord();
    EXPECT_EQ(ds.storedCount(), 1);
    EXPECT_FALSE(ds.hasNoRecords());
    EXPECT_EQ(nome()->stringValue(), "Pane");
}

TEST_F(EditCycle, PostWritesEvenUnmodifiedButSettlingCancels) {
    addRows(2);
    openRecorded();
    ds.beginEdit();
    ds.postRecord();
    EXPECT_THAT(ds.storeCalls, ElementsAre("prepareEdit", "update"));

    ds.storeCalls.clear();
    ds.beginEdit();
    ds.settlePendingEdit();
    EXPECT_EQ(ds.State(), stateBrowse);
    EXPECT_THAT(ds.storeCalls, ElementsAre("prepareEdit", "discard"));
}

TEST_F(EditCycle, DeleteWhileInsertingCancelsTheInsert) {
    addRows(2);
    openRecorded();
    ds.beginInsert();
    ds.deleteRecord();
    EXPECT_EQ(ds.State(), stateBrowse);
    EXPECT_EQ(ds.storedCount(), 2);
    EXPECT_THAT(ds.storeCalls, ElementsAre("discard"));
    EXPECT_EQ(nome()->stringValue(), "Food 1");
}

TEST_F(EditCycle, AFailedStoreKeepsTheEdit) {
    addRows(2);
    openRecorded();
    ds.beginEdit();
    quantita()->setFloatValue(7);
    ds.failNextStore = "Disk full";
    EXPECT_EQ(messageOf([&] { ds.postRecord(); }), "Table1: Disk full");
    EXPECT_EQ(ds.State(), stateEdit);
    EXPECT_EQ(quantita()->floatValue(), 7);
    ds.postRecord();
    EXPECT_EQ(ds.storedNumber(0, 1), 7);

    ds.failNextStore = "Locked";
    EXPECT_THROW(ds.deleteRecord(), EDatabaseError);
    EXPECT_EQ(ds.storedCount(), 2);
}

TEST_F(EditCycle, ARaisingNewRecordStepReturnsToBrowsing) {
    addRows(3);
    openRecorded();
    ds.moveNext();
    ds.OnNewRecord = [](TDataSet*) { throw EDatabaseError("no defaults"); };
    EXPECT_THROW(ds.beginInsert(), EDatabaseError);
    EXPECT_EQ(ds.State(), stateBrowse);
    EXPECT_EQ(nome()->stringValue(), "Food 2");
    EXPECT_EQ(ds.storedCount(), 3);
}

TEST_F(EditCycle, ASilentAbortInABeforeStepStopsTheOperation) {
    addRows(1);
    openRecorded();
    ds.BeforeEdit = [](TDataSet*) { abortSilently(); };
    EXPECT_THROW(ds.beginEdit(), EAbort);
    EXPECT_EQ(ds.State(), stateBrowse);
}

TEST_F(EditCycle, RequiredFieldsMustHaveAValue) {
    addRows(1);
    ds.addColumn("Gruppo", ftString, 30, true);
    openRecorded();
    ds.fieldByName("Gruppo")->setDisplayLabel("Group");
    ds.beginEdit();
    log.clear();
    EXPECT_EQ(messageOf([&] { ds.postRecord(); }), "Table1: Field 'Group' must have a value");
    EXPECT_EQ(ds.State(), stateEdit);
    EXPECT_NE(std::find(log.entries.begin(), log.entries.end(), "link.focus(Gruppo)"),
              log.entries.end());
    ds.fieldByName("Gruppo")->setStringValue("Cereali");
    ds.postRecord();
    EXPECT_EQ(ds.State(), stateBrowse);
}

TEST_F(EditCycle, ModificationsNeedAModifiableDataset) {
    addRows(1);
    ds.readOnly = true;
    openRecorded();
    EXPECT_EQ(messageOf([&] { ds.beginEdit(); }), "Table1: Cannot modify a read-only dataset");
    EXPECT_EQ(messageOf([&] { ds.beginAppend(); }), "Table1: Cannot modify a read-only dataset");
    EXPECT_FALSE(quantita()->fieldCanModify());
    EXPECT_EQ(messageOf([&] { ds.collectControlEdits(); }),
              "Table1: Dataset not in edit or insert mode");
}

TEST_F(EditCycle, ALinkWritingItsOwnValueIsNotToldOfIt) {
    addRows(1);
    openRecorded();
    RecordingLink other(log, "other");
    other.setDataSource(&src);
    link.onUpdateData = [&] { quantita()->setFloatValue(3); };
    ds.beginEdit();
    log.clear();
    ds.collectControlEdits();
    EXPECT_THAT(log.entries,
                ElementsAre("other.updateData", "link.updateData", "other.record(Quantita)",
                            "DataChange(Quantita)", "UpdateData"));
}

TEST_F(EditCycle, ATemporaryStateDoesNotForgetAPendingChange) {
    addRows(2);
    openRecorded();
    ds.beginEdit();
    quantita()->setFloatValue(42);
    DatasetState saved = ds.setTempState(stateCalcFields);
    ds.restoreState(saved);
    EXPECT_TRUE(ds.Modified());
    ds.moveNext();
    EXPECT_EQ(ds.storedNumber(0, 1), 42) << "the edit was posted, not cancelled";
}

TEST_F(EditCycle, FieldChangesInTemporaryStatesAreNotAnnounced) {
    addRows(2);
    ds.OnFilterRecord = [this](TDataSet*, bool&) { quantita()->setFloatValue(1); };
    ds.setFiltered(true);
    openRecorded();
    ds.moveNext();
    EXPECT_EQ(std::count_if(log.entries.begin(), log.entries.end(),
                            [](const std::string& e) { return e.find("Quantita") != e.npos; }),
              0);
    EXPECT_EQ(ds.storedNumber(1, 1), 1) << "the write reached the stored record";
}

} // namespace
