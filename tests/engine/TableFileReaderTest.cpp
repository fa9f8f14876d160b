// Reading a table file a piece at a time, and the records that live in the store's pool: a file
// reads exactly as its image read from memory (whole, cut short anywhere, damaged), a file that
// cannot be read changes nothing, and pooled records change, go back and go away as any other.

#include "tests/engine/ZerovTableTestSupport.h"

#include "dataset/DataSet.h"
#include "engine/record/FieldValues.h"

#include <random>

namespace cibrano::testing {
namespace {

const char kPassword[] = "QUARZOFELCEBRUM";

// A table whose records are larger together than a piece of the file, some single values
// larger than a piece too, with notes.
std::string largeImage(const char* password) {
    TZerovCursor store;
    openNewTable(store, {{"Nome", ftString, 8191},
                         {"Codice", ftString, 20},
                         {"Foto", ftBlob, 0},
                         {"Peso", ftFloat, 0},
                         {"Numero", ftInteger, 0}});
    std::mt19937 random(7);
    AnsiString message;
    for (int r = 0; r < 1500; ++r) {
        Buffer b(store);
        const size_t nameLength = r % 97 == 0 ? 8191 : random() % 60;
        std::string name(nameLength, 'a');
        for (char& c : name)
            c = static_cast<char>(0x20 + random() % 0xDF); // accents too, never a NUL
        b.text("Nome", name).text("Codice", std::to_string(r));
        if (r % 500 == 1)
            b.text("Foto", std::string(300000 + r, static_cast<char>(r)));
        else if (r % 3 == 0)
            b.text("Foto", std::string(random() % 40, 'x'));
        b.set<double>("Peso", r * 0.25).set<int32_t>("Numero", r % 5 == 0 ? 0 : r);
        EXPECT_TRUE(store.putRecord(b.get(), nullptr, message)) << message;
    }
    store.setNotes("Tabella di prova");
    store.setPassword(password);
    return writeImage(store);
}

struct ReadResult {
    bool ok;
    AnsiString message;
    AnsiString notes;
    int entries;
    std::string plainImage;
};

ReadResult resultOf(TZerovCursor& store, bool ok, const AnsiString& message) {
    ReadResult r{ok, message, store.notes(), store.entryCount(), {}};
    store.setPassword("");
    r.plainImage = writeImage(store);
    return r;
}

void expectSameResult(const ReadResult& file, const ReadResult& memory) {
    EXPECT_EQ(file.ok, memory.ok);
    EXPECT_EQ(file.message, memory.message);
    EXPECT_EQ(file.notes, memory.notes);
    EXPECT_EQ(file.entries, memory.entries);
    EXPECT_TRUE(file.plainImage == memory.plainImage) << "the records differ";
}

class TableFileReaderTest : public ZerovTableFixture {
protected:
    // Reads `bytes` from a file and from memory with the same settings; both must agree.
    void compareReads(const std::string& bytes, const char* password, bool partial) {
        const std::string path = dir.file("image.d");
        writeFileAtomically(path, bytes);

        TZerovCursor fromFile;
        fromFile.setPassword(password);
        fromFile.setPartialOpen(partial);
        AnsiString fileMessage;
        const auto read = fromFile.readTableFile(path, fileMessage);
        ASSERT_NE(read, TZerovCursor::FileRead::unreadable) << fileMessage;

        TZerovCursor fromMemory;
        fromMemory.setPassword(password);
        fromMemory.setPartialOpen(partial);
        AnsiString memoryMessage;
        TMemoryStream stream(bytes);
        const bool ok = fromMemory.readTableImage(stream, memoryMessage);

        expectSameResult(resultOf(fromFile, read == TZerovCursor::FileRead::loaded, fileMessage),
                         resultOf(fromMemory, ok, memoryMessage));
    }
};

TEST_F(TableFileReaderTest, AFileReadsAsItsImageDoesWholeCutShortAndDamaged) {
    struct Case {
        std::string bytes;
        const char* password;
    };
    const std::vector<Case> cases = {{goldenBytes("food-plain.d"), ""},
                                     {goldenBytes("food-enciphered.d"), kFoodPassword},
                                     {goldenBytes("food-enciphered.d"), "wrong"},
                                     {largeImage(""), ""},
                                     {largeImage(kPassword), kPassword}};
    std::mt19937 random(20261208);
    int reads = 0;
    for (size_t c = 0; c < cases.size(); ++c) {
        const std::string& bytes = cases[c].bytes;
        for (bool partial : {false, true}) {
            SCOPED_TRACE("case " + std::to_string(c) + (partial ? ", partial open" : ""));
            compareReads(bytes, cases[c].password, partial);
            // Cut short: inside the header and the descriptions, then anywhere.
            std::vector<size_t> cuts = {0, 1, 4, 5, 20, 44, 45, 60};
            for (int i = 0; i < 12; ++i)
                cuts.push_back(random() % bytes.size());
            for (size_t cut : cuts) {
                SCOPED_TRACE("cut at " + std::to_string(cut));
                compareReads(bytes.substr(0, std::min(cut, bytes.size())), cases[c].password,
                             partial);
                ++reads;
            }
            // A few damaged bytes after the header.
            for (int i = 0; i < 6; ++i) {
                std::string damaged = bytes;
                for (int k = 0; k < 3; ++k)
                    damaged[50 + random() % (damaged.size() - 50)] ^=
                        static_cast<char>(1 + random() % 255);
                SCOPED_TRACE("damaged " + std::to_string(i));
                compareReads(damaged, cases[c].password, partial);
                ++reads;
            }
        }
    }
    EXPECT_GT(reads, 200);
}

TEST_F(TableFileReaderTest, AFileThatCannotBeReadChangesNothing) {
    TZerovCursor store;
    AnsiString message;
    TMemoryStream image(goldenBytes("food-plain.d"));
    ASSERT_TRUE(store.readTableImage(image, message)) << message;
    const std::string before = writeImage(store);

    for (const std::string& path : {dir.file("missing.d"), dir.path}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(store.readTableFile(path, message), TZerovCursor::FileRead::unreadable);
        EXPECT_FALSE(message.empty());
        EXPECT_EQ(writeImage(store), before);
    }

    // The table component says which file it could not open.
    TZerovDatabase db;
    db.setDatabasePath(dir.path);
    std::filesystem::create_directory(dir.file("folder.d"));
    TZerovTable t;
    t.setDatabase(&db);
    t.setTableName("folder.d");
    EXPECT_THROW(t.open(), EDatabaseError);
    EXPECT_FALSE(t.Active());
    EXPECT_EQ(t.store(), nullptr);
}

TEST_F(TableFileReaderTest, PooledRecordsChangeRevertAndGoAsAnyOther) {
    const std::string path = dir.file("large.d");
    writeFileAtomically(path, largeImage(""));
    TZerovCursor store;
    AnsiString message;
    ASSERT_EQ(store.readTableFile(path, message), TZerovCursor::FileRead::loaded) << message;
    ASSERT_EQ(store.entryCount(), 1500);
    RecordEntry* first = store.recordAt(0);
    RecordEntry* second = store.recordAt(1);
    RecordEntry* third = store.recordAt(2);
    ASSERT_TRUE(first->pooled);
    const std::string firstName = textOf(store, first, "Nome");

    // An edit keeps a backup, gets a buffer of its own, and goes back on revert.
    ASSERT_TRUE(store.beginRecordEdit(first));
    {
        Buffer b(store);
        store.copyRecordValues(first->data, b.get());
        b.text("Nome", "Pane integrale").text("Foto", "nuova");
        ASSERT_TRUE(store.putRecord(b.get(), first, message)) << message;
    }
    EXPECT_FALSE(first->pooled);
    EXPECT_EQ(textOf(store, first, "Nome"), "Pane integrale");
    EXPECT_EQ(textOf(store, first, "Foto"), "nuova");
    EXPECT_EQ(textOf(store, second, "Codice"), "1");
    store.revertRecord(first);
    EXPECT_EQ(textOf(store, first, "Nome"), firstName);
    EXPECT_EQ(first->status, recUnchanged);

    // Values written into a pooled record from outside the store give back nothing of the
    // pool, and the store frees what they left.
    fieldValueFromText(slotOf(second->data, *store.findField("Nome")), "Riso",
                       *store.findField("Nome"));
    EXPECT_EQ(textOf(store, second, "Nome"), "Riso");
    {
        Buffer b(store);
        b.text("Codice", "X1");
        uint8_t* owned = store.ownRecordData(third);
        EXPECT_FALSE(third->pooled);
        store.copyRecordValues(b.get(), owned);
    }
    EXPECT_EQ(textOf(store, third, "Codice"), "X1");

    // Deleting and committing removes the pooled data; the entry stays as a tombstone.
    ASSERT_TRUE(store.markRecordDeleted(store.recordAt(3), message));
    store.commitAllChanges();
    EXPECT_EQ(store.recordAt(3)->status, recRemoved);
    EXPECT_EQ(store.recordAt(3)->data, nullptr);

    // What was written reads back from the file.
    store.saveTableFile(path, {}, false, "");
    TZerovCursor back;
    ASSERT_EQ(back.readTableFile(path, message), TZerovCursor::FileRead::loaded) << message;
    ASSERT_EQ(back.entryCount(), 1499);
    EXPECT_EQ(textOf(back, back.recordAt(0), "Nome"), firstName);
    EXPECT_EQ(textOf(back, back.recordAt(1), "Nome"), "Riso");
    EXPECT_EQ(textOf(back, back.recordAt(2), "Codice"), "X1");
    store.clearStore(true);
    EXPECT_EQ(store.entryCount(), 0);
}

TEST_F(TableFileReaderTest, AFilterHandlerWritingIntoPooledRecordsKeepsTheValues) {
    const std::string path = copyGolden("food-enciphered.d", "alimenti.d");
    TZerovDatabase db;
    db.setDatabasePath(dir.path);
    TZerovTable t;
    t.setDatabase(&db);
    t.setTableName("alimenti.d");
    t.setPassword(kFoodPassword);
    t.open();
    t.OnFilterRecord = [](TDataSet* ds, bool& accept) {
        TField* name = ds->fieldByName("Nome");
        name->setStringValue(name->stringValue() + " (bio)");
        accept = true;
    };
    t.setFiltered(true);
    t.setFiltered(false);
    t.OnFilterRecord = nullptr;
    t.moveFirst();
    EXPECT_EQ(t.fieldByName("Nome")->stringValue(), "Pasta di semola (bio)");
    EXPECT_EQ(column(t, "Nome").size(), 5u);
    t.close();
}

} // namespace
} // namespace cibrano::testing
