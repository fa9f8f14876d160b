// Sorting records by a key over gathered key values must leave exactly the order that the
// quicksort leaves when it compares the records themselves, equal keys included.

#include "TableImageTestSupport.h"

#include "engine/KeyBufferSort.h"
#include "engine/RecordSort.h"

#include <cmath>
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

} // namespace
} // namespace cibrano::testing
