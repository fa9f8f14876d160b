#include "DataSetFixture.h"

#include "dataset/DbConsts.h"

using namespace cibrano;
using namespace cibrano::testkit;
using ::testing::ElementsAre;

namespace {

class Navigation : public DataSetFixture {};

TEST_F(Navigation, OpenAndCloseTellTheLinkTheSourceAndTheEvents) {
    addRows(3);
    src.setDataSet(&ds);
    link.setDataSource(&src);
    recordDataSetEvents(ds, log);
    recordSourceEvents(src, log);

    ds.open();
    EXPECT_THAT(log.entries,
                ElementsAre("BeforeOpen", "link.active", "StateChange", "DataChange", "AfterOpen"));
    EXPECT_EQ(ds.State(), stateBrowse);
    EXPECT_TRUE(ds.atBeginning());
    EXPECT_FALSE(ds.atEnd());
    EXPECT_EQ(nome()->stringValue(), "Food 1");

    log.clear();
    ds.close();
    EXPECT_THAT(log.entries,
                ElementsAre("BeforeClose", "link.inactive", "StateChange", "AfterClose"));
    EXPECT_EQ(ds.State(), stateInactive);
    EXPECT_EQ(src.State(), stateInactive);
    EXPECT_EQ(ds.fieldCount(), 0) << "default fields go with the close";
}

TEST_F(Navigation, MovesRaiseScrollEventsAroundOneNotification) {
    addRows(5);
    openRecorded();

    ds.moveLast();
    EXPECT_THAT(log.entries, ElementsAre("link.checkBrowse", "BeforeScroll", "link.datasetChange",
                                         "DataChange", "AfterScroll"));
    EXPECT_TRUE(ds.atEnd());
    EXPECT_EQ(nome()->stringValue(), "Food 5");

    log.clear();
    ds.moveFirst();
    EXPECT_THAT(log.entries, ElementsAre("link.checkBrowse", "BeforeScroll", "link.datasetChange",
                                         "DataChange", "AfterScroll"));
    EXPECT_TRUE(ds.atBeginning());
    EXPECT_EQ(nome()->stringValue(), "Food 1");
}

TEST_F(Navigation, ForwardScrollInAFullWindowShiftsTheLinkByOne) {
    addRows(5);
    openRecorded(3);
    ASSERT_EQ(ds.bufferCount(), 3);
    ASSERT_EQ(ds.filledCount(), 3);

    ds.moveNext();
    ds.moveNext();
    EXPECT_THAT(log.entries,
                ElementsAre("link.checkBrowse", "BeforeScroll", "link.scroll(0)", "DataChange",
                            "AfterScroll", "link.checkBrowse", "BeforeScroll", "link.scroll(0)",
                            "DataChange", "AfterScroll"));
    EXPECT_EQ(link.activeRecord(), 2);

    log.clear();
    EXPECT_EQ(ds.moveByDistance(1), 1);
    EXPECT_THAT(log.entries, ElementsAre("link.checkBrowse", "BeforeScroll", "link.scroll(1)",
                                         "DataChange", "AfterScroll"));
    EXPECT_EQ(nome()->stringValue(), "Food 4");
    EXPECT_EQ(link.activeRecord(), 2) << "the active record stays in the link's last row";
    EXPECT_EQ(rowName(0), "Food 2");
    EXPECT_EQ(rowName(2), "Food 4");
    EXPECT_EQ(ds.recordNumber(), 4);

    log.clear();
    EXPECT_EQ(ds.moveByDistance(-3), -3);
    EXPECT_EQ(nome()->stringValue(), "Food 1");
    EXPECT_EQ(link.activeRecord(), 0);
    EXPECT_EQ(rowName(1), "Food 2");
    EXPECT_THAT(log.entries, ElementsAre("link.checkBrowse", "BeforeScroll", "link.scroll(-1)",
                                         "DataChange", "AfterScroll"));
}

TEST_F(Navigation, MovesPastTheEndsStopAndSetTheFlags) {
    addRows(3);
    openRecorded(2);
    EXPECT_EQ(ds.moveByDistance(10), 2);
    EXPECT_TRUE(ds.atEnd());
    EXPECT_EQ(nome()->stringValue(), "Food 3");

    log.clear();
    EXPECT_EQ(ds.moveByDistance(1), 0);
    EXPECT_THAT(log.entries, ElementsAre("link.checkBrowse", "BeforeScroll"))
        << "at the end nothing else runs";

    EXPECT_EQ(ds.moveByDistance(-10), -2);
    EXPECT_TRUE(ds.atBeginning());
    EXPECT_FALSE(ds.atEnd());
    EXPECT_EQ(nome()->stringValue(), "Food 1");
}

TEST_F(Navigation, MoveByZeroOnlySettlesAndRunsBeforeScroll) {
    addRows(3);
    openRecorded();
    ds.beginEdit();
    quantita()->setFloatValue(99);
    log.clear();

    EXPECT_EQ(ds.moveByDistance(0), 0);
    EXPECT_EQ(ds.State(), stateBrowse) << "the pending edit was posted";
    EXPECT_EQ(ds.storedNumber(0, 1), 99);
    ASSERT_FALSE(log.entries.empty());
    EXPECT_EQ(log.entries.back(), "BeforeScroll");
    EXPECT_EQ(std::count(log.entries.begin(), log.entries.end(), "AfterScroll"), 0);
}

TEST_F(Navigation, AnEmptyDatasetHasNoRecordsAndNoMoves) {
    openRecorded();
    EXPECT_TRUE(ds.atBeginning());
    EXPECT_TRUE(ds.atEnd());
    EXPECT_TRUE(ds.hasNoRecords());
    EXPECT_TRUE(quantita()->isNull());

    EXPECT_EQ(ds.moveByDistance(1), 0);
    EXPECT_THAT(log.entries, ElementsAre("link.checkBrowse", "BeforeScroll"));

    log.clear();
    ds.moveFirst();
    EXPECT_THAT(log.entries, ElementsAre("link.checkBrowse", "BeforeScroll", "link.datasetChange",
                                         "DataChange", "AfterScroll"));
    EXPECT_TRUE(ds.hasNoRecords());
    EXPECT_THROW(ds.deleteRecord(), EDatabaseError);
}

TEST_F(Navigation, TheApplicationLoopVisitsEveryRecordOnce) {
    addRows(7);
    openRecorded(4);
    double sum = 0;
    int visits = 0;
    for (ds.moveFirst(); !ds.atEnd(); ds.moveNext()) {
        sum += quantita()->floatValue();
        ++visits;
    }
    EXPECT_EQ(visits, 7);
    EXPECT_EQ(sum, 280);
}

TEST_F(Navigation, OperationsOnAClosedDatasetAreRefused) {
    EXPECT_EQ(messageOf([&] { ds.moveFirst(); }),
              "Table1: Cannot perform this operation on a closed dataset");
    EXPECT_THROW(ds.beginEdit(), EDatabaseError);
    EXPECT_THROW(ds.postRecord(), EDatabaseError);
}

TEST_F(Navigation, TheWindowGrowsAndShrinksWithTheLinks) {
    addRows(10);
    openRecorded(1);
    ds.moveByDistance(5); // Food 6
    ASSERT_EQ(ds.bufferCount(), 1);

    link.setBufferCount(4);
    EXPECT_EQ(ds.bufferCount(), 4);
    EXPECT_EQ(ds.filledCount(), 4);
    EXPECT_EQ(nome()->stringValue(), "Food 6") << "growing keeps the current record";
    EXPECT_EQ(link.recordCount(), 4);
    // The new buffers were filled forward first, then backward.
    EXPECT_EQ(rowName(0), "Food 6");
    EXPECT_EQ(rowName(3), "Food 9");

    ds.moveByDistance(3); // Food 9, last row of the link
    RecordingLink second(log, "second");
    second.setBufferCount(6);
    second.setDataSource(&src);
    EXPECT_EQ(ds.bufferCount(), 6);
    EXPECT_EQ(nome()->stringValue(), "Food 9");

    second.setDataSource(nullptr);
    EXPECT_EQ(ds.bufferCount(), 4);
    EXPECT_EQ(ds.filledCount(), 4);
    EXPECT_EQ(nome()->stringValue(), "Food 9") << "shrinking keeps the current record";
    EXPECT_EQ(link.activeRecord(), 3);
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(rowName(row), "Food " + std::to_string(6 + row));
    EXPECT_EQ(ds.moveByDistance(1), 1);
    EXPECT_EQ(nome()->stringValue(), "Food 10") << "the engine cursor followed the compaction";
}

TEST_F(Navigation, ShrinkingFarFromTheStartKeepsTheRecordsInOrder) {
    addRows(12);
    openRecorded(1);
    RecordingLink big(log, "big");
    big.setBufferCount(10);
    big.setDataSource(&src);
    ds.moveByDistance(9); // Food 10 at the window's last buffer
    link.setActiveRecord(0);
    ASSERT_EQ(nome()->stringValue(), "Food 10");

    big.setDataSource(nullptr);
    EXPECT_EQ(ds.bufferCount(), 1);
    EXPECT_EQ(nome()->stringValue(), "Food 10");
    link.setBufferCount(3);
    for (int row = 0; row < link.recordCount(); ++row)
        EXPECT_EQ(rowName(row), "Food " + std::to_string(10 + row));
}

TEST_F(Navigation, RefillKeepsOrCentresTheCurrentRecord) {
    addRows(9);
    openRecorded(5);
    ds.moveByDistance(6); // Food 7
    int row = link.activeRecord();

    log.clear();
    ds.refillBuffers(false, false);
    EXPECT_EQ(nome()->stringValue(), "Food 7");
    EXPECT_EQ(link.activeRecord(), row);
    EXPECT_THAT(log.entries, ElementsAre("link.datasetChange", "DataChange"));

    // An exact, centred refill reads around the record the engine cursor stands on.
    TBookmark mark = ds.getBookmark();
    ds.moveFirst();
    ds.gotoBookmark(mark);
    EXPECT_EQ(nome()->stringValue(), "Food 7");
    EXPECT_EQ(ds.activeIndex(), 2) << "centred in a window of five";
    EXPECT_EQ(rowName(0), "Food 5");
}

TEST_F(Navigation, BookmarksLeadBackToTheirRecord) {
    addRows(6);
    openRecorded(2);
    ds.moveByDistance(3);
    TBookmark mark = ds.getBookmark();
    ASSERT_NE(mark, nullptr);
    ds.moveFirst();
    ds.gotoBookmark(mark);
    EXPECT_EQ(nome()->stringValue(), "Food 4");
}

TEST_F(Navigation, OnlyRecordsTheFilterAcceptsAreFetched) {
    addRows(6);
    ds.OnFilterRecord = [this](TDataSet*, bool& accept) {
        EXPECT_EQ(ds.State(), stateFilter);
        accept = static_cast<int>(quantita()->floatValue()) % 20 == 0;
    };
    ds.setFiltered(true);
    openRecorded(3);
    EXPECT_THAT(allNames(), ElementsAre("Food 2", "Food 4", "Food 6"));
    EXPECT_EQ(ds.recordCount(), 3);
}

TEST_F(Navigation, AnOpenThatFailsShutsTheStoreAgain) {
    addRows(2);
    ds.addColumn("Broken", ftCursor); // no field class for it
    recordDataSetEvents(ds, log);
    EXPECT_EQ(messageOf([&] { ds.open(); }), "Table1: Field 'Broken' is of an unknown type");
    EXPECT_EQ(ds.State(), stateInactive);
    EXPECT_EQ(ds.fieldCount(), 0) << "the half-made default fields went with the store";
    EXPECT_THAT(log.entries, ElementsAre("BeforeOpen"));
}

TEST_F(Navigation, ActiveSetWhileLoadingOpensAfterLoading) {
    addRows(1);
    ds.beginLoading();
    ds.setActive(true);
    EXPECT_FALSE(ds.Active());
    ds.endLoading();
    EXPECT_TRUE(ds.Active());
}

} // namespace
