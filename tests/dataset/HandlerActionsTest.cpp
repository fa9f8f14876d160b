// What the framework does when handlers act on the dataset, its source or its links while an
// operation is under way: an operation ends silently when a handler took the dataset out of
// its state; closing or moving while a record is filtered, and closing while a field is
// written, are refused; every listener hears a notification even when another one raises;
// links and sources may be freed in their own notifications; a link without a source answers
// harmlessly. (The table dataset runs the whole matrix in HandlerReentrancyTest.)

#include "DataSetFixture.h"

#include "dataset/Abort.h"

#include <algorithm>
#include <memory>

using namespace cibrano;
using namespace cibrano::testkit;
using ::testing::ElementsAre;

namespace {

constexpr const char* kBusy =
    "Table1: Cannot perform this operation while a record is being calculated, filtered or "
    "written";

class HandlerActions : public DataSetFixture {};

TEST_F(HandlerActions, ClosingBeforeAnInsertOrAnEditEndsItSilently) {
    addRows(3);
    openRecorded();
    using Start = void (TDataSet::*)();
    const std::vector<std::pair<TDataSet::TDataSetNotifyEvent*, Start>> cases = {
        {&ds.BeforeInsert, &TDataSet::beginInsert},
        {&ds.BeforeInsert, &TDataSet::beginAppend},
        {&ds.BeforeScroll, &TDataSet::beginInsert},
        {&ds.BeforeScroll, &TDataSet::beginAppend},
        {&ds.BeforeEdit, &TDataSet::beginEdit}};
    for (const auto& [event, start] : cases) {
        ds.open();
        const TDataSet::TDataSetNotifyEvent recorded = *event;
        *event = [](TDataSet* d) { d->close(); };
        log.clear();
        EXPECT_NO_THROW((ds.*start)());
        EXPECT_FALSE(ds.Active());
        for (const char* never : {"OnNewRecord", "AfterInsert", "AfterEdit", "AfterScroll"})
            EXPECT_EQ(std::count(log.entries.begin(), log.entries.end(), never), 0) << never;
        *event = recorded;
    }
    ds.open();
    EXPECT_EQ(allNames(), (std::vector<std::string>{"Food 1", "Food 2", "Food 3"}));
}

TEST_F(HandlerActions, ACancelBeforePostEndsThePostWithoutStoringTheRecord) {
    addRows(2);
    openRecorded();
    ds.BeforePost = [](TDataSet* d) { d->cancelRecord(); };
    ds.beginInsert();
    nome()->setStringValue("Nuovo");
    ds.postRecord();
    EXPECT_EQ(ds.State(), stateBrowse);
    ds.BeforePost = nullptr;
    EXPECT_EQ(allNames(), (std::vector<std::string>{"Food 1", "Food 2"}));
}

TEST_F(HandlerActions, ClosingOrMovingWhileARecordIsFilteredIsRefused) {
    addRows(3);
    openRecorded();
    std::vector<std::string> refusals;
    bool once = true;
    ds.setOnFilterRecord([&](TDataSet* d, bool& accept) {
        accept = true;
        if (!once)
            return;
        once = false;
        refusals.push_back(messageOf([&] { d->close(); }));
        refusals.push_back(messageOf([&] { d->moveNext(); }));
        refusals.push_back(messageOf([&] { d->deleteRecord(); }));
    });
    ds.setFiltered(true);
    ds.moveFirst();
    EXPECT_THAT(refusals, ElementsAre(kBusy, kBusy, kBusy));
    EXPECT_TRUE(ds.Active());
    EXPECT_EQ(nome()->stringValue(), "Food 1");
}

TEST_F(HandlerActions, ClosingWhileAFieldIsWrittenIsRefusedAndTheValueStays) {
    addRows(2);
    openRecorded();
    std::string refusal;
    quantita()->OnChange = [&](TField* f) { refusal = messageOf([&] { f->DataSet()->close(); }); };
    ds.beginEdit();
    quantita()->setFloatValue(7);
    EXPECT_EQ(refusal, kBusy);
    EXPECT_EQ(quantita()->floatValue(), 7);
    ds.postRecord();
    quantita()->OnChange = nullptr;
    ds.close(); // nothing is being written now
    EXPECT_FALSE(ds.Active());
}

// A link that raises from every notification but the state updates.
class ThrowingLink : public TDataLink {
protected:
    void notifyDatasetChange() override { databaseError("link failed"); }
    void notifyDatasetScroll(int) override { databaseError("link failed"); }
};

TEST_F(HandlerActions, ALinkThatRaisesDoesNotKeepTheOthersFromHearing) {
    addRows(4);
    openRecorded();
    ThrowingLink failing;
    failing.setVisualControl(true);
    failing.setDataSource(&src); // attached last, so told first
    log.clear();
    EXPECT_EQ(messageOf([&] { ds.moveNext(); }), "link failed");
    // The link attached before the failing one heard the scroll, and so did the source; the
    // error then ends the move before AfterScroll.
    EXPECT_THAT(log.entries,
                ElementsAre("link.checkBrowse", "BeforeScroll", "link.scroll(1)", "DataChange"));
    EXPECT_EQ(nome()->stringValue(), "Food 2");
    failing.setDataSource(nullptr);
}

// A link that frees itself, or its data source, when it hears a change.
class SelfFreeingLink : public TDataLink {
public:
    std::function<void(SelfFreeingLink*)> onChange;

protected:
    void notifyDatasetChange() override { onChange(this); }
};

TEST_F(HandlerActions, LinksAndSourcesMayBeFreedInTheirOwnNotifications) {
    addRows(3);
    openRecorded(2);
    auto* freed = new SelfFreeingLink();
    freed->setBufferCount(5);
    freed->onChange = [](SelfFreeingLink* self) { delete self; };
    freed->setDataSource(&src);
    EXPECT_EQ(ds.bufferCount(), 5);
    log.clear();
    ds.moveLast();
    EXPECT_THAT(log.entries, ElementsAre("link.checkBrowse", "BeforeScroll", "link.datasetChange",
                                         "DataChange", "AfterScroll"));
    EXPECT_EQ(ds.bufferCount(), 2) << "the window shrinks to what the links left ask for";
    EXPECT_EQ(link.activeRecord(), 1);

    auto* second = new TDataSource();
    second->setDataSet(&ds);
    bool heard = false;
    second->OnDataChange = [&](TDataSource* s, TField*) {
        heard = true;
        delete s;
    };
    log.clear();
    ds.moveFirst();
    EXPECT_TRUE(heard);
    EXPECT_THAT(log.entries, ElementsAre("link.checkBrowse", "BeforeScroll", "link.datasetChange",
                                         "DataChange", "AfterScroll"));
    ds.moveNext();
    EXPECT_EQ(nome()->stringValue(), "Food 2");
}

TEST_F(HandlerActions, ALinkWithoutASourceAnswersHarmlessly) {
    RecordingLink alone{log, "alone"};
    EXPECT_EQ(alone.dataSet(), nullptr);
    EXPECT_EQ(alone.activeRecord(), 0);
    EXPECT_EQ(alone.recordCount(), 0);
    EXPECT_TRUE(alone.atBeginning());
    EXPECT_TRUE(alone.atEnd());
    EXPECT_EQ(alone.moveByDistance(3), 0);
    EXPECT_FALSE(alone.edit());
    alone.setActiveRecord(2);
    alone.setBufferCount(10);
    EXPECT_EQ(alone.BufferCount(), 10);
    alone.collectPendingEdit();
    EXPECT_FALSE(alone.Active());
    EXPECT_THAT(log.entries, ElementsAre("alone.updateData"));
}

TEST_F(HandlerActions, AStateChangeHandlerThatRaisesStillLetsTheCloseFinish) {
    addRows(2);
    openRecorded(3);
    src.OnStateChange = [](TDataSource* s) {
        if (s->State() == stateInactive)
            databaseError("state handler failed");
    };
    EXPECT_EQ(messageOf([&] { ds.close(); }), "state handler failed");
    EXPECT_FALSE(ds.Active());
    EXPECT_EQ(ds.filledCount(), 0);
    EXPECT_FALSE(link.Active());
    src.OnStateChange = nullptr;
    ds.open();
    EXPECT_EQ(allNames(), (std::vector<std::string>{"Food 1", "Food 2"}));
}

TEST_F(HandlerActions, AnInsertWhoseStateChangeRaisesGoesBackToTheStoredRecords) {
    addRows(3);
    openRecorded(3);
    ds.moveNext();
    src.OnStateChange = [](TDataSource* s) {
        if (s->State() == stateInsert)
            databaseError("no inserts");
    };
    EXPECT_EQ(messageOf([&] { ds.beginInsert(); }), "no inserts");
    EXPECT_EQ(ds.State(), stateBrowse);
    EXPECT_EQ(ds.filledCount(), 3) << "no blank record left in the window";
    EXPECT_EQ(nome()->stringValue(), "Food 2");
    src.OnStateChange = nullptr;
    EXPECT_EQ(allNames(), (std::vector<std::string>{"Food 1", "Food 2", "Food 3"}));
}

} // namespace
