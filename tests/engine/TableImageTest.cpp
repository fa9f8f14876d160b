// The table image, byte for byte: the smallest example, the golden food tables, and round trips
// of every field kind, plain and enciphered.

#include "TableImageTestSupport.h"

#include "engine/file/Crc16.h"
#include "engine/file/Sapphire.h"
#include "engine/file/ZerovSession.h"
#include "platform/ScriptedUi.h"

#include <cmath>

using namespace cibrano;
using namespace cibrano::testing;

namespace {

const char kFoodPassword[] = "QUARZOFELCEBRUM";

const std::vector<FieldDescription> kFoodFields = {
    {"Gruppo", ftString, 30}, {"Nome", ftString, 50},  {"Quantita", ftFloat, 0},
    {"Kcalorie", ftFloat, 0}, {"Glucidi", ftFloat, 0}, {"Lipidi", ftFloat, 0},
    {"Proteine", ftFloat, 0}};

struct Food {
    const char* gruppo;
    const char* nome;
    double quantita, kcalorie, glucidi, lipidi, proteine;
};

const Food kFoods[] = {
    {"Cereali e derivati", "Pasta di semola", 80, 353, 79.1, 1.4, 10.9},
    {"Oli e grassi", "Olio extravergine d'oliva", 10, 899, 0, 99.9, 0},
    {"Verdure e ortaggi", "Pomodori maturi", 150, 19, 3.5, 0.2, 1},
    {"Formaggi", "Parmigiano", 0, 387, 0, 28.1, 33.5},
    {"Latte e derivati", "Latte intero pastorizzato di alta qualit\xE0", 0, 64, 4.9, 3.6, 3.3},
};

void expectFoodTable(const TZerovCursor& store) {
    ASSERT_EQ(store.fieldCount(), 7);
    EXPECT_EQ(store.fieldAt(0)->storageKind, kindFixedText);
    EXPECT_EQ(store.fieldAt(0)->declaredSize, 30);
    EXPECT_EQ(store.fieldAt(1)->storageKind, kindText);
    EXPECT_EQ(store.fieldAt(1)->declaredSize, 50);
    for (int i = 2; i < 7; ++i) {
        EXPECT_EQ(store.fieldAt(i)->storageKind, kindFloat);
        EXPECT_EQ(store.fieldAt(i)->isNumeric, 1);
    }
    EXPECT_EQ(store.recordBufferSize(), 31 + 8 + 5 * 8);
    ASSERT_EQ(store.entryCount(), 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const RecordEntry* e = store.recordAt(i);
        const Food& f = kFoods[i];
        EXPECT_EQ(e->status, recUnchanged);
        EXPECT_EQ(textOf(store, e, "Gruppo"), f.gruppo);
        EXPECT_EQ(textOf(store, e, "Nome"), f.nome);
        EXPECT_EQ(valueOf<double>(store, e, "Quantita"), f.quantita);
        EXPECT_EQ(valueOf<double>(store, e, "Kcalorie"), f.kcalorie);
        EXPECT_EQ(valueOf<double>(store, e, "Glucidi"), f.glucidi);
        EXPECT_EQ(valueOf<double>(store, e, "Lipidi"), f.lipidi);
        EXPECT_EQ(valueOf<double>(store, e, "Proteine"), f.proteine);
    }
}

class TableImage : public ::testing::Test {
protected:
    ScriptedUi ui; // no prompt may reach a terminal
};

} // namespace

TEST_F(TableImage, SmallestTableIsExactlyThe32BytesOfTheFormat) {
    const std::string expected("\x20\x00\x00\x00"
                               "S"
                               "\x01\x00\x00\x00"
                               "\x01\x00\x00\x00"
                               "\x0A\x00\x00\x00"
                               "XXX.ID i\x12\x14"
                               "\x04\x07\x00\x00\x00",
                               32);
    TZerovCursor store;
    openNewTable(store, {{"ID", ftInteger, 0}});
    Buffer b(store);
    b.set<int32_t>("ID", 7);
    AnsiString message;
    ASSERT_TRUE(store.putRecord(b.get(), nullptr, message));
    EXPECT_EQ(writeImage(store), expected);

    TZerovCursor back;
    ASSERT_TRUE(readImage(back, expected, message)) << message;
    ASSERT_EQ(back.entryCount(), 1);
    EXPECT_EQ(valueOf<int32_t>(back, back.recordAt(0), "ID"), 7);
    EXPECT_FALSE(back.isEnciphered());
}

TEST_F(TableImage, GoldenPlainFoodTableReadsAndWritesBackIdentically) {
    const std::string golden = goldenBytes("food-plain.d");
    TZerovCursor store;
    AnsiString message;
    ASSERT_TRUE(readImage(store, golden, message)) << message;
    EXPECT_EQ(message, "");
    EXPECT_FALSE(store.isEnciphered());
    expectFoodTable(store);
    EXPECT_EQ(writeImage(store), golden);
}

TEST_F(TableImage, GoldenEncipheredFoodTableOpensWithItsPassword) {
    const std::string golden = goldenBytes("food-enciphered.d");
    TZerovCursor store;
    store.setPassword(kFoodPassword);
    AnsiString message;
    ASSERT_TRUE(readImage(store, golden, message)) << message;
    EXPECT_TRUE(store.isEnciphered());
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(store.passwordBlock()), 38),
              "{8A3C1E52-7F4B-4D1A-9C2E-5B6D7E8F9A01}");
    expectFoodTable(store);

    // Without its password the same table is the plain golden file, byte for byte.
    store.setPassword("");
    EXPECT_EQ(writeImage(store), goldenBytes("food-plain.d"));
    EXPECT_FALSE(store.isEnciphered());
}

TEST_F(TableImage, EncipheredWriteCarriesAFreshKeyUnderThePassword) {
    TZerovCursor store;
    store.setPassword(kFoodPassword);
    AnsiString message;
    ASSERT_TRUE(readImage(store, goldenBytes("food-enciphered.d"), message)) << message;

    const std::string first = writeImage(store);
    const std::string second = writeImage(store);
    ASSERT_EQ(first.size(), goldenBytes("food-enciphered.d").size());
    EXPECT_EQ(first[4], 'P');
    EXPECT_EQ(int32At(first, 0), static_cast<int32_t>(first.size()));
    EXPECT_EQ(int32At(first, 45), 5);
    EXPECT_NE(first.substr(5), second.substr(5));

    // The stored block: the GUID text enciphered with the password, its CRC in clear.
    uint8_t block[40];
    std::memcpy(block, second.data() + 5, 40); // the block of the last write stays
    TSapphire cipher;
    cipher.setKey(kFoodPassword);
    cipher.decipher(block, 38);
    EXPECT_EQ(block[0], '{');
    EXPECT_EQ(block[37], '}');
    EXPECT_EQ(crc16(block, 40), 0);
    EXPECT_EQ(std::memcmp(block, store.passwordBlock(), 40), 0);

    for (const std::string& image : {first, second}) {
        TZerovCursor back;
        back.setPassword(kFoodPassword);
        ASSERT_TRUE(readImage(back, image, message)) << message;
        expectFoodTable(back);
    }
}

TEST_F(TableImage, EmptyTableIsHeaderAndSectionAndKeepsItsBlockWhenEnciphered) {
    TZerovCursor store;
    openNewTable(store, {{"ID", ftInteger, 0}});
    const std::string plain = writeImage(store);
    EXPECT_EQ(plain.size(), 17u + 10u);
    EXPECT_EQ(int32At(plain, 5), 0);

    store.setPassword("secret");
    const std::string enciphered = writeImage(store);
    EXPECT_EQ(enciphered.size(), 57u + 10u);
    EXPECT_EQ(enciphered.substr(45 + 12), "XXX.ID i\x12\x14");
    TZerovCursor back;
    back.setPassword("secret");
    AnsiString message;
    ASSERT_TRUE(readImage(back, enciphered, message)) << message;
    EXPECT_EQ(back.entryCount(), 0);
    EXPECT_EQ(back.fieldCount(), 1);
}

TEST_F(TableImage, EveryFieldKindRoundTripsPlainAndEnciphered) {
    const std::vector<FieldDescription> fields = {
        {"Small", ftSmallint, 0}, {"Word", ftWord, 0},       {"Int", ftInteger, 0},
        {"Flag", ftBoolean, 0},   {"Real", ftFloat, 0},      {"Money", ftCurrency, 0},
        {"Day", ftDate, 0},       {"Clock", ftTime, 0},      {"Stamp", ftDateTime, 0},
        {"Number", ftAutoInc, 0}, {"Short", ftString, 35},   {"Long", ftString, 300},
        {"Other", ftLargeint, 0}, {"Data", ftBlob, 0},       {"Memo", ftMemo, 0},
        {"Rich", ftFmtMemo, 0},   {"Picture", ftGraphic, 0}, {"Empty text", ftString, 0}};
    const std::string binary("\x00\x01\xFF\x12\x14", 5);
    const std::string longText(8191, 'x');
    for (const char* password : {"", "pw"}) {
        SCOPED_TRACE(password);
        TZerovCursor store;
        openNewTable(store, fields);
        store.setNotes("Tabella di prova \xE0");
        store.setPassword(password);
        AnsiString message;
        {
            Buffer b(store);
            b.set<int16_t>("Small", -2)
                .set<int16_t>("Word", 40000 - 65536)
                .set<int32_t>("Int", -123456)
                .set<int16_t>("Flag", -1)
                .set<double>("Real", 0.1)
                .set<double>("Money", -12.5)
                .set<int32_t>("Day", 693594 + 45000)
                .set<int32_t>("Clock", 86399999)
                .set<double>("Stamp", 63e12 + 1)
                .text("Short", std::string(35, 'S'))
                .text("Long", longText)
                .text("Other", "\x80 and \xFF")
                .text("Data", binary)
                .text("Memo", "line 1\r\nline 2")
                .text("Rich", "{\\rtf1}")
                .text("Picture", binary);
            ASSERT_TRUE(store.putRecord(b.get(), nullptr, message)) << message;
        }
        {
            Buffer empty(store); // every value empty: N zero length bytes
            ASSERT_TRUE(store.putRecord(empty.get(), nullptr, message)) << message;
        }
        const std::string image = writeImage(store);
        EXPECT_EQ(image.size(), static_cast<size_t>(int32At(image, 0)));

        TZerovCursor back;
        back.setPassword(password);
        ASSERT_TRUE(readImage(back, image, message)) << message;
        EXPECT_EQ(back.isEnciphered(), *password != 0);
        EXPECT_EQ(back.notes(), "Tabella di prova \xE0");
        EXPECT_EQ(back.descriptionSection(), store.descriptionSection());
        ASSERT_EQ(back.entryCount(), 2);
        ASSERT_EQ(back.fieldCount(), static_cast<int>(fields.size()));
        EXPECT_EQ(back.fieldAt(17)->fieldName, "Empty_text");
        const RecordEntry* e = back.recordAt(0);
        EXPECT_EQ(valueOf<int16_t>(back, e, "Small"), -2);
        EXPECT_EQ(valueOf<int16_t>(back, e, "Word"), 40000 - 65536);
        EXPECT_EQ(valueOf<int32_t>(back, e, "Int"), -123456);
        EXPECT_EQ(valueOf<int16_t>(back, e, "Flag"), -1);
        EXPECT_EQ(valueOf<double>(back, e, "Real"), 0.1);
        EXPECT_EQ(valueOf<double>(back, e, "Money"), -12.5);
        EXPECT_EQ(valueOf<int32_t>(back, e, "Day"), 693594 + 45000);
        EXPECT_EQ(valueOf<int32_t>(back, e, "Clock"), 86399999);
        EXPECT_EQ(valueOf<double>(back, e, "Stamp"), 63e12 + 1);
        EXPECT_EQ(valueOf<int32_t>(back, e, "Number"), 1);
        EXPECT_EQ(textOf(back, e, "Short"), std::string(35, 'S'));
        EXPECT_EQ(textOf(back, e, "Long"), longText);
        EXPECT_EQ(textOf(back, e, "Other"), "\x80 and \xFF");
        EXPECT_EQ(textOf(back, e, "Data"), binary);
        EXPECT_EQ(textOf(back, e, "Memo"), "line 1\r\nline 2");
        EXPECT_EQ(textOf(back, e, "Rich"), "{\\rtf1}");
        EXPECT_EQ(textOf(back, e, "Picture"), binary);
        // The second record: every value empty, apart from its automatic number.
        const RecordEntry* blank = back.recordAt(1);
        EXPECT_EQ(valueOf<int32_t>(back, blank, "Number"), 2);
        EXPECT_EQ(textOf(back, blank, "Long"), "");
        EXPECT_EQ(textOf(back, blank, "Data"), "");
        EXPECT_EQ(blobRefAt(slotOf(blank->data, *back.findField("Memo"))), nullptr);
        EXPECT_EQ(valueOf<double>(back, blank, "Real"), 0.0);
        EXPECT_EQ(back.autoIncCounter(), 2);
    }
}

TEST_F(TableImage, OnlyLiveRecordsAreWrittenAndCounted) {
    TZerovCursor store;
    openNewTable(store, {{"ID", ftInteger, 0}});
    AnsiString message;
    for (int32_t id : {1, 2, 3}) {
        Buffer b(store);
        b.set<int32_t>("ID", id);
        ASSERT_TRUE(store.putRecord(b.get(), nullptr, message));
    }
    store.commitAllChanges();
    ASSERT_TRUE(store.markRecordDeleted(store.recordAt(0), message)); // deleted, kept till commit
    Buffer b(store);
    b.set<int32_t>("ID", 4);
    ASSERT_TRUE(store.putRecord(b.get(), nullptr, message));
    ASSERT_TRUE(store.markRecordDeleted(store.recordAt(3), message)); // inserted: tombstone

    TZerovCursor back;
    ASSERT_TRUE(readImage(back, writeImage(store), message)) << message;
    ASSERT_EQ(back.entryCount(), 2);
    EXPECT_EQ(valueOf<int32_t>(back, back.recordAt(0), "ID"), 2);
    EXPECT_EQ(valueOf<int32_t>(back, back.recordAt(1), "ID"), 3);
}

TEST_F(TableImage, ProgressIsReportedInWholePercentsRoundedHalfToEven) {
    TZerovCursor store;
    openNewTable(store, {{"ID", ftInteger, 0}});
    AnsiString message;
    for (int32_t id = 1; id <= 8; ++id) {
        Buffer b(store);
        b.set<int32_t>("ID", id);
        ASSERT_TRUE(store.putRecord(b.get(), nullptr, message));
    }
    std::vector<int> written;
    store.onProgress = [&](int percent) { written.push_back(percent); };
    const std::string image = writeImage(store);
    // 12.5 -> 12, 37.5 -> 38, 62.5 -> 62, 87.5 -> 88.
    EXPECT_EQ(written, (std::vector<int>{12, 25, 38, 50, 62, 75, 88, 100}));

    TZerovCursor back;
    std::vector<int> read;
    back.onProgress = [&](int percent) { read.push_back(percent); };
    ASSERT_TRUE(readImage(back, image, message));
    EXPECT_EQ(read, written);
}

TEST_F(TableImage, NewTableDescriptionsAreOpenedWithTheirKindsAndSlots) {
    TZerovCursor store;
    openNewTable(store, {{"Codice fiscale", ftString, 16},
                         {"Descrizione", ftString, 36},
                         {"Nota", ftString, 35},
                         {"Conteggio", ftWord, 0},
                         {"Quando", ftDateTime, 0},
                         {"Grande", ftLargeint, 0}});
    EXPECT_EQ(store.descriptionSection(), "XXX.Codice_fiscale G\x12"
                                          "XXX.Descrizione s36\x12"
                                          "XXX.Nota Z\x12"
                                          "XXX.Conteggio l\x12"
                                          "XXX.Quando t\x12"
                                          "XXX.Grande s\x12\x14");
    ASSERT_EQ(store.fieldCount(), 6);
    const int offsets[] = {0, 17, 25, 61, 63, 71};
    const int sizes[] = {17, 8, 36, 2, 8, 8};
    const int declared[] = {16, 36, 35, 0, 0, 100};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(store.fieldAt(i)->slotOffset, offsets[i]);
        EXPECT_EQ(store.fieldAt(i)->dataSize, sizes[i]);
        EXPECT_EQ(store.fieldAt(i)->declaredSize, declared[i]);
        EXPECT_EQ(store.fieldAt(i)->tableAlias, "XXX");
    }
    EXPECT_EQ(store.recordBufferSize(), 79);
    EXPECT_EQ(fieldTypeOfKind(store.fieldAt(3)->storageKind), ftSmallint); // ftWord comes back so
    EXPECT_EQ(fieldTypeOfKind(store.fieldAt(0)->storageKind), ftString);
    EXPECT_EQ(fieldTypeOfKind(store.fieldAt(1)->storageKind), ftString);
}

TEST_F(TableImage, DescriptionsTheSectionCannotHoldAreRefused) {
    TMemoryStream image;
    EXPECT_THROW(writeNewTableImage(image, {{"a\x12"
                                             "b",
                                             ftInteger, 0}}),
                 EDatabaseError);
    EXPECT_THROW(writeNewTableImage(image, {{"Nome", ftString, 40000}}), EDatabaseError);
    EXPECT_THROW(writeNewTableImage(image, {{"Nome", ftString, -1}}), EDatabaseError);
    EXPECT_EQ(image.size(), 0u);
    EXPECT_EQ(fieldTypeCode(ftString, 0), "0");
    EXPECT_EQ(fieldTypeCode(ftString, 10), "A");
    EXPECT_EQ(fieldTypeCode(ftString, 32767), "s32767");
}
