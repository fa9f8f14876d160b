// What the reader says about damaged images, and what PartialOpen lets through.

#include "TableImageTestSupport.h"

#include "engine/file/ZerovSession.h"
#include "platform/ScriptedUi.h"

using namespace cibrano;
using namespace cibrano::testing;

namespace {

// The bytes of a literal, NULs included.
template <size_t N> std::string raw(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

std::string int32Bytes(int32_t v) {
    std::string s(4, '\0');
    std::memcpy(s.data(), &v, 4);
    return s;
}

// A plain image: header with the given counts, the section, then the body bytes.
std::string plainImage(int32_t records, int32_t fields, const std::string& section,
                       const std::string& body) {
    std::string image = int32Bytes(0) + "S" + int32Bytes(records) + int32Bytes(fields) +
                        int32Bytes(static_cast<int32_t>(section.size())) + section + body;
    std::memcpy(image.data(), int32Bytes(static_cast<int32_t>(image.size())).data(), 4);
    return image;
}

const std::string kIdSection("XXX.ID i\x12\x14", 10);
const std::string kIdNameSection("XXX.ID i\x12XXX.Nome s\x12\x14", 20);
const std::string kDataSection("XXX.Data o\x12\x14", 12);

class TableImageReader : public ::testing::Test {
protected:
    struct Result {
        bool ok;
        AnsiString message;
        int records;
    };
    Result read(const std::string& image, bool partial = false) {
        store.setPartialOpen(partial);
        AnsiString message;
        bool ok = readImage(store, image, message);
        return {ok, message, store.entryCount()};
    }

    ScriptedUi ui;
    TZerovCursor store;
};

} // namespace

TEST_F(TableImageReader, ErrorImageFailsWithItsOwnText) {
    auto r = read(int32Bytes(0) + "E" + "Tabella bloccata dal server", true);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Tabella bloccata dal server");
}

TEST_F(TableImageReader, WrongPasswordFailsWhateverPartialOpenSays) {
    session().forgetPassword("QUARZOFELCEBRUM");
    store.setPassword("quarzofelcebrum");
    ui.queuePassword(std::nullopt); // the prompt is cancelled
    auto r = read(goldenBytes("food-enciphered.d"), true);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Invalid password. Table cannot be open");
    EXPECT_EQ(store.fieldCount(), 0);
    EXPECT_EQ(store.password(), "quarzofelcebrum");
}

TEST_F(TableImageReader, HeaderCutShortIsCorruptionUnlessPartialOpen) {
    const std::string image = plainImage(1, 1, kIdSection, raw("\x04\x07\x00\x00\x00"));
    for (size_t cut : {size_t{0}, size_t{3}, size_t{4}, size_t{10}, size_t{20}}) {
        SCOPED_TRACE(cut);
        auto strict = read(image.substr(0, cut));
        EXPECT_FALSE(strict.ok);
        EXPECT_EQ(strict.message, "Buffer structure corruption!");
        EXPECT_EQ(store.fieldCount(), 0);
        auto partial = read(image.substr(0, cut), true);
        EXPECT_TRUE(partial.ok);
        EXPECT_EQ(partial.records, 0);
    }
    // An image kind this engine never writes is no table image either.
    std::string strange = image;
    strange[4] = 'Q';
    EXPECT_EQ(read(strange).message, "Buffer structure corruption!");
}

TEST_F(TableImageReader, SizeThatIsNotANumberIsCorruptionAndKeepsTheFieldsBeforeIt) {
    const std::string section("XXX.ID i\x12XXX.Nome s5x\x12\x14", 23);
    const std::string image = plainImage(1, 2, section, std::string("\x04\x00", 2) + int32Bytes(9));
    auto strict = read(image);
    EXPECT_FALSE(strict.ok);
    EXPECT_EQ(strict.message, "Buffer structure corruption!");

    auto partial = read(image, true);
    EXPECT_TRUE(partial.ok);
    ASSERT_EQ(store.fieldCount(), 1);
    ASSERT_EQ(partial.records, 1);
    EXPECT_EQ(valueOf<int32_t>(store, store.recordAt(0), "ID"), 9);
    EXPECT_EQ(read(plainImage(0, 1, "XXX.Nome s99999\x12\x14", "")).message,
              "Buffer structure corruption!");
}

TEST_F(TableImageReader, MalformedDescriptionSectionFailsEvenWithPartialOpen) {
    const char* expected = "Error in buffer structure (field description section)";
    for (const std::string& section :
         {std::string("XXX.ID i\x14"), std::string("\x12\x14"), std::string("XXX.ID\x12\x14"),
          std::string("XXX.ID \x12\x14"), std::string("XXX.ID !\x12\x14"),
          std::string("XXX.ID i\x12\x14") /* declares 2, holds 1 */}) {
        SCOPED_TRACE(section);
        auto r = read(plainImage(0, 2, section, ""), true);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, expected);
        EXPECT_EQ(store.fieldCount(), 0);
    }
    // A huge declared field count costs no more than the section's bytes.
    auto r = read(plainImage(0, INT32_MAX, "XXX.ID i", ""));
    EXPECT_EQ(r.message, expected);
}

TEST_F(TableImageReader, EntriesWithoutAliasOrWithUnlistedLettersFollowTheirRules) {
    auto r =
        read(plainImage(0, 3, std::string("Nome s\x12XXX.A.B e\x12YYY.x 5 ignored\x12\x14"), ""));
    ASSERT_TRUE(r.ok) << r.message;
    ASSERT_EQ(store.fieldCount(), 3);
    EXPECT_EQ(store.fieldAt(0)->tableAlias, "XXX");
    EXPECT_EQ(store.fieldAt(0)->fieldName, "Nome");
    EXPECT_EQ(store.fieldAt(0)->declaredSize, 100);
    EXPECT_EQ(store.fieldAt(1)->fieldName, "A.B");
    EXPECT_EQ(store.fieldAt(1)->storageKind, kindFixedText);
    EXPECT_EQ(store.fieldAt(1)->declaredSize, 'e' - 55);
    EXPECT_EQ(store.fieldAt(2)->tableAlias, "YYY");
    EXPECT_EQ(store.fieldAt(2)->declaredSize, 5);
}

TEST_F(TableImageReader, RecordCutShortBeforeItsFirstFieldEndsReading) {
    const std::string image = plainImage(2, 1, kIdSection, raw("\x04\x07\x00\x00\x00\x04\x08\x00"));
    auto strict = read(image);
    EXPECT_FALSE(strict.ok);
    EXPECT_EQ(strict.message, "Unexpected end of buffer");
    EXPECT_EQ(strict.records, 0);
    auto partial = read(image, true);
    EXPECT_TRUE(partial.ok);
    EXPECT_EQ(partial.message, "Unexpected end of buffer");
    EXPECT_EQ(partial.records, 1);
}

TEST_F(TableImageReader, WrongLengthsOnTheFirstFieldFailTheRecord) {
    struct Case {
        std::string section;
        std::string body;
        const char* message;
    } cases[] = {
        {kIdSection, "\x05", "Field 'ID' has wrong length 5 in record 1"},
        {std::string("XXX.Nome s\x12\x14"), "\x02", "Field 'Nome' has wrong length 2 in record 1"},
        {std::string("XXX.Nome s\x12\x14"), "\x04" + int32Bytes(8192) + std::string(8192, 'x'),
         "String field 'Nome' has wrong length 8192 in record 1"},
        {std::string("XXX.Nome s\x12\x14"), "\x04" + int32Bytes(-1),
         "String field 'Nome' has wrong length -1 in record 1"},
        {kDataSection, "\x04" + int32Bytes(1 << 30),
         "BLOB field 'Data' has wrong length 1073741824 in record 1"},
        // A BLOB length below the limit is not believed before its bytes are there.
        {kDataSection, "\x04" + int32Bytes((1 << 30) - 1) + "abc", "Unexpected end of buffer"},
        {std::string("XXX.Code 5\x12\x14"), "\x07" + std::string(7, 'x'),
         "Field 'Code' has wrong length 7 in record 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        auto strict = read(plainImage(1, 1, c.section, c.body));
        EXPECT_FALSE(strict.ok);
        EXPECT_EQ(strict.message, c.message);
        auto partial = read(plainImage(1, 1, c.section, c.body), true);
        EXPECT_TRUE(partial.ok);
        EXPECT_EQ(partial.message, c.message);
        EXPECT_EQ(partial.records, 0);
    }
}

TEST_F(TableImageReader, RecordDamagedAfterItsFirstFieldOpensOnlyWithPartialOpen) {
    // Record 1 has a bad length byte on its second field; record 2 is never reached.
    const std::string badLength = std::string("\x04\x03", 2) + int32Bytes(1) + "abc" +
                                  std::string("\x04\x04", 2) + int32Bytes(2) + int32Bytes(1) + "x";
    // Record 2 is cut off inside its second field.
    const std::string cutShort = std::string("\x04\x04", 2) + int32Bytes(1) + int32Bytes(3) +
                                 "abc" + std::string("\x04\x04", 2) + int32Bytes(2) +
                                 int32Bytes(5) + "ab";
    for (const auto& [body, message] :
         {std::pair{badLength, "Field 'Nome' has wrong length 3 in record 1"},
          std::pair{cutShort, "Unexpected end of buffer"}}) {
        SCOPED_TRACE(message);
        auto strict = read(plainImage(2, 2, kIdNameSection, body));
        EXPECT_FALSE(strict.ok);
        EXPECT_EQ(strict.message, message);
        EXPECT_EQ(strict.records, 0);

        // PartialOpen keeps the damaged record with the fields read so far, and says why.
        auto partial = read(plainImage(2, 2, kIdNameSection, body), true);
        EXPECT_TRUE(partial.ok);
        EXPECT_EQ(partial.message, message);
        ASSERT_GE(partial.records, 1);
        EXPECT_EQ(textOf(store, store.recordAt(partial.records - 1), "Nome"), "");
    }
}

TEST_F(TableImageReader, FewerRecordsThanDeclaredOpenOnlyWithPartialOpen) {
    const std::string image = plainImage(3, 1, kIdSection, raw("\x04\x07\x00\x00\x00"));
    auto strict = read(image);
    EXPECT_FALSE(strict.ok);
    EXPECT_EQ(strict.message,
              "Number of records read (1) does not match declared record count (3)");
    EXPECT_EQ(store.entryCount(), 0);
    auto partial = read(image, true);
    EXPECT_TRUE(partial.ok);
    EXPECT_EQ(partial.message, strict.message);
    EXPECT_EQ(partial.records, 1);

    // A huge declared count is believed no further than the records there.
    auto huge = read(plainImage(INT32_MAX, 1, kIdSection, raw("\x04\x07\x00\x00\x00")), true);
    EXPECT_EQ(huge.records, 1);
    EXPECT_EQ(huge.message,
              "Number of records read (1) does not match declared record count (2147483647)");
}

TEST_F(TableImageReader, TrailingBytesShorterThanARecordAreIgnored) {
    const std::string body = std::string("\x04\x00", 2) + int32Bytes(5) + "\x04";
    auto r = read(plainImage(1, 2, kIdNameSection, body));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.message, "");
    EXPECT_EQ(r.records, 1);
}

TEST_F(TableImageReader, NotesAreFoundEvenWithoutRecordsAndAreBoundedByTheirBytes) {
    // Seven fields, no records, three bytes of notes: fewer bytes than a record's length bytes.
    const std::string section = goldenBytes("food-plain.d").substr(17, 99);
    auto r = read(plainImage(0, 7, section,
                             std::string("*\x03\x00"
                                         "abc",
                                         6)));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(store.notes(), "abc");

    auto negative = read(plainImage(0, 1, kIdSection, std::string("*\xFF\xFF", 3)));
    EXPECT_FALSE(negative.ok);
    EXPECT_EQ(negative.message, "Buffer structure corruption!");
    auto tooLong = read(plainImage(0, 1, kIdSection,
                                   std::string("*\x10\x00"
                                               "abc",
                                               6)));
    EXPECT_EQ(tooLong.message, "Buffer structure corruption!");
    EXPECT_EQ(store.notes(), "");
}

TEST_F(TableImageReader, FixedTextFillingItsSlotKeepsItsTerminator) {
    // A text of declared length 5 sent with 6 bytes: the slot's last byte stays the terminator.
    auto r = read(plainImage(1, 1, std::string("XXX.Code 5\x12\x14"),
                             "\x06"
                             "abcdef"));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(textOf(store, store.recordAt(0), "Code"), "abcde");
}

TEST_F(TableImageReader, EncipheredMarkFollowsTheImageLastRead) {
    store.setPassword("QUARZOFELCEBRUM");
    ASSERT_TRUE(read(goldenBytes("food-enciphered.d")).ok);
    EXPECT_TRUE(store.isEnciphered());
    auto r = read(goldenBytes("food-plain.d"));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_FALSE(store.isEnciphered());
    EXPECT_EQ(r.records, 5);
    EXPECT_EQ(store.password(), "QUARZOFELCEBRUM"); // the next save enciphers again
}

TEST_F(TableImageReader, ReadingClearsWhatTheStoreHeld) {
    int destroyed = 0;
    store.onDestroyRecordData = [&](intptr_t& data) { destroyed += data != 0; };
    ASSERT_TRUE(read(goldenBytes("food-plain.d")).ok);
    store.recordAt(0)->userData = 42;
    auto r = read(plainImage(1, 1, kIdSection, raw("\x04\x07\x00\x00\x00")));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(store.fieldCount(), 1);
    EXPECT_EQ(store.entryCount(), 1);
    EXPECT_EQ(store.notes(), "");
    // The store outlives `destroyed` and tells the hook again when the fixture frees it.
    store.onDestroyRecordData = nullptr;
}
