#include "DataSetFixture.h"

#include "dataset/FieldDataLink.h"

using namespace cibrano;
using namespace cibrano::testkit;
using ::testing::ElementsAre;

namespace {

class Notifications : public DataSetFixture {};

TEST_F(Notifications, SuspendedControlsHearOneChangeAtTheResume) {
    addRows(4);
    openRecorded(2);
    ds.suspendControls();
    ds.suspendControls();
    ds.moveNext();
    ds.beginEdit();
    quantita()->setFloatValue(0);
    ds.postRecord();
    ds.moveFirst();
    ds.resumeControls();
    EXPECT_THAT(log.entries, ElementsAre("BeforeScroll", "AfterScroll", "BeforeEdit", "AfterEdit",
                                         "BeforePost", "AfterPost", "BeforeScroll", "AfterScroll"))
        << "nothing reaches the link or the source while suspended";

    log.clear();
    ds.resumeControls();
    EXPECT_THAT(log.entries, ElementsAre("link.datasetChange", "DataChange"));

    log.clear();
    ds.resumeControls(); // not suspended: nothing
    EXPECT_TRUE(log.entries.empty());
}

TEST_F(Notifications, ALayoutChangeWhileSuspendedIsWhatTheResumeSends) {
    addRows(2);
    openRecorded();
    ds.suspendControls();
    quantita()->setDisplayWidth(12);
    ds.resumeControls();
    EXPECT_THAT(log.entries, ElementsAre("link.layout", "DataChange"));
}

TEST_F(Notifications, NoResumeEventForADatasetClosedAtEitherEnd) {
    addRows(2);
    openRecorded();
    ds.suspendControls();
    ds.close();
    log.clear();
    ds.resumeControls();
    EXPECT_THAT(log.entries, ElementsAre("link.inactive", "StateChange"))
        << "only the state change, no data change";

    ds.suspendControls();
    ds.open();
    log.clear();
    ds.resumeControls();
    EXPECT_THAT(log.entries, ElementsAre("link.active", "StateChange", "DataChange"));
}

TEST_F(Notifications, ADisabledSourceIsInactiveAndHearsOnlyStateChanges) {
    addRows(3);
    openRecorded();
    src.setEnabled(false);
    EXPECT_EQ(src.State(), stateInactive);
    EXPECT_FALSE(link.Active());
    log.clear();
    ds.moveNext();
    ds.beginEdit();
    quantita()->setFloatValue(4);
    ds.postRecord();
    for (const std::string& e : log.entries)
        EXPECT_EQ(e.find("link."), std::string::npos) << e;
    EXPECT_EQ(std::count(log.entries.begin(), log.entries.end(), "DataChange"), 0);

    log.clear();
    src.setEnabled(true);
    EXPECT_THAT(log.entries, ElementsAre("link.active", "StateChange", "DataChange"));
}

TEST_F(Notifications, NonVisualLinksHearFirstEachGroupFromTheLastAttached) {
    addRows(2);
    openRecorded();
    RecordingLink detail1(log, "detail1", false);
    RecordingLink grid2(log, "grid2");
    RecordingLink detail2(log, "detail2", false);
    detail1.setDataSource(&src);
    grid2.setDataSource(&src);
    detail2.setDataSource(&src);
    log.clear();
    ds.moveFirst();
    EXPECT_THAT(log.entries,
                ElementsAre("detail2.checkBrowse", "detail1.checkBrowse", "grid2.checkBrowse",
                            "link.checkBrowse", "BeforeScroll", "detail2.datasetChange",
                            "detail1.datasetChange", "grid2.datasetChange", "link.datasetChange",
                            "DataChange", "AfterScroll"));
}

TEST_F(Notifications, BlockReadingSilencesVisualControlsOnly) {
    addRows(4);
    openRecorded();
    RecordingLink detail(log, "detail", false);
    detail.setDataSource(&src);
    ds.setBlockReadSize(10);
    EXPECT_EQ(ds.State(), stateBlockRead);
    log.clear();
    ds.moveNext();
    EXPECT_THAT(log.entries, ElementsAre("BeforeScroll", "detail.scroll(1)", "AfterScroll"));
    ds.setBlockReadSize(0);
    EXPECT_EQ(ds.State(), stateBrowse);
}

TEST_F(Notifications, ASourceFollowingItsOwnDatasetIsRefused) {
    TMemoryDataSet detail;
    detail.masterSource = &src;
    EXPECT_EQ(messageOf([&] { src.setDataSet(&detail); }), "Circular datalinks are not allowed");

    TMemoryDataSet middle;
    TDataSource middleSource;
    middleSource.setName("DataSource2");
    middleSource.setDataSet(&middle);
    middle.masterSource = &src;
    detail.masterSource = &middleSource;
    src.setName("DataSource1");
    EXPECT_EQ(messageOf([&] { src.setDataSet(&detail); }),
              "DataSource1: Circular datalinks are not allowed");
    EXPECT_EQ(src.DataSet(), nullptr);
}

TEST_F(Notifications, ASourceFixedLinkKeepsItsSource) {
    TDataSource other;
    src.setName("DataSource1");
    link.setDataSource(&src);
    link.setSourceFixed(true);
    EXPECT_EQ(messageOf([&] { link.setDataSource(&other); }),
              "DataSource1: DataSource cannot be changed");
    EXPECT_EQ(link.DataSource(), &src);
}

TEST_F(Notifications, DestroyingTheDatasetOrTheSourceDetachesEverything) {
    addRows(2);
    auto* owned = new TMemoryDataSet;
    owned->addColumn("Nome", ftString, 10);
    owned->addRow({"x"});
    src.setDataSet(owned);
    link.setDataSource(&src);
    owned->open();
    EXPECT_TRUE(link.Active());
    delete owned;
    EXPECT_EQ(src.DataSet(), nullptr);
    EXPECT_FALSE(link.Active());

    {
        TDataSource temporary;
        temporary.setDataSet(&ds);
        link.setDataSource(&temporary);
        ds.open();
        EXPECT_TRUE(link.Active());
    }
    EXPECT_EQ(link.DataSource(), nullptr);
    EXPECT_FALSE(link.Active());
}

TEST_F(Notifications, AutoEditAndReadOnlyLinksDecideWhetherALinkMayEdit) {
    addRows(1);
    openRecorded();
    link.setReadOnly(true);
    EXPECT_FALSE(link.edit());
    EXPECT_EQ(ds.State(), stateBrowse);
    link.setReadOnly(false);
    src.setAutoEdit(false);
    EXPECT_FALSE(link.edit());
    src.setAutoEdit(true);
    EXPECT_TRUE(link.edit());
    EXPECT_EQ(ds.State(), stateEdit);
}

class FieldLink : public DataSetFixture {
protected:
    FieldLink() {
        fieldLink.OnDataChange = [this] { log.add("fl.data"); };
        fieldLink.OnEditingChange = [this] { log.add("fl.editing"); };
        fieldLink.OnActiveChange = [this] { log.add("fl.active"); };
        fieldLink.OnUpdateData = [this] { fieldLink.field()->setStringValue(typed); };
    }
    TFieldDataLink fieldLink;
    std::string typed;
};

TEST_F(FieldLink, FollowsItsFieldAndWritesThePendingText) {
    addRows(2);
    fieldLink.setFieldName("quantita");
    fieldLink.setDataSource(&src);
    openRecorded();
    ASSERT_EQ(fieldLink.field(), quantita());

    log.clear();
    ds.beginEdit();
    EXPECT_TRUE(fieldLink.Editing());
    nome()->setStringValue("Pasta");
    EXPECT_EQ(std::count(log.entries.begin(), log.entries.end(), "fl.data"), 1)
        << "only the record change of the edit, not Nome's change";

    typed = "75";
    fieldLink.markModified();
    ds.postRecord();
    EXPECT_EQ(ds.storedNumber(0, 1), 75);
    EXPECT_FALSE(fieldLink.Modified());

    typed = "1,200";
    ds.beginEdit();
    fieldLink.markModified();
    EXPECT_THROW(ds.postRecord(), EDatabaseError);
    EXPECT_EQ(ds.State(), stateEdit) << "a rejected text keeps the edit";
}

TEST_F(FieldLink, AnUnknownNameFailsThroughTheControl) {
    addRows(1);
    TComponent control;
    control.setName("FindEdit1");
    fieldLink.setControl(&control);
    fieldLink.setDataSource(&src);
    src.setDataSet(&ds);
    ds.open();
    EXPECT_EQ(messageOf([&] { fieldLink.setFieldName("Prezzo"); }),
              "FindEdit1: Field 'Prezzo' not found");
    EXPECT_EQ(fieldLink.field(), nullptr);
}

TEST_F(FieldLink, TakesTheFocusForItsOwnField) {
    addRows(1);
    ds.addColumn("Gruppo", ftString, 30, true);
    fieldLink.setFieldName("Gruppo");
    fieldLink.setDataSource(&src);
    src.setDataSet(&ds);
    ds.open();
    bool focused = false;
    fieldLink.OnFocusControl = [&] { return focused = true; };
    ds.beginEdit();
    EXPECT_THROW(ds.postRecord(), EDatabaseError);
    EXPECT_TRUE(focused);
}

} // namespace
