#include "engine/record/FieldValues.h"
#include "platform/DateTime.h"
#include "platform/RegionalSettings.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

using namespace cibrano;

namespace {

TZerovField makeField(uint8_t kind, int16_t declaredSize = 0, int32_t offset = 0) {
    static const uint16_t kSlotSizes[] = {0, 2, 4, 2, 8, 8, 4, 4, 8, 4, 0, kTextSlotSize};
    TZerovField f;
    f.storageKind = kind;
    f.declaredSize = declaredSize;
    f.slotOffset = offset;
    f.dataSize = kind == kindFixedText ? static_cast<uint16_t>(declaredSize + 1)
                 : kind <= kindText    ? kSlotSizes[kind]
                                       : kBlobSlotSize;
    return f;
}

// One field's slot, releasing whatever it refers to at the end.
struct Slot {
    explicit Slot(const TZerovField& f) : field(f), bytes(f.dataSize + 8, 0) {}
    ~Slot() { releaseSlotValue(bytes.data(), field); }
    uint8_t* data() { return bytes.data(); }
    AnsiString text() const { return bufferValueAsText(bytes.data(), field); }
    Slot& set(std::string_view t) {
        fieldValueFromText(bytes.data(), t, field);
        return *this;
    }
    TZerovField field;
    std::vector<uint8_t> bytes;
};

template <typename T> T valueIn(Slot& s) {
    return readSlot<T>(s.data());
}

class FieldValuesTest : public ::testing::Test {
protected:
    cibrano::testing::FixedRegionalSettings regionalSettings;
};

} // namespace

TEST_F(FieldValuesTest, TextOrderEmptyFirstThenPrefixThenLength) {
    EXPECT_LT(compareTexts("", "A", false), 0);
    EXPECT_GT(compareTexts("A", "", true), 0);
    EXPECT_EQ(compareTexts("", "", false), 0);
    EXPECT_LT(compareTexts("A", "AB", false), 0);
    EXPECT_LT(compareTexts("AB", "B", false), 0);
    EXPECT_EQ(compareTexts("abc", "abc", false), 0);

    std::vector<const char*> texts = {"b", "B", "AB", "", "a", "A"};
    std::sort(texts.begin(), texts.end(),
              [](const char* x, const char* y) { return compareTexts(x, y, false) < 0; });
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.end()),
              (std::vector<std::string>{"", "A", "AB", "B", "a", "b"}));
}

TEST_F(FieldValuesTest, TextOrderIgnoringCase) {
    EXPECT_EQ(compareTexts("a", "A", true), 0);
    EXPECT_EQ(compareTexts("Pasta", "PASTA", true), 0);
    EXPECT_EQ(compareTexts("\xE9t\xE9", "\xC9T\xC9", true), 0); // été / ÉTÉ
    EXPECT_LT(compareTexts("a", "B", true), 0);
    EXPECT_GT(compareTexts("b", "A", true), 0);
    EXPECT_LT(compareTexts("ab", "ABC", true), 0);
    EXPECT_NE(compareTexts("a", "A", false), 0);
}

TEST_F(FieldValuesTest, BooleansFromTextAndOrder) {
    TZerovField f = makeField(kindBoolean);
    for (const char* yes : {"yes", "t", "1", "TRUE", "True", "Yes", "\xE4\xE0", "\xC4\xC0"}) {
        Slot s(f);
        s.set(yes);
        EXPECT_EQ(valueIn<int16_t>(s), -1) << yes;
        EXPECT_EQ(s.text(), "Yes");
    }
    for (const char* no : {"Y", "0", "no", "false", "", "yes "}) {
        Slot s(f);
        s.set("1").set(no);
        EXPECT_EQ(valueIn<int16_t>(s), 0) << no;
        EXPECT_EQ(s.text(), "No");
    }
    Slot t(f), u(f), other(f);
    t.set("T");
    writeSlot<int16_t>(other.data(), 5); // any non-zero value is true
    EXPECT_LT(compareFieldValues(t.data(), u.data(), f, false), 0);
    EXPECT_GT(compareFieldValues(u.data(), t.data(), f, false), 0);
    EXPECT_EQ(compareFieldValues(t.data(), other.data(), f, false), 0);
    EXPECT_EQ(compareFieldValues(u.data(), u.data(), f, false), 0);
}

TEST_F(FieldValuesTest, FloatsAsTextAndFromText) {
    TZerovField f = makeField(kindFloat);
    Slot s(f);
    writeSlot(s.data(), 12.5);
    EXPECT_EQ(s.text(), "12.5");
    writeSlot(s.data(), 3.0);
    EXPECT_EQ(s.text(), "3");
    writeSlot(s.data(), 1.0 / 3.0);
    EXPECT_EQ(s.text(), "0.333333");

    s.set("79.1");
    EXPECT_DOUBLE_EQ(valueIn<double>(s), 79.1);
    s.set("not a number");
    EXPECT_EQ(valueIn<double>(s), 0.0);

    RegionalSettings r = regional();
    r.decimalSeparator = ',';
    r.thousandSeparator = '.';
    setRegional(r);
    TZerovField c = makeField(kindCurrency);
    Slot m(c);
    m.set("12,5");
    EXPECT_EQ(valueIn<double>(m), 12.5);
    EXPECT_EQ(m.text(), "12,5");
}

TEST_F(FieldValuesTest, IntegersFromTextAreWholeValidNumbers) {
    TZerovField i = makeField(kindInteger);
    Slot s(i);
    EXPECT_EQ(valueIn<int32_t>(s.set("42")), 42);
    EXPECT_EQ(s.text(), "42");
    EXPECT_EQ(valueIn<int32_t>(s.set("-2147483648")), INT32_MIN);
    EXPECT_EQ(s.text(), "-2147483648");
    for (const char* bad : {"12abc", "2147483648", "1.5", "-", "99999999999999999999"}) {
        s.set("7").set(bad);
        EXPECT_EQ(valueIn<int32_t>(s), 0) << bad;
    }

    TZerovField l = makeField(kindSmallint);
    Slot w(l);
    EXPECT_EQ(valueIn<int16_t>(w.set("-1")), -1);
    EXPECT_EQ(w.text(), "-1");
    EXPECT_EQ(valueIn<int16_t>(w.set("70000")), 4464); // the low 16 bits
}

TEST_F(FieldValuesTest, IntegerComparisonsDoNotOverflow) {
    for (uint8_t kind : {kindInteger, kindDate, kindTime, kindAutoInc}) {
        TZerovField f = makeField(kind);
        Slot lo(f), hi(f), zero(f);
        writeSlot<int32_t>(lo.data(), INT32_MIN);
        writeSlot<int32_t>(hi.data(), INT32_MAX);
        EXPECT_LT(compareFieldValues(lo.data(), hi.data(), f, false), 0) << int(kind);
        EXPECT_GT(compareFieldValues(hi.data(), lo.data(), f, false), 0) << int(kind);
        EXPECT_LT(compareFieldValues(lo.data(), zero.data(), f, false), 0) << int(kind);
        EXPECT_EQ(compareFieldValues(hi.data(), hi.data(), f, false), 0) << int(kind);
    }
    TZerovField l = makeField(kindSmallint);
    Slot lo(l), hi(l);
    writeSlot<int16_t>(lo.data(), INT16_MIN);
    writeSlot<int16_t>(hi.data(), INT16_MAX);
    EXPECT_LT(compareFieldValues(lo.data(), hi.data(), l, false), 0);
}

TEST_F(FieldValuesTest, DatesAndTimes) {
    int day;
    ASSERT_TRUE(tryEncodeDayNumber(2024, 3, 15, day));

    TZerovField d = makeField(kindDate);
    Slot ds(d);
    EXPECT_EQ(ds.text(), "");
    writeSlot<int32_t>(ds.data(), -5);
    EXPECT_EQ(ds.text(), "");
    writeSlot<int32_t>(ds.data(), day);
    EXPECT_EQ(ds.text(), "15/03/2024");
    EXPECT_EQ(valueIn<int32_t>(ds.set("01/01/0001")), 1);
    EXPECT_EQ(valueIn<int32_t>(ds.set("15/03/2024")), day);
    EXPECT_EQ(valueIn<int32_t>(ds.set("31/02/2024")), 0);

    TZerovField v = makeField(kindTime);
    Slot vs(v);
    EXPECT_EQ(vs.set("00:00:00").text(), ""); // midnight is the empty time
    EXPECT_EQ(valueIn<int32_t>(vs), 0);
    EXPECT_EQ(valueIn<int32_t>(vs.set("13:45:30")), 49530000);
    EXPECT_EQ(vs.text(), "13:45:30");
    EXPECT_EQ(valueIn<int32_t>(vs.set("25:00:00")), 0);

    TZerovField t = makeField(kindDateTime);
    Slot ts(t);
    double ms = static_cast<double>(day) * kMSecsPerDay + 49530000.0;
    EXPECT_EQ(valueIn<double>(ts.set("15/03/2024 13:45:30")), ms);
    EXPECT_EQ(ts.text(), "15/03/2024 13:45:30");
    writeSlot(ts.data(), ms + 0.4); // rounded to whole milliseconds
    EXPECT_EQ(ts.text(), "15/03/2024 13:45:30");
    // A value naming no valid moment shows the zero date and time.
    for (double bad : {0.0, -86400000.0, double(NAN), double(INFINITY), 1e300}) {
        writeSlot(ts.data(), bad);
        EXPECT_EQ(ts.text(), "30/12/1899 00:00:00") << bad;
    }
    // Before 1899-12-30 the time of day still reads forward.
    int early;
    ASSERT_TRUE(tryEncodeDayNumber(1850, 6, 1, early));
    writeSlot(ts.data(), static_cast<double>(early) * kMSecsPerDay + 6 * 3600000.0);
    EXPECT_EQ(ts.text(), "01/06/1850 06:00:00");
}

TEST_F(FieldValuesTest, FixedLengthTextKeepsItsDeclaredLength) {
    TZerovField f = makeField(kindFixedText, 5);
    Slot s(f);
    EXPECT_EQ(s.set("abcdefgh").text(), "abcde");
    EXPECT_EQ(s.bytes[5], 0);
    EXPECT_EQ(s.set("xy").text(), "xy");
    EXPECT_EQ(s.bytes[2], 0);
    EXPECT_EQ(s.set("").text(), "");

    // A damaged record can fill the slot without its terminator; nothing is read past it.
    Slot a(f), b(f);
    std::fill(a.bytes.begin(), a.bytes.end(), 'Q'); // no NUL anywhere, past the slot either
    std::fill(b.bytes.begin(), b.bytes.end(), 'Q');
    EXPECT_EQ(a.text(), "QQQQQQ");
    EXPECT_EQ(compareFieldValues(a.data(), b.data(), f, false), 0);
    b.set("QQQ");
    EXPECT_GT(compareFieldValues(a.data(), b.data(), f, true), 0);
}

TEST_F(FieldValuesTest, ReferencedTexts) {
    TZerovField f = makeField(kindText, 4);
    Slot s(f), empty(f);
    EXPECT_EQ(empty.text(), "");
    EXPECT_EQ(s.set("abcdefgh").text(), "abcd");
    EXPECT_EQ(std::strlen(textRefAt(s.data())), 4u);
    s.set("second value replaces and releases the first");
    EXPECT_EQ(s.text(), "seco");
    s.set("");
    EXPECT_EQ(textRefAt(s.data()), nullptr);

    s.set("B");
    EXPECT_GT(compareFieldValues(s.data(), empty.data(), f, false), 0); // missing sorts first
    EXPECT_LT(compareFieldValues(empty.data(), s.data(), f, false), 0);
    EXPECT_EQ(compareFieldValues(empty.data(), empty.data(), f, false), 0);
    Slot lower(f);
    lower.set("b");
    EXPECT_LT(compareFieldValues(s.data(), lower.data(), f, false), 0);
    EXPECT_EQ(compareFieldValues(s.data(), lower.data(), f, true), 0);
}

TEST_F(FieldValuesTest, MemosAndBlobs) {
    TZerovField m = makeField(kindMemo); // memos have no declared size
    Slot ms(m);
    EXPECT_EQ(ms.text(), "");
    ms.set("a long note");
    EXPECT_EQ(blobLengthAt(ms.data()), 11);
    EXPECT_EQ(ms.text(), "a long note");

    // Blocks as a file read leaves them: the stored length, no terminator.
    Slot a(m), b(m);
    auto* pa = new uint8_t[3]{'a', 'b', 'c'};
    auto* pb = new uint8_t[2]{'a', 'b'};
    setBlobRef(a.data(), pa, 3);
    setBlobRef(b.data(), pb, 2);
    EXPECT_EQ(a.text(), "abc");
    EXPECT_GT(compareFieldValues(a.data(), b.data(), m, false), 0);
    EXPECT_LT(compareFieldValues(b.data(), a.data(), m, true), 0);
    Slot none(m);
    EXPECT_LT(compareFieldValues(none.data(), b.data(), m, false), 0);

    for (uint8_t kind : {kindBlob, kindGraphic}) {
        TZerovField f = makeField(kind);
        Slot s(f), t(f);
        setBlobRef(s.data(), new uint8_t[4]{1, 2, 3, 4}, 4);
        EXPECT_EQ(s.text(), "Not Found") << int(kind);
        EXPECT_EQ(compareFieldValues(s.data(), t.data(), f, false), 0);
        s.set("text"); // releases the block, stores nothing
        EXPECT_EQ(blobRefAt(s.data()), nullptr);
    }
    Slot unknown(makeField(kindUnknown));
    EXPECT_EQ(unknown.set("text").text(), "Not Found");
}

TEST_F(FieldValuesTest, RecordValuesAndOldValues) {
    TZerovField f = makeField(kindInteger);
    RecordEntry e;
    uint8_t data[4], backup[4];
    writeSlot<int32_t>(data, 8);
    writeSlot<int32_t>(backup, 7);
    e.data = data;
    EXPECT_EQ(fieldValueAsText(f, e, true), "8"); // no backup: the data
    e.backup = backup;
    EXPECT_EQ(fieldValueAsText(f, e), "8");
    EXPECT_EQ(fieldValueAsText(f, e, true), "7");
    RecordEntry removed;
    removed.status = recRemoved;
    EXPECT_EQ(fieldValueAsText(f, removed), "Not Found");
}

TEST_F(FieldValuesTest, RecordKeysCompareFieldByFieldCaseSensitively) {
    TZerovField name = makeField(kindFixedText, 9, 0);
    TZerovField qty = makeField(kindInteger, 0, 10);
    ZerovFieldList fields = {&name, &qty};
    uint8_t a[14] = {}, b[14] = {};
    fieldValueFromText(slotOf(a, name), "Pasta", name);
    fieldValueFromText(slotOf(b, name), "Pasta", name);
    fieldValueFromText(slotOf(a, qty), "80", qty);
    fieldValueFromText(slotOf(b, qty), "150", qty);
    EXPECT_EQ(compareRecordKeys(a, b, fields, 1), 0);
    EXPECT_LT(compareRecordKeys(a, b, fields, -1), 0);
    EXPECT_LT(compareRecordKeys(a, b, fields, 5), 0);
    EXPECT_EQ(compareRecordKeys(a, b, fields, 0), 0);
    fieldValueFromText(slotOf(b, name), "pasta", name);
    EXPECT_LT(compareRecordKeys(a, b, fields, -1), 0); // "P" before "p"
    EXPECT_GT(compareRecordKeys(b, a, fields, 1), 0);
}
