// Sorting records by a key over gathered key values must leave exactly the order that the
// quicksort leaves when it compares the records themselves, equal keys included.

#include "TableImageTestSupport.h"

#include "engine/sort/KeyBufferSort.h"
#include "engine/sort/KeyRank.h"
#include "engine/sort/RecordSort.h"

#include <cmath>
#include <limits>
#include <random>

namespace cibrano::testing {
namespace {

class KeyBufferSort : public ::testing::Test {
protected:
    void SetUp() override {
        openNewTable(store, {{"Fix", ftString, 5},
                             {"Txt", ftString, 50},
                             {"Num", ftFloat, 0},
                             {"Int", ftSmallint, 0},
                             {"Flag", ftBoolean, 0},
                             {"Day", ftDate, 0}});
        // Few distinct values, so that most keys are equal to many others.
        const std::vector<std::string> texts = {"",   "a",  "A", "b",    "ab",
                                                "aB", "10", "9", "\xE0", "\xC0x"};
        const double nan = std::nan("");
        const std::vector<double> numbers = {0.0, -0.0, 1.5, -1.0, nan};
        std::mt19937 random(20261207);
        auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
        for (int i = 0; i < 300; ++i) {
            Buffer& b = *buffers.emplace_back(std::make_unique<Buffer>(store));
            b.text("Fix", texts[pick(texts.size())]);
            if (pick(8) == 0) // a damaged slot with no terminator
                std::memset(b.slot("Fix"), 'z', 6);
            // Missing (no reference), empty and non-empty texts.
            if (pick(5) != 0)
                b.text("Txt", texts[pick(texts.size())]);
            b.set<double>("Num", numbers[pick(numbers.size())]);
            b.set<int16_t>("Int", static_cast<int16_t>(static_cast<int>(pick(4)) - 1));
            b.set<int16_t>("Flag", static_cast<int16_t>(pick(3)) * -1);
            b.set<int32_t>("Day", static_cast<int32_t>(pick(3)) * 1000000 - 1000000);
            entries.push_back(RecordEntry{b.get()});
        }
    }

    std::vector<KeyField> key(std::initializer_list<std::pair<const char*, bool>> names) const {
        std::vector<KeyField> fields;
        for (auto [name, rightJustified] : names)
            fields.push_back({store.findField(name), rightJustified});
        return fields;
    }

    TZerovCursor store;
    std::vector<std::unique_ptr<Buffer>> buffers;
    std::vector<RecordEntry> entries;
};

TEST_F(KeyBufferSort, LeavesTheOrderOfTheQuicksortOverTheRecords) {
    const std::vector<std::vector<KeyField>> keys = {
        key({{"Fix", false}}),
        key({{"Txt", false}}),
        key({{"Fix", true}}),
        key({{"Txt", true}}),
        key({{"Num", false}}),
        key({{"Int", false}}),
        key({{"Flag", false}}),
        key({{"Day", false}}),
        key({{"Fix", false}, {"Num", false}}),
        key({{"Flag", false}, {"Txt", true}, {"Int", false}}),
        key({{"Num", false}, {"Fix", true}, {"Txt", false}}),
    };
    for (size_t k = 0; k < keys.size(); ++k) {
        for (bool caseInsensitive : {false, true}) {
            for (bool descending : {false, true}) {
                SCOPED_TRACE(::testing::Message()
                             << "key " << k << " caseInsensitive " << caseInsensitive
                             << " descending " << descending);
                std::vector<RecordEntry*> expected;
                for (RecordEntry& e : entries)
                    expected.push_back(&e);
                std::vector<RecordEntry*> actual = expected;
                quickSortRecords(expected, [&](const RecordEntry* a, const RecordEntry* b) {
                    int r = compareKeyValues(a->data, b->data, keys[k], -1, caseInsensitive);
                    return descending ? -r : r;
                });
                sortRecordsByKey(actual, keys[k], caseInsensitive, descending);
                EXPECT_EQ(actual, expected);
            }
        }
    }
}

// Random record sets made of near-ties: texts built from a few pieces, so that many are equal,
// many share more than eight leading bytes, many begin one another, some differ only in case
// or in bytes over 0x7F (letters and not), some are empty or missing; numbers at -0.0, the
// infinities, the smallest and largest values.
class KeyRankingSort : public ::testing::Test {
protected:
    void SetUp() override {
        openNewTable(store, {{"Fix", ftString, 30},
                             {"Txt", ftString, 80},
                             {"Num", ftFloat, 0},
                             {"Int", ftInteger, 0},
                             {"Small", ftSmallint, 0},
                             {"Flag", ftBoolean, 0},
                             {"When", ftDateTime, 0}});
    }

    void fill(uint32_t seed, size_t count, bool withNaN) {
        static const std::vector<std::string> pieces = {
            "a", "A", "b", "abcdefgh", "ABCDEFGH", "abcdefg", "\xE0", "\xC0", "\xFF", "\x9F",
            "\xD7", "\xF7", "\x8A", "\x9A", " ", "1", "10",
            // The neighbours of the letters, which upper-casing leaves alone.
            "`{@[", "z{a`Z[A@"};
        const double inf = std::numeric_limits<double>::infinity();
        std::vector<double> numbers = {0.0,
                                       -0.0,
                                       1.5,
                                       -1.5,
                                       inf,
                                       -inf,
                                       std::numeric_limits<double>::denorm_min(),
                                       -std::numeric_limits<double>::denorm_min(),
                                       std::numeric_limits<double>::max(),
                                       std::numeric_limits<double>::lowest()};
        if (withNaN)
            numbers.push_back(std::nan(""));
        const std::vector<int32_t> integers = {std::numeric_limits<int32_t>::min(), -1, 0, 1,
                                               std::numeric_limits<int32_t>::max()};
        std::mt19937 random(seed);
        auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
        auto text = [&] {
            std::string t;
            for (size_t n = pick(6); n > 0; --n)
                t += pieces[pick(pieces.size())];
            return t;
        };
        buffers.clear();
        entries.clear();
        entries.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            Buffer& b = *buffers.emplace_back(std::make_unique<Buffer>(store));
            b.text("Fix", text());
            if (pick(20) == 0) // a damaged slot with no terminator
                std::memset(b.slot("Fix"), 'q', 31);
            if (pick(6) != 0) // else missing
                b.text("Txt", text());
            b.set<double>("Num", numbers[pick(numbers.size())]);
            b.set<int32_t>("Int", integers[pick(integers.size())]);
            b.set<int16_t>("Small", static_cast<int16_t>(integers[pick(integers.size())]));
            b.set<int16_t>("Flag", static_cast<int16_t>(pick(3)) * -1);
            b.set<double>("When", numbers[pick(4)] * 86400000.0);
            entries.push_back(RecordEntry{b.get()});
        }
    }

    std::vector<KeyField> key(std::initializer_list<std::pair<const char*, bool>> names) const {
        std::vector<KeyField> fields;
        for (auto [name, rightJustified] : names)
            fields.push_back({store.findField(name), rightJustified});
        return fields;
    }

    std::vector<RecordEntry*> records() {
        std::vector<RecordEntry*> list;
        for (RecordEntry& e : entries)
            list.push_back(&e);
        return list;
    }

    std::vector<std::vector<KeyField>> keys() const {
        return {key({{"Fix", false}}),
                key({{"Txt", false}}),
                key({{"Fix", true}}),
                key({{"Txt", true}}),
                key({{"Num", false}}),
                key({{"Int", false}}),
                key({{"Small", false}}),
                key({{"When", false}}),
                key({{"Fix", false}, {"Txt", false}}),
                key({{"Txt", true}, {"Num", false}, {"Fix", false}}),
                key({{"Flag", false}, {"Fix", true}, {"Int", false}}),
                key({{"Num", false}, {"Small", false}, {"Txt", false}}),
                key({{"When", false}, {"Flag", false}, {"Txt", true}})};
    }

    TZerovCursor store;
    std::vector<std::unique_ptr<Buffer>> buffers;
    std::vector<RecordEntry> entries;
};

TEST_F(KeyRankingSort, LeavesTheOrderOfTheQuicksortOverTheRecords) {
    const std::vector<std::vector<KeyField>> allKeys = keys();
    uint32_t seed = 1;
    // Sizes on both sides of where the ranking stops radix sorting and compares, and large
    // enough for ranges whose keys take few values (sorted by their distinct keys) and many.
    for (size_t count : {2, 31, 33, 700, 3000, 12000}) {
        fill(seed++, count, false);
        for (size_t k = 0; k < allKeys.size(); ++k) {
            for (bool caseInsensitive : {false, true}) {
                for (bool descending : {false, true}) {
                    SCOPED_TRACE(::testing::Message()
                                 << "records " << count << " key " << k << " caseInsensitive "
                                 << caseInsensitive << " descending " << descending);
                    std::vector<RecordEntry*> expected = records();
                    std::vector<RecordEntry*> actual = expected;
                    quickSortRecords(expected, [&](const RecordEntry* a, const RecordEntry* b) {
                        int r = compareKeyValues(a->data, b->data, allKeys[k], -1, caseInsensitive);
                        return descending ? -r : r;
                    });
                    sortRecordsByKey(actual, allKeys[k], caseInsensitive, descending);
                    ASSERT_EQ(actual, expected);
                }
            }
        }
    }
}

// Checks the ranks of `list` by every key against the comparison of the records' keys.
void expectRanksCompareAsTheKeys(const std::vector<RecordEntry*>& list,
                                 const std::vector<std::vector<KeyField>>& keys) {
    for (const std::vector<KeyField>& fields : keys) {
        for (bool caseInsensitive : {false, true}) {
            std::vector<uint32_t> ranks;
            uint32_t classCount = 0;
            ASSERT_TRUE(rankRecordKeys(list, fields, caseInsensitive, ranks, classCount));
            ASSERT_EQ(ranks.size(), list.size());
            std::vector<bool> used(classCount, false);
            for (size_t a = 0; a < list.size(); ++a) {
                ASSERT_LT(ranks[a], classCount);
                used[ranks[a]] = true;
                for (size_t b = 0; b < list.size(); ++b) {
                    const int expected =
                        compareKeyValues(list[a]->data, list[b]->data, fields, -1, caseInsensitive);
                    const int actual = (ranks[a] > ranks[b]) - (ranks[a] < ranks[b]);
                    ASSERT_EQ(actual, expected) << "records " << a << " and " << b;
                }
            }
            // Dense: every rank up to the count stands for a key.
            EXPECT_EQ(std::count(used.begin(), used.end(), false), 0);
        }
    }
}

TEST_F(KeyRankingSort, RanksCompareAsTheKeysDo) {
    fill(99, 400, false);
    expectRanksCompareAsTheKeys(records(), keys());
}

// Texts alike but for one byte, at every place of the first words read and beyond them, and
// ending there or going on: each byte must count, in the word it falls in.
TEST_F(KeyRankingSort, TextsThatDifferInOneByteRankAsTheyCompare) {
    buffers.clear();
    entries.clear();
    for (size_t at = 0; at < 40; ++at) {
        for (const char c : {'a', 'A', 'b', '\xE0', '\xC0', '\x01'}) {
            std::string text(40, 'x');
            text[at] = c;
            for (const std::string& t : {text, text.substr(0, at + 1)}) {
                Buffer& b = *buffers.emplace_back(std::make_unique<Buffer>(store));
                b.text("Txt", t);
                b.text("Fix", t.substr(0, 29));
                entries.push_back(RecordEntry{b.get()});
            }
        }
    }
    expectRanksCompareAsTheKeys(records(), {key({{"Txt", false}}), key({{"Fix", false}})});
}

TEST_F(KeyRankingSort, NaNKeysAreNotRankedButSortAsTheQuicksortOverTheRecords) {
    fill(7, 500, true);
    std::vector<uint32_t> ranks;
    uint32_t classCount = 0;
    EXPECT_FALSE(
        rankRecordKeys(records(), key({{"Fix", false}, {"Num", false}}), false, ranks, classCount));
    EXPECT_TRUE(
        rankRecordKeys(records(), key({{"Fix", false}, {"Int", false}}), false, ranks, classCount));
    for (const std::vector<KeyField>& fields :
         {key({{"Num", false}}), key({{"Txt", false}, {"Num", false}})}) {
        std::vector<RecordEntry*> expected = records();
        std::vector<RecordEntry*> actual = expected;
        quickSortRecords(expected, [&](const RecordEntry* a, const RecordEntry* b) {
            return compareKeyValues(a->data, b->data, fields, -1, true);
        });
        sortRecordsByKey(actual, fields, true, false);
        EXPECT_EQ(actual, expected);
    }
}

} // namespace
} // namespace cibrano::testing
