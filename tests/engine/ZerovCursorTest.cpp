// The record store: field lookup, the record lifecycle, value copies, keys and automatic
// numbers.

#include "TableImageTestSupport.h"

using namespace cibrano;
using namespace cibrano::testing;

namespace {

class ZerovCursorTest : public ::testing::Test {
protected:
    void SetUp() override {
        openNewTable(store, {{"ID", ftInteger, 0}, {"NOME", ftString, 50}, {"Foto", ftBlob, 0}});
        store.onDestroyRecordData = [this](intptr_t& data) {
            released.push_back(data);
            data = 0;
        };
    }

    RecordEntry* add(int32_t id, const std::string& name) {
        Buffer b(store);
        b.set<int32_t>("ID", id).text("NOME", name);
        AnsiString message;
        EXPECT_TRUE(store.putRecord(b.get(), nullptr, message)) << message;
        return store.recordAt(store.entryCount() - 1);
    }

    bool update(RecordEntry* e, int32_t id, const std::string& name, AnsiString& message) {
        Buffer b(store);
        b.set<int32_t>("ID", id).text("NOME", name);
        return store.putRecord(b.get(), e, message);
    }

    std::string name(const RecordEntry* e) { return textOf(store, e, "NOME"); }

    std::vector<intptr_t> released; // outlives the store, whose destruction reports too
    TZerovCursor store;
};

} // namespace

TEST_F(ZerovCursorTest, FieldsAreFoundIgnoringCaseAndIndexedWithinRange) {
    EXPECT_EQ(store.fieldCount(), 3);
    EXPECT_EQ(store.findField("nome"), store.fieldAt(1));
    EXPECT_EQ(store.findField("Nom"), nullptr);
    EXPECT_EQ(store.fieldAt(3), nullptr);
    EXPECT_EQ(store.fieldAt(-1), nullptr);
    EXPECT_EQ(store.recordAt(0), nullptr);

    // Key lists keep the order given and leave out BLOBs and unknown names.
    ZerovFieldList keys = store.buildFieldList("nome;Foto;Nessuno;id");
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0], store.fieldAt(1));
    EXPECT_EQ(keys[1], store.fieldAt(0));
}

TEST_F(ZerovCursorTest, LifecycleOfARecordLoadedFromTheFile) {
    add(1, "uno");
    add(2, "due");
    store.commitAllChanges();
    RecordEntry* e = store.recordAt(0);
    ASSERT_EQ(e->status, recUnchanged);
    const RecordEntry* address = e;

    AnsiString message;
    // Edited twice: the backup keeps the values from before the first edit.
    ASSERT_TRUE(store.beginRecordEdit(e));
    ASSERT_TRUE(update(e, 1, "primo", message));
    EXPECT_EQ(e->status, recModified);
    ASSERT_TRUE(store.beginRecordEdit(e));
    ASSERT_TRUE(update(e, 1, "secondo", message));
    EXPECT_EQ(e->status, recModified);
    EXPECT_EQ(name(e), "secondo");

    store.revertAllChanges();
    EXPECT_EQ(e->status, recUnchanged);
    EXPECT_EQ(name(e), "uno");
    EXPECT_EQ(e->backup, nullptr);
    EXPECT_EQ(store.recordAt(0), address); // entries never move

    // Deleted, then reverted: back with its data.
    ASSERT_TRUE(store.markRecordDeleted(e, message));
    EXPECT_EQ(e->status, recDeleted);
    EXPECT_FALSE(store.beginRecordEdit(e));
    EXPECT_FALSE(update(e, 1, "x", message));
    EXPECT_EQ(message, "Record has been deleted");
    EXPECT_FALSE(store.markRecordDeleted(e, message));
    EXPECT_EQ(message, "Record has been deleted");
    store.revertAllChanges();
    EXPECT_EQ(e->status, recUnchanged);
    EXPECT_EQ(name(e), "uno");

    // Modified, deleted, reverted: the values from before the edit.
    ASSERT_TRUE(store.beginRecordEdit(e));
    ASSERT_TRUE(update(e, 1, "cambiato", message));
    ASSERT_TRUE(store.markRecordDeleted(e, message));
    store.revertAllChanges();
    EXPECT_EQ(name(e), "uno");

    // Deleted and committed: a tombstone for good.
    e->userData = 7;
    ASSERT_TRUE(store.markRecordDeleted(e, message));
    store.commitAllChanges();
    EXPECT_EQ(e->status, recRemoved);
    EXPECT_EQ(e->data, nullptr);
    EXPECT_EQ(e->userData, 0);
    EXPECT_EQ(released, (std::vector<intptr_t>{7}));
    store.revertAllChanges();
    EXPECT_EQ(e->status, recRemoved);
    EXPECT_FALSE(update(e, 1, "x", message));
    EXPECT_EQ(message, "Record has been deleted");
    EXPECT_EQ(store.entryCount(), 2);
}

TEST_F(ZerovCursorTest, LifecycleOfAnInsertedRecord) {
    AnsiString message;
    RecordEntry* e = add(1, "nuovo");
    EXPECT_EQ(e->status, recInserted);
    EXPECT_EQ(e->backup, nullptr);
    ASSERT_TRUE(update(e, 1, "ancora", message));
    EXPECT_EQ(e->status, recInserted);
    store.commitAllChanges();
    EXPECT_EQ(e->status, recUnchanged);

    // Inserted and deleted before a commit: gone at once, not even revert brings it back.
    RecordEntry* f = add(2, "effimero");
    f->userData = 9;
    ASSERT_TRUE(store.markRecordDeleted(f, message));
    EXPECT_EQ(f->status, recRemoved);
    EXPECT_EQ(f->data, nullptr);
    EXPECT_EQ(released, (std::vector<intptr_t>{9}));
    store.revertAllChanges();
    EXPECT_EQ(f->status, recRemoved);

    // Inserted and reverted: a tombstone too.
    RecordEntry* g = add(3, "annullato");
    store.revertAllChanges();
    EXPECT_EQ(g->status, recRemoved);
    EXPECT_EQ(e->status, recUnchanged);
    EXPECT_EQ(store.entryCount(), 3);
}

TEST_F(ZerovCursorTest, UnknownEntriesAreNotFound) {
    AnsiString message;
    RecordEntry stranger;
    EXPECT_FALSE(update(&stranger, 1, "x", message));
    EXPECT_EQ(message, "Record is not found");
    EXPECT_FALSE(store.markRecordDeleted(&stranger, message));
    EXPECT_EQ(message, "Record is not found");
    EXPECT_FALSE(store.beginRecordEdit(nullptr));
}

// A large store finds its records by an index of their addresses: it must answer what the
// scan answers as records are added, sorted and the list is read anew.
TEST_F(ZerovCursorTest, ALargeStoreFindsItsOwnRecordsAndNoOthers) {
    for (int i = 0; i < 3000; ++i)
        add(i, "n" + std::to_string((i * 7919) % 3000));
    TZerovCursor other;
    openNewTable(other, {{"ID", ftInteger, 0}, {"NOME", ftString, 50}, {"Foto", ftBlob, 0}});
    {
        Buffer b(other);
        AnsiString message;
        ASSERT_TRUE(other.putRecord(b.get(), nullptr, message));
    }
    AnsiString message;
    RecordEntry stranger;
    EXPECT_FALSE(update(&stranger, 1, "x", message));
    EXPECT_EQ(message, "Record is not found");
    EXPECT_FALSE(update(other.recordAt(0), 1, "x", message));
    EXPECT_EQ(message, "Record is not found");
    EXPECT_TRUE(update(store.recordAt(0), 1, "first", message)) << message;
    EXPECT_TRUE(update(store.recordAt(2999), 2, "last", message)) << message;
    // Added after the index was made.
    RecordEntry* added = add(5000, "added");
    EXPECT_TRUE(update(added, 5001, "added again", message)) << message;
    EXPECT_TRUE(store.markRecordDeleted(store.recordAt(1500), message)) << message;
    store.sortRecords("NOME", false);
    int updated = 0;
    for (RecordEntry* e : store.entries())
        if (e->isLive())
            updated += update(e, 9, "after sort", message);
    EXPECT_EQ(updated, 3000);
    EXPECT_FALSE(store.markRecordDeleted(&stranger, message));

    // The list read anew from an image: its new records are found.
    TMemoryStream image;
    store.writeTableImage(image);
    image.setPosition(0);
    ASSERT_TRUE(store.readTableImage(image, message)) << message;
    ASSERT_GT(store.entryCount(), 2000);
    EXPECT_TRUE(update(store.recordAt(store.entryCount() - 1), 7, "re-read", message)) << message;
    EXPECT_FALSE(update(other.recordAt(0), 1, "x", message));
}

TEST_F(ZerovCursorTest, CopiesOwnTheirTextsAndBlobs) {
    Buffer source(store);
    source.set<int32_t>("ID", 5).text("NOME", "pane").text("Foto", std::string("\x00\x01", 2));
    Buffer target(store);
    target.text("NOME", "vecchio").text("Foto", "vecchia");
    store.copyRecordValues(source.get(), target.get());
    EXPECT_NE(textRefAt(target.slot("NOME")), textRefAt(source.slot("NOME")));
    EXPECT_STREQ(textRefAt(target.slot("NOME")), "pane");
    EXPECT_NE(blobRefAt(target.slot("Foto")), blobRefAt(source.slot("Foto")));
    EXPECT_EQ(blobLengthAt(target.slot("Foto")), 2);
    EXPECT_EQ(readSlot<int32_t>(target.slot("ID")), 5);

    // Empty values are copied as empty, releasing what the target held.
    Buffer empty(store);
    store.copyRecordValues(empty.get(), target.get());
    EXPECT_EQ(textRefAt(target.slot("NOME")), nullptr);
    EXPECT_EQ(blobRefAt(target.slot("Foto")), nullptr);
    EXPECT_EQ(blobLengthAt(target.slot("Foto")), 0);

    store.copyRecordValues(source.get(), source.get()); // onto itself: nothing lost
    EXPECT_STREQ(textRefAt(source.slot("NOME")), "pane");
}

TEST_F(ZerovCursorTest, DuplicateKeysIgnoreTheEditedRecordDeletedOnesAndTombstones) {
    AnsiString message;
    RecordEntry* pane = add(1, "pane");
    RecordEntry* pasta = add(2, "pasta");
    RecordEntry* riso = add(3, "riso");
    store.commitAllChanges();
    RecordEntry* gone = add(4, "sale"); // will become a tombstone
    ASSERT_TRUE(store.markRecordDeleted(gone, message));
    ASSERT_TRUE(store.markRecordDeleted(riso, message));

    Buffer b(store);
    b.set<int32_t>("ID", 9).text("NOME", "pane");
    EXPECT_TRUE(store.hasDuplicateKey(b.get(), nullptr, "Nome"));
    EXPECT_FALSE(store.hasDuplicateKey(b.get(), pane, "Nome"));
    EXPECT_TRUE(store.hasDuplicateKey(b.get(), pasta, "Nome"));
    EXPECT_FALSE(store.hasDuplicateKey(b.get(), nullptr, "Nome;ID"));
    EXPECT_FALSE(store.hasDuplicateKey(b.get(), nullptr, "")); // all fields

    b.text("NOME", "riso");
    EXPECT_FALSE(store.hasDuplicateKey(b.get(), nullptr, "Nome")); // deleted
    b.text("NOME", "sale");
    EXPECT_FALSE(store.hasDuplicateKey(b.get(), nullptr, "Nome")); // tombstone
    b.text("NOME", "Pane");
    EXPECT_FALSE(store.hasDuplicateKey(b.get(), nullptr, "Nome")); // case counts

    b.set<int32_t>("ID", 2).text("NOME", "pasta");
    EXPECT_TRUE(store.hasDuplicateKey(b.get(), nullptr, ""));
    EXPECT_FALSE(store.hasDuplicateKey(b.get(), nullptr, "Nessuno")); // no key, no violation
}

TEST_F(ZerovCursorTest, ClearingFreesEveryRecordLastFirstAndOptionallyTheFields) {
    add(1, "a")->userData = 1;
    add(2, "b")->userData = 2;
    add(3, "c")->userData = 3;
    store.clearStore(false);
    EXPECT_EQ(released, (std::vector<intptr_t>{3, 2, 1}));
    EXPECT_EQ(store.entryCount(), 0);
    EXPECT_EQ(store.fieldCount(), 3);
    store.clearStore(true);
    EXPECT_EQ(store.fieldCount(), 0);
    EXPECT_EQ(store.recordBufferSize(), 0);
}

TEST(ZerovCursorAutoInc, InsertsContinueFromTheHighestNumberLoaded) {
    // A table whose records hold the numbers 3, 7 and 5, in that order.
    TZerovCursor source;
    openNewTable(source, {{"Numero", ftAutoInc, 0}, {"Nome", ftString, 10}});
    AnsiString message;
    for (int32_t n : {3, 7, 5}) {
        Buffer b(source);
        b.text("Nome", std::to_string(n));
        ASSERT_TRUE(source.putRecord(b.get(), nullptr, message));
        writeSlot<int32_t>(
            slotOf(source.recordAt(source.entryCount() - 1)->data, *source.findField("Numero")), n);
    }
    TZerovCursor store;
    ASSERT_TRUE(readImage(store, writeImage(source), message)) << message;
    EXPECT_EQ(store.autoIncCounter(), 7);
    // The loaded records come out ordered by their number.
    EXPECT_EQ(textOf(store, store.recordAt(0), "Nome"), "3");
    EXPECT_EQ(textOf(store, store.recordAt(2), "Nome"), "7");

    for (int32_t expected : {8, 9}) {
        Buffer b(store);
        b.set<int32_t>("Numero", 100); // whatever the buffer holds
        ASSERT_TRUE(store.putRecord(b.get(), nullptr, message));
        EXPECT_EQ(valueOf<int32_t>(store, store.recordAt(store.entryCount() - 1), "Numero"),
                  expected);
    }
    // Updating a record keeps its number as the buffer gives it.
    Buffer b(store);
    b.set<int32_t>("Numero", 3);
    ASSERT_TRUE(store.putRecord(b.get(), store.recordAt(0), message));
    EXPECT_EQ(store.autoIncCounter(), 9);
    store.clearStore(false);
    EXPECT_EQ(store.autoIncCounter(), 0);
}
