// Every table the writer produces reads back equal: the notes marker case met by a first
// record, and random tables of every field kind, size and content, plain and enciphered.
//
// CIBRANO_ROUNDTRIP_TABLES sets how many random tables a run makes (default 300) and
// CIBRANO_ROUNDTRIP_SEED the seed (default fixed), so that a long run can hunt further.

#include "TableImageTestSupport.h"

#include "platform/ScriptedUi.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <iostream>
#include <random>
#include <set>

using namespace cibrano;
using namespace cibrano::testing;
using namespace std::string_literals;

namespace {

const char kPassword[] = "QUARZOFELCEBRUM";

// A plain image with no records: header, then the description section as given.
std::string emptyImage(const std::string& section, int32_t fieldCount) {
    std::string image(17, '\0');
    image[4] = 'S';
    const auto d = static_cast<int32_t>(section.size());
    const int32_t total = 17 + d;
    std::memcpy(image.data(), &total, 4);
    std::memcpy(image.data() + 9, &fieldCount, 4);
    std::memcpy(image.data() + 13, &d, 4);
    return image + section;
}

long envNumber(const char* name, long fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

// Live records in list order.
std::vector<const RecordEntry*> liveRecords(const TZerovCursor& store) {
    std::vector<const RecordEntry*> live;
    for (const RecordEntry* e : store.entries())
        if (e->isLive())
            live.push_back(e);
    return live;
}

// Why a value read back differs from the one written, or empty when it is the same. A text
// or BLOB that is present but empty is the empty value, as a missing one; a floating zero is
// written as the empty value whatever its sign.
std::string valueDifference(const TZerovField& f, const uint8_t* a, const uint8_t* b) {
    if (isTextRefKind(f.storageKind)) {
        const char* ta = textRefAt(a);
        const char* tb = textRefAt(b);
        return std::string(ta ? ta : "") == std::string(tb ? tb : "") ? "" : "text differs";
    }
    if (isBlobKind(f.storageKind)) {
        const int32_t na = blobRefAt(a) ? blobLengthAt(a) : 0;
        const int32_t nb = blobRefAt(b) ? blobLengthAt(b) : 0;
        if (na != nb)
            return "BLOB length " + std::to_string(na) + " became " + std::to_string(nb);
        return na == 0 || std::memcmp(blobRefAt(a), blobRefAt(b), static_cast<size_t>(na)) == 0
                   ? ""
                   : "BLOB bytes differ";
    }
    if (std::memcmp(a, b, f.dataSize) == 0)
        return "";
    if (f.dataSize == 8 && readSlot<double>(a) == 0.0 && readSlot<double>(b) == 0.0)
        return ""; // -0.0 is written as the empty value
    return "slot bytes differ";
}

// The table read back has the same fields, notes and live records, value for value.
void expectSameTable(const TZerovCursor& written, const TZerovCursor& read) {
    EXPECT_EQ(read.descriptionSection(), written.descriptionSection());
    ASSERT_EQ(read.fieldCount(), written.fieldCount());
    for (int k = 0; k < written.fieldCount(); ++k) {
        const TZerovField& a = *written.fieldAt(k);
        const TZerovField& b = *read.fieldAt(k);
        EXPECT_EQ(b.fieldName, a.fieldName);
        EXPECT_EQ(b.tableAlias, a.tableAlias);
        EXPECT_EQ(b.storageKind, a.storageKind) << a.fieldName;
        EXPECT_EQ(b.dataSize, a.dataSize) << a.fieldName;
        EXPECT_EQ(b.declaredSize, a.declaredSize) << a.fieldName;
        EXPECT_EQ(b.slotOffset, a.slotOffset) << a.fieldName;
        EXPECT_EQ(b.isNumeric, a.isNumeric) << a.fieldName;
    }
    EXPECT_EQ(read.notes(), written.notes());
    const auto expected = liveRecords(written);
    const auto actual = liveRecords(read);
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t r = 0; r < expected.size(); ++r) {
        EXPECT_EQ(actual[r]->status, recUnchanged);
        for (const TZerovField* f : written.fields()) {
            const std::string why =
                valueDifference(*f, slotOf(expected[r]->data, *f), slotOf(actual[r]->data, *f));
            ASSERT_EQ(why, "") << "record " << r + 1 << ", field " << f->fieldName;
        }
    }
}

// Makes random tables: description sections with every type letter the format knows (and
// fixed-text letters beyond 'Z', as other writers make them), and records of random values.
class RandomTables {
public:
    explicit RandomTables(uint32_t seed) : random_(seed) {}

    // The description section of `count` fields.
    std::string section(int count) {
        std::string s;
        for (int k = 0; k < count; ++k) {
            if (chance(10))
                s += "XXX"; // no dot: the alias is XXX and the name runs to the blank
            else
                s += (chance(2) ? std::string("XXX") : word(0, 6)) + ".";
            // Names are unique up to their first '-', whatever follows.
            s += "N" + std::to_string(k) + "-" + word(0, 12) + " ";
            s += typeCode(k == 0);
        }
        s += '\x14';
        if (chance(10))
            s += word(1, 5); // bytes after the closing byte belong to the section too
        return s;
    }

    // Values for every field of a record buffer; some values stay empty.
    void fill(const TZerovCursor& store, uint8_t* buffer, bool first) {
        for (const TZerovField* fp : store.fields()) {
            const TZerovField& f = *fp;
            uint8_t* slot = slotOf(buffer, f);
            // The first record of a table whose first field is a fixed text of 42 or more
            // characters often holds 42 of them: the length byte that equals the notes marker.
            if (first && fp == store.fieldAt(0) && f.storageKind == kindFixedText &&
                f.declaredSize >= 42 && chance(2)) {
                fixedText(slot, f, 42);
                continue;
            }
            if (chance(4))
                continue; // empty
            switch (f.storageKind) {
            case kindSmallint:
            case kindBoolean:
                writeSlot(slot, static_cast<int16_t>(pick<int32_t>(
                                    {INT16_MIN, INT16_MAX, -1, 1, 0x100, uniform(-32768, 32767)})));
                break;
            case kindInteger:
            case kindDate:
            case kindTime:
                writeSlot(slot, int32());
                break;
            case kindAutoInc:
                if (fp != store.autoIncField())
                    writeSlot(slot, int32());
                break; // the table's own automatic number is set after the post, uniquely
            case kindFloat:
            case kindCurrency:
            case kindDateTime:
                writeSlot(slot, float64());
                break;
            case kindFixedText:
                fixedText(slot, f, uniform(0, f.declaredSize));
                break;
            case kindText: {
                const int length =
                    chance(20) ? uniform(0, TZerovCursor::kMaxTextLength) : uniform(0, 60);
                const std::string text = bytes(length, false);
                char* copy = new char[text.size() + 1];
                std::memcpy(copy, text.c_str(), text.size() + 1);
                setTextRef(slot, copy);
                break;
            }
            default: { // BLOBs and memos: any bytes, NUL included
                const int length = chance(50) ? uniform(0, 70000) : uniform(0, 200);
                const std::string block = bytes(length, true);
                auto* copy = new uint8_t[block.size() + 1];
                std::memcpy(copy, block.data(), block.size());
                setBlobRef(slot, copy, length);
                break;
            }
            }
        }
    }

    // A distinct value for an automatic-number slot (the limits included).
    int32_t uniqueNumber() {
        for (;;) {
            const int32_t v = int32();
            if (usedNumbers_.insert(v).second)
                return v;
        }
    }
    void forgetNumbers() { usedNumbers_.clear(); }

    std::string notes() {
        switch (uniform(0, 5)) {
        case 0:
            return std::string(TZerovCursor::kMaxNotesLength, 'n');
        case 1:
        case 2:
            return "*" + bytes(uniform(0, 300), false);
        default:
            return "";
        }
    }

    bool chance(int oneIn) { return uniform(1, oneIn) == 1; }
    int uniform(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random_);
    }

private:
    template <typename T> T pick(std::initializer_list<T> values) {
        return values.begin()[uniform(0, static_cast<int>(values.size()) - 1)];
    }

    int32_t int32() {
        return pick<int32_t>({INT32_MIN, INT32_MAX, -1, 1, 42, 693594, 3652059, 86399999,
                              static_cast<int32_t>(random_())});
    }

    double float64() {
        switch (uniform(0, 9)) {
        case 0: {
            // Any bit pattern: NaNs with payloads, infinities, denormals.
            uint64_t bits = (uint64_t{random_()} << 32) | random_();
            double v;
            std::memcpy(&v, &bits, sizeof v);
            return v;
        }
        case 1:
            return pick<double>({DBL_MAX, -DBL_MAX, DBL_MIN, DBL_TRUE_MIN, -0.0, HUGE_VAL,
                                 -HUGE_VAL, std::nan("")});
        case 2:
            return std::ldexp(static_cast<double>(random_()), uniform(-1074, 1000));
        default:
            return uniform(-100000, 100000) / 8.0;
        }
    }

    // Letters other than the type letters make fixed texts too, of length code - 55.
    std::string typeCode(bool first) {
        static const std::string kLetters = "libfcdvtasomrg";
        static const std::string kBeyondZ = "[\\]^_`ehjknpquwxyz{|}~\x7F\x80\xA0\xC8\xFF";
        const int choice = uniform(0, first ? 5 : 9);
        if (choice <= 1 || (first && choice <= 3)) {
            // A fixed text beyond 'Z': 'e' (46) and up can hold the 42 of the notes marker.
            std::string code(
                1,
                kBeyondZ[static_cast<size_t>(uniform(0, static_cast<int>(kBeyondZ.size()) - 1))]);
            return code + (chance(4) ? "xyz" : "") + '\x12';
        }
        if (choice <= 3)
            return std::string(1, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"[uniform(0, 35)]) + '\x12';
        const char letter = kLetters[static_cast<size_t>(uniform(0, 13))];
        if (letter == 's')
            return (chance(3) ? "s" : "s" + std::to_string(uniform(0, 32767))) + '\x12';
        return std::string(1, letter) + '\x12';
    }

    void fixedText(uint8_t* slot, const TZerovField& f, int length) {
        const std::string text = bytes(std::min(length, static_cast<int>(f.dataSize) - 1), false);
        std::memset(slot, 0, f.dataSize);
        std::memcpy(slot, text.data(), text.size());
    }

    // Name characters: no blank, separator or closing byte, and no '.' that would move the
    // alias boundary.
    std::string word(int low, int high) {
        static const char kChars[] = "abcXYZ019_-\xE0\xE9\xFF*!";
        std::string w(static_cast<size_t>(uniform(low, high)), ' ');
        for (char& c : w)
            c = kChars[uniform(0, sizeof kChars - 2)];
        return w;
    }

    std::string bytes(int length, bool withNul) {
        std::string b(static_cast<size_t>(std::max(length, 0)), '\0');
        for (char& c : b)
            c = static_cast<char>(withNul ? uniform(0, 255) : uniform(1, 255));
        return b;
    }

    std::mt19937 random_;
    std::set<int32_t> usedNumbers_;
};

class TableImageRoundTrip : public ::testing::Test {
protected:
    ScriptedUi ui;
    TempDir dir;
};

} // namespace

// A first field whose length letter lies beyond 'Z' ('e', 46 characters) holding 42
// characters in the first record: the record's first byte is the notes marker. The table
// must still open after a save, and its notes stay empty.
TEST_F(TableImageRoundTrip, FirstRecordStartingWithTheNotesMarkerReadsBack) {
    const std::string section = std::string("XXX.Nome e\x12XXX.Kcal f\x12\x14");
    for (const char* password : {"", kPassword}) {
        SCOPED_TRACE(*password ? "enciphered" : "plain");
        TZerovCursor store;
        AnsiString message;
        ASSERT_TRUE(readImage(store, emptyImage(section, 2), message)) << message;
        ASSERT_EQ(store.fieldAt(0)->declaredSize, 46);
        const std::string text(42, 'A');
        for (int r = 0; r < 3; ++r) {
            Buffer b(store);
            b.text("Nome", r == 0 ? text : "Pasta").set("Kcal", 353.0 + r);
            ASSERT_TRUE(store.putRecord(b.get(), nullptr, message)) << message;
        }
        store.setPassword(password);
        const std::string path = dir.file("alimenti.d");
        store.saveTableFile(path, {}, false, "");
        const std::string saved = readWholeFile(path).value();

        TZerovCursor back;
        back.setPassword(password);
        ASSERT_TRUE(readImage(back, saved, message)) << message;
        EXPECT_EQ(message, "");
        expectSameTable(store, back);
        EXPECT_EQ(textOf(back, back.recordAt(0), "Nome"), text);
        EXPECT_EQ(back.notes(), "");

        if (!*password) {
            // An empty notes block stands before the records, and only there.
            const size_t body = 17 + section.size();
            EXPECT_EQ(saved.substr(body, 4), std::string("\x2A\x00\x00\x2A", 4));
            EXPECT_EQ(writeImage(back), saved);
        }
    }

    // With the text one shorter, or behind a deleted first record, no block is written.
    TZerovCursor store;
    AnsiString message;
    ASSERT_TRUE(readImage(store, emptyImage(section, 2), message)) << message;
    Buffer first(store), second(store);
    first.text("Nome", std::string(42, 'A'));
    second.text("Nome", std::string(41, 'B'));
    ASSERT_TRUE(store.putRecord(first.get(), nullptr, message));
    ASSERT_TRUE(store.putRecord(second.get(), nullptr, message));
    store.commitAllChanges();
    ASSERT_TRUE(store.markRecordDeleted(store.recordAt(0), message));
    const std::string image = writeImage(store);
    EXPECT_EQ(image.substr(17 + section.size(), 2), "\x29\x00"s);
    TZerovCursor back;
    ASSERT_TRUE(readImage(back, image, message)) << message;
    expectSameTable(store, back);
}

// Notes holding a NUL are written up to it: the bytes after it would never be read back.
TEST_F(TableImageRoundTrip, NotesAreWrittenUpToTheirFirstNul) {
    TZerovCursor store;
    openNewTable(store, {{"ID", ftInteger, 0}});
    store.setNotes(std::string("kept\0dropped", 12));
    TZerovCursor back;
    AnsiString message;
    ASSERT_TRUE(readImage(back, writeImage(store), message)) << message;
    EXPECT_EQ(back.notes(), "kept");
    EXPECT_EQ(writeImage(back), writeImage(store));
}

TEST_F(TableImageRoundTrip, RandomTablesOfEveryKindReadBackEqual) {
    const long tables = envNumber("CIBRANO_ROUNDTRIP_TABLES", 300);
    const auto seed = static_cast<uint32_t>(envNumber("CIBRANO_ROUNDTRIP_SEED", 20261208));
    RandomTables gen(seed);
    long records = 0, markerTables = 0, enciphered = 0, files = 0;
    for (long t = 0; t < tables; ++t) {
        SCOPED_TRACE("table " + std::to_string(t) + " of seed " + std::to_string(seed));
        const int fieldCount = gen.uniform(1, 12);
        const std::string section = gen.section(fieldCount);
        TZerovCursor store;
        AnsiString message;
        ASSERT_TRUE(readImage(store, emptyImage(section, fieldCount), message)) << message;
        ASSERT_EQ(store.fieldCount(), fieldCount);

        const int count = gen.chance(8) ? 0 : gen.uniform(1, gen.chance(10) ? 200 : 25);
        gen.forgetNumbers();
        for (int r = 0; r < count; ++r) {
            Buffer b(store);
            gen.fill(store, b.get(), r == 0);
            ASSERT_TRUE(store.putRecord(b.get(), nullptr, message)) << message;
            // Automatic numbers anywhere in their range, the limits included.
            if (store.autoIncField())
                writeSlot(slotOf(store.entries().back()->data, *store.autoIncField()),
                          gen.uniqueNumber());
        }
        // Deleted records are not written.
        for (int r = 0; r < count; ++r)
            if (gen.chance(10)) {
                ASSERT_TRUE(store.markRecordDeleted(store.recordAt(r), message));
            }
        store.setNotes(gen.notes());
        // The reader orders a table by its automatic number; the written one is compared so.
        if (store.autoIncField())
            store.sortRecords(store.autoIncField()->fieldName, false);

        const bool cipher = gen.chance(2);
        store.setPassword(cipher ? kPassword : "");
        std::string image;
        if (gen.chance(8)) {
            // Through the file, by either path.
            const std::string path = dir.file("table.d");
            store.saveTableFile(path, gen.chance(2) ? TSaveOptions{savSlowMode} : TSaveOptions{},
                                false, "");
            image = readWholeFile(path).value();
            ++files;
        } else {
            image = writeImage(store);
        }

        TZerovCursor back;
        back.setPassword(cipher ? kPassword : "");
        ASSERT_TRUE(readImage(back, image, message)) << message;
        ASSERT_EQ(message, "");
        expectSameTable(store, back);
        // The plain images of the two are the same bytes.
        store.setPassword("");
        back.setPassword("");
        ASSERT_EQ(writeImage(back), writeImage(store));

        const auto live = liveRecords(store);
        records += static_cast<long>(live.size());
        enciphered += cipher ? 1 : 0;
        if (!live.empty() && store.fieldAt(0)->storageKind == kindFixedText &&
            std::strlen(reinterpret_cast<const char*>(slotOf(live[0]->data, *store.fieldAt(0)))) ==
                42)
            ++markerTables;
    }
    std::cout << "[ figures  ] " << tables << " random tables round-tripped (" << enciphered
              << " enciphered, " << files << " through files, " << markerTables
              << " starting with the notes marker), " << records << " records\n";
    EXPECT_GT(markerTables, 0);
}
