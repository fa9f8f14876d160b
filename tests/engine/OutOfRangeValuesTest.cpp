// Values a file can hold but no edit makes: dates, times and date-times far outside the
// calendar, not numbers or infinite, integers at their limits. They are shown, sorted,
// filtered and saved without harm (the suite also runs under the undefined-behaviour
// sanitizer), and a value that names no moment shows as the empty date or time, or the zero
// date and time, the same in the engine and in the dataset's fields.

#include "DOvuzaZerivirTestSupport.h"

#include <cfloat>
#include <climits>
#include <cmath>

using namespace cibrano;
using namespace cibrano::testing;

namespace {

const double kNaN = std::nan("");
const double kInf = HUGE_VAL;
constexpr double kDay = 86400000.0;
const char kZeroMoment[] = "30/12/1899 00:00:00";

// Row names and their out-of-range values, one per kind.
struct Row {
    const char* name;
    int32_t date;
    int32_t time;
    double moment;
    int32_t integer;
    int16_t small;
    double number;
    // What the engine shows for the date, the time and the date-time.
    const char* dateText;
    const char* timeText;
    const char* momentText;
};

const Row kRows[] = {
    {"r0", INT32_MIN, INT32_MIN, kNaN, INT32_MIN, INT16_MIN, kNaN, "", "", kZeroMoment},
    {"r1", -1, -1, -kInf, -1, -1, -kInf, "", "", kZeroMoment},
    {"r2", 0, 0, kInf, 0, 0, kInf, "", "", kZeroMoment},
    {"r3", 1, 1000, DBL_MAX, 1, 1, DBL_MAX, "01/01/0001", "00:00:01", kZeroMoment},
    {"r4", 693594, 3600000, -DBL_MAX, 2, 2, -DBL_MAX, "30/12/1899", "01:00:00", kZeroMoment},
    {"r5", 3652059, 86399999, -1.0, INT32_MAX - 1, INT16_MAX - 1, DBL_TRUE_MIN, "31/12/9999",
     "23:59:59", kZeroMoment},
    {"r6", 3652060, 86400000, 3652060 * kDay, INT32_MAX - 2, 3, -0.0, "", "", kZeroMoment},
    {"r7", INT32_MAX, INT32_MAX, kDay + 1000, INT32_MAX, INT16_MAX, 1e300, "", "",
     "01/01/0001 00:00:01"},
    {"r8", 730120, 43200000, 693594 * kDay + 43200000, 7, 7, 0.5, "01/01/2000", "12:00:00",
     "30/12/1899 12:00:00"},
};

const std::vector<FieldDescription> kFields = {
    {"Nome", ftString, 10}, {"D", ftDate, 0},     {"V", ftTime, 0},  {"T", ftDateTime, 0},
    {"I", ftInteger, 0},    {"S", ftSmallint, 0}, {"F", ftFloat, 0}, {"A", ftAutoInc, 0},
};

// The table image, every value put straight into the record buffers.
std::string outOfRangeImage() {
    TZerovCursor store;
    openNewTable(store, kFields);
    AnsiString message;
    for (const Row& r : kRows) {
        Buffer b(store);
        b.text("Nome", r.name)
            .set("D", r.date)
            .set("V", r.time)
            .set("T", r.moment)
            .set("I", r.integer)
            .set("S", r.small)
            .set("F", r.number);
        EXPECT_TRUE(store.putRecord(b.get(), nullptr, message)) << message;
        writeSlot(slotOf(store.entries().back()->data, *store.findField("A")), r.integer);
    }
    store.sortRecords("A", false); // as a reader orders them
    return writeImage(store);
}

const Row& rowNamed(const AnsiString& name) {
    for (const Row& r : kRows)
        if (name == r.name)
            return r;
    ADD_FAILURE() << "no row " << name;
    return kRows[0];
}

class OutOfRangeValues : public TableFixture {
protected:
    void SetUp() override {
        table.image = outOfRangeImage();
        table.open();
        ASSERT_EQ(table.recordCount(), static_cast<int>(std::size(kRows)));
    }
    std::vector<AnsiString> names() { return column(table, "Nome"); }

    TImageTable table;
};

} // namespace

TEST_F(OutOfRangeValues, ShowTheEmptyOrZeroValueAlikeInTheEngineAndTheFields) {
    int position = 0;
    for (table.moveFirst(); !table.atEnd(); table.moveNext(), ++position) {
        const Row& r = rowNamed(table.fieldByName("Nome")->stringValue());
        SCOPED_TRACE(r.name);
        EXPECT_EQ(table.storedText(position, "D"), r.dateText);
        EXPECT_EQ(table.storedText(position, "V"), r.timeText);
        EXPECT_EQ(table.storedText(position, "T"), r.momentText);
        EXPECT_EQ(table.storedText(position, "I"), std::to_string(r.integer));
        EXPECT_EQ(table.storedText(position, "S"), std::to_string(r.small));
        EXPECT_EQ(table.storedText(position, "A"), std::to_string(r.integer));
        // The dataset's fields show the same. Only the stored zeros of a time and a date-time
        // differ, by their own rules: a time field shows midnight where the engine shows the
        // empty time, and a date-time field shows 0 as null where the engine shows the zero
        // moment.
        EXPECT_EQ(table.fieldByName("D")->stringValue(), r.dateText);
        if (r.time != 0) {
            EXPECT_EQ(table.fieldByName("V")->stringValue(), r.timeText);
        }
        if (r.moment != 0) {
            EXPECT_EQ(table.fieldByName("T")->stringValue(), r.momentText);
        }
        EXPECT_EQ(table.fieldByName("I")->stringValue(), std::to_string(r.integer));
        // Floats of any value have a text; it does not change from one look to the next.
        EXPECT_EQ(table.storedText(position, "F"), table.storedText(position, "F"));
        EXPECT_EQ(table.fieldByName("F")->stringValue(), table.fieldByName("F")->stringValue());
        EXPECT_EQ(table.fieldByName("F")->displayText(), table.fieldByName("F")->displayText());
    }
}

TEST_F(OutOfRangeValues, SortAsTheirStoredNumbers) {
    // Integers, days and milliseconds order as the numbers they are, the limits included.
    table.setIndexFieldNames("D");
    EXPECT_EQ(names(),
              (std::vector<AnsiString>{"r0", "r1", "r2", "r3", "r4", "r8", "r5", "r6", "r7"}));
    table.setIndexFieldNames("V");
    EXPECT_EQ(names(),
              (std::vector<AnsiString>{"r0", "r1", "r2", "r3", "r4", "r8", "r5", "r6", "r7"}));
    table.setIndexFieldNames("I");
    EXPECT_EQ(names(),
              (std::vector<AnsiString>{"r0", "r1", "r2", "r3", "r4", "r8", "r6", "r5", "r7"}));
    table.setSortOptions({vsoDescendSort});
    table.setIndexFieldNames("S");
    EXPECT_EQ(names(),
              (std::vector<AnsiString>{"r7", "r5", "r8", "r6", "r4", "r3", "r2", "r1", "r0"}));
    // A double that is not a number compares equal to every value, so no order is promised
    // around it; every record stays, once.
    table.setSortOptions({});
    for (const char* field : {"T", "F", "T;F;D", "F;Nome"}) {
        SCOPED_TRACE(field);
        table.setIndexFieldNames(field);
        auto sorted = names();
        EXPECT_EQ(sorted.size(), std::size(kRows));
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end());
    }
    // The store's own sort, as a save with savSortOnIndex makes it.
    for (const char* field : {"T", "F", "D", "V", "I", "S"}) {
        table.store()->sortRecords(field, false);
        EXPECT_EQ(table.store()->entryCount(), static_cast<int>(std::size(kRows)));
    }
}

TEST_F(OutOfRangeValues, FilterByTheirStoredNumbers) {
    const std::vector<std::pair<const char*, std::vector<AnsiString>>> cases = {
        {"D > '01/01/2000'", {"r5", "r6", "r7"}},
        {"D = NULL", {"r2"}},
        {"V >= '23:59:59'", {"r5", "r6", "r7"}},
        {"V < '00:00:01'", {"r0", "r1", "r2"}},
        {"I < 0", {"r0", "r1"}},
        {"S = 32767", {"r7"}},
        {"T > '01/01/1900'", {"r3", "r6", "r2"}},
        {"F > 1", {"r3", "r7", "r2"}},
    };
    for (const auto& [filter, expected] : cases) {
        SCOPED_TRACE(filter);
        table.setFilter(filter);
        table.setFiltered(true);
        auto shown = names();
        auto want = expected;
        std::sort(shown.begin(), shown.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(shown, want);
        table.setFiltered(false);
    }
    // A condition on a double that is not a number is never true, whatever the comparison.
    table.setFilter("T <> '01/01/1900'");
    table.setFiltered(true);
    for (const AnsiString& n : names())
        EXPECT_FALSE(std::isnan(rowNamed(n).moment)) << n;
}

TEST_F(OutOfRangeValues, SaveAndReloadKeepEveryByte) {
    const std::string before = writeImage(*table.store());
    table.beginEdit();
    table.fieldByName("I")->setStringValue("5");
    table.postRecord();
    table.saveChanges();
    ASSERT_EQ(table.saved.size(), 1u);
    TZerovCursor back;
    AnsiString message;
    ASSERT_TRUE(readImage(back, table.saved.back(), message)) << message;
    TZerovCursor original;
    ASSERT_TRUE(readImage(original, before, message)) << message;
    ASSERT_EQ(back.entryCount(), original.entryCount());
    for (int i = 0; i < original.entryCount(); ++i) {
        const uint8_t* a = original.recordAt(i)->data;
        const uint8_t* b = back.recordAt(i)->data;
        for (const char* field : {"D", "V", "T", "S", "F", "A"}) {
            const TZerovField& f = *original.findField(field);
            // A zero double of either sign is written as the empty value.
            const bool zero = f.dataSize == 8 && readSlot<double>(slotOf(a, f)) == 0;
            if (!zero) {
                EXPECT_EQ(std::memcmp(slotOf(a, f), slotOf(b, f), f.dataSize), 0)
                    << "record " << i << " field " << field;
            }
        }
    }
}
