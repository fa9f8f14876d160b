// The record store's count of changes to its list of records, and a dataset bringing its view
// up to date with it: a clone follows the records its source added or deleted, keeping its
// current record, and leaves its view alone when only values changed.

#include "tests/engine/TableImageTestSupport.h"
#include "tests/engine/ZerovTableTestSupport.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <random>

namespace cibrano::testing {
namespace {

class StoreListVersion : public ::testing::Test {
protected:
    void SetUp() override { openNewTable(store, {{"ID", ftInteger, 0}, {"NOME", ftString, 20}}); }

    RecordEntry* add(int32_t id) {
        Buffer b(store);
        b.set<int32_t>("ID", id);
        AnsiString message;
        EXPECT_TRUE(store.putRecord(b.get(), nullptr, message)) << message;
        return store.recordAt(store.entryCount() - 1);
    }

    // Whether `change` moved the count on.
    template <typename Change> bool moves(Change change) {
        const uint64_t before = store.listVersion();
        change();
        return store.listVersion() != before;
    }

    TZerovCursor store;
    AnsiString message;
};

TEST_F(StoreListVersion, MovesWhenRecordsEnterLeaveOrReturn) {
    RecordEntry* kept = nullptr;
    EXPECT_TRUE(moves([&] { kept = add(1); }));
    store.commitAllChanges();
    RecordEntry* inserted = nullptr;
    EXPECT_TRUE(moves([&] { inserted = add(2); }));
    // An inserted record deleted goes at once; a committed one is marked deleted.
    EXPECT_TRUE(moves([&] { EXPECT_TRUE(store.markRecordDeleted(inserted, message)); }));
    EXPECT_TRUE(moves([&] { EXPECT_TRUE(store.markRecordDeleted(kept, message)); }));
    // Brought back by a revert of its own or of all changes.
    EXPECT_TRUE(moves([&] { store.revertRecord(kept); }));
    EXPECT_TRUE(kept->isLive());
    EXPECT_TRUE(store.markRecordDeleted(kept, message));
    EXPECT_TRUE(moves([&] { store.revertAllChanges(); }));
    // Deleted records removed for good by a commit.
    EXPECT_TRUE(store.markRecordDeleted(kept, message));
    EXPECT_TRUE(moves([&] { store.commitAllChanges(); }));
    EXPECT_EQ(kept->status, recRemoved);

    add(3);
    add(4);
    EXPECT_TRUE(moves([&] { store.sortRecords("ID", false); }));
    EXPECT_TRUE(moves([&] { store.clearStore(false); }));
    EXPECT_TRUE(moves([&] { openNewTable(store, {{"ID", ftInteger, 0}}); }));
}

TEST_F(StoreListVersion, StaysWhenOnlyValuesChangeOrAChangeIsRefused) {
    RecordEntry* e = add(1);
    store.commitAllChanges();
    EXPECT_FALSE(moves([&] {
        EXPECT_TRUE(store.beginRecordEdit(e));
        Buffer b(store);
        b.set<int32_t>("ID", 9);
        EXPECT_TRUE(store.putRecord(b.get(), e, message));
    }));
    EXPECT_FALSE(moves([&] { store.revertRecord(e); })); // a modified record was live all along
    EXPECT_FALSE(moves([&] { store.commitAllChanges(); }));
    EXPECT_FALSE(moves([&] { EXPECT_FALSE(store.markRecordDeleted(nullptr, message)); }));
    EXPECT_TRUE(store.markRecordDeleted(e, message));
    EXPECT_FALSE(moves([&] { EXPECT_FALSE(store.markRecordDeleted(e, message)); }));
}

// The count of entries a view leaves out, which lets a view of every record copy the list
// whole, must equal a scan of the entries after any sequence of changes.
TEST_F(StoreListVersion, CountsTheEntriesAViewLeavesOut) {
    auto scanned = [&] {
        return static_cast<size_t>(
            std::count_if(store.entries().begin(), store.entries().end(),
                          [](const RecordEntry* e) { return !e->isLive() || !e->data; }));
    };
    std::mt19937 random(8122026);
    for (int step = 0; step < 2000; ++step) {
        const int count = store.entryCount();
        RecordEntry* some =
            count > 0 ? store.recordAt(static_cast<int>(random() % count)) : nullptr;
        switch (random() % 8) {
        case 0:
        case 1:
            add(step);
            break;
        case 2:
            if (store.beginRecordEdit(some)) {
                Buffer b(store);
                b.set<int32_t>("ID", -step);
                store.putRecord(b.get(), some, message);
            }
            break;
        case 3:
        case 4:
            store.markRecordDeleted(some, message);
            break;
        case 5:
            store.revertRecord(some);
            break;
        case 6:
            random() % 2 ? store.commitAllChanges() : store.revertAllChanges();
            break;
        case 7:
            if (random() % 20 == 0)
                store.clearStore(false);
            break;
        }
        ASSERT_EQ(store.unshownEntryCount(), scanned()) << "after step " << step;
    }
}

class CloneFollowsStore : public ZerovTableFixture {
protected:
    CloneFollowsStore() {
        source.setName("Table1");
        source.setTableName(copyGolden("food-plain.d", "t.d"));
        source.open();
        clone.setCloneDS(&source);
        clone.open();
    }
    ~CloneFollowsStore() override {
        clone.close();
        source.close();
    }

    void appendFood(const char* name) {
        source.beginAppend();
        source.fieldByName("Nome")->setStringValue(name);
        source.postRecord();
    }

    TZerovTable source;
    TZerovTable clone;
};

TEST_F(CloneFollowsStore, ABuiltViewIsInStepUntilTheSourceAddsOrDeletesARecord) {
    EXPECT_FALSE(clone.viewBehindStore());
    EXPECT_FALSE(clone.refreshViewFromStore());
    source.moveFirst();
    setValue(source, "Quantita", "5"); // a value, not a record
    EXPECT_FALSE(clone.viewBehindStore());

    appendFood("Riso");
    EXPECT_TRUE(clone.viewBehindStore());
    EXPECT_EQ(clone.recordCount(), 5);
    EXPECT_TRUE(clone.refreshViewFromStore());
    EXPECT_EQ(clone.recordCount(), 6);
    EXPECT_EQ(column(clone, "Nome").back(), "Riso");
    EXPECT_FALSE(clone.refreshViewFromStore());
}

TEST_F(CloneFollowsStore, FollowsDeletesAndDiscardsKeepingItsCurrentRecord) {
    clone.moveFirst();
    clone.moveNext();
    clone.moveNext(); // "Pomodori maturi"
    source.moveFirst();
    source.deleteRecord(); // "Pasta di semola"
    EXPECT_TRUE(clone.refreshViewFromStore());
    EXPECT_EQ(clone.recordCount(), 4);
    EXPECT_EQ(clone.fieldByName("Nome")->stringValue(), "Pomodori maturi");
    EXPECT_EQ(clone.recordNumber(), 2);

    appendFood("Riso");
    EXPECT_TRUE(clone.refreshViewFromStore());
    EXPECT_EQ(clone.recordCount(), 5);
    source.discardChanges(); // "Pasta di semola" returns, "Riso" goes
    EXPECT_TRUE(clone.refreshViewFromStore());
    EXPECT_EQ(column(clone, "Nome").front(), "Pasta di semola");
    EXPECT_EQ(clone.recordCount(), 5);
    EXPECT_EQ(column(clone, "Nome").back(), "Latte intero pastorizzato di alta qualit\xE0");
}

TEST_F(CloneFollowsStore, LeavesAnEditUnderWayAndAClosedDatasetAlone) {
    appendFood("Riso");
    clone.moveFirst();
    clone.beginEdit();
    EXPECT_FALSE(clone.refreshViewFromStore());
    EXPECT_EQ(clone.State(), stateEdit);
    EXPECT_EQ(clone.recordCount(), 5);
    clone.cancelRecord();
    EXPECT_TRUE(clone.refreshViewFromStore());
    EXPECT_EQ(clone.recordCount(), 6);

    clone.close();
    EXPECT_FALSE(clone.refreshViewFromStore());
    EXPECT_FALSE(clone.viewBehindStore());
}

TEST_F(CloneFollowsStore, ASortedCloneKeepsItsOwnOrderAfterFollowing) {
    clone.setIndexFieldNames("Nome");
    appendFood("Aglio");
    EXPECT_TRUE(clone.refreshViewFromStore());
    EXPECT_EQ(column(clone, "Nome").front(), "Aglio");
    EXPECT_EQ(column(source, "Nome").back(), "Aglio");
}

} // namespace
} // namespace cibrano::testing
