// The record quicksort: which order equal keys get, and the store's sorts built on it.

#include "TableImageTestSupport.h"

#include "engine/sort/RecordSort.h"

#include <random>

using namespace cibrano;
using namespace cibrano::testing;

namespace {

struct Item {
    int key;
    int tag;
};

int byKey(const Item* a, const Item* b) {
    return a->key - b->key;
}

// The procedure as nested calls, to hold the stack-based version to the same result.
template <typename Compare> void nestedSort(std::vector<Item*>& v, long l, long r, Compare cmp) {
    long i;
    do {
        i = l;
        long j = r;
        Item* p = v[static_cast<size_t>((l + r) / 2)];
        do {
            while (cmp(v[static_cast<size_t>(i)], p) < 0)
                ++i;
            while (cmp(v[static_cast<size_t>(j)], p) > 0)
                --j;
            if (i <= j) {
                std::swap(v[static_cast<size_t>(i)], v[static_cast<size_t>(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (l < j)
            nestedSort(v, l, j, cmp);
        l = i;
    } while (i < r);
}

std::vector<int> tags(const std::vector<Item*>& v) {
    std::vector<int> t;
    for (const Item* i : v)
        t.push_back(i->tag);
    return t;
}

} // namespace

TEST(RecordSort, EqualKeysTakeTheOrderThePartitioningLeaves) {
    // Worked by hand: the pivot 0 swaps to the front, then the two 1s are swapped.
    std::vector<Item> items = {{1, 0}, {0, 1}, {1, 2}};
    std::vector<Item*> list = {&items[0], &items[1], &items[2]};
    quickSortRecords(list, byKey);
    EXPECT_EQ(tags(list), (std::vector<int>{1, 2, 0}));

    std::vector<Item> same = {{5, 0}, {5, 1}, {5, 2}, {5, 3}};
    std::vector<Item*> all = {&same[0], &same[1], &same[2], &same[3]};
    quickSortRecords(all, byKey);
    EXPECT_EQ(tags(all), (std::vector<int>{2, 3, 0, 1}));
}

TEST(RecordSort, MatchesTheNestedProcedureOnManyLists) {
    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
        size_t n = random() % 200;
        int range = 1 + static_cast<int>(random() % 20); // many equal keys
        std::vector<Item> items(n);
        for (size_t k = 0; k < n; ++k)
            items[k] = {static_cast<int>(random() % static_cast<unsigned>(range)),
                        static_cast<int>(k)};
        std::vector<Item*> a, b;
        for (Item& it : items) {
            a.push_back(&it);
            b.push_back(&it);
        }
        quickSortRecords(a, byKey);
        if (n > 1)
            nestedSort(b, 0, static_cast<long>(n) - 1, byKey);
        ASSERT_EQ(tags(a), tags(b)) << "round " << round;
        for (size_t k = 1; k < n; ++k)
            ASSERT_LE(a[k - 1]->key, a[k]->key);
    }
}

TEST(RecordSort, StoreSortsAscendingByItsKeysWithTombstonesFirst) {
    TZerovCursor store;
    openNewTable(store, {{"Gruppo", ftString, 10}, {"Nome", ftString, 40}});
    AnsiString message;
    const char* rows[][2] = {
        {"b", "Zucca"}, {"A", "mela"}, {"a", "Pera"}, {"b", "arancia"}, {"A", "Mela"}};
    for (auto& row : rows) {
        Buffer buffer(store);
        buffer.text("Gruppo", row[0]).text("Nome", row[1]);
        ASSERT_TRUE(store.putRecord(buffer.get(), nullptr, message));
    }
    RecordEntry* tombstone = store.recordAt(2);
    ASSERT_TRUE(store.markRecordDeleted(tombstone, message));

    auto names = [&] {
        std::vector<std::string> out;
        for (const RecordEntry* e : store.entries())
            out.push_back(e->data ? textOf(store, e, "Nome") : "-");
        return out;
    };
    store.sortRecords("Gruppo;Nome", false);
    EXPECT_EQ(names(), (std::vector<std::string>{"-", "Mela", "mela", "Zucca", "arancia"}));
    store.sortRecords("nome", true);
    EXPECT_EQ(names().front(), "-");
    EXPECT_EQ(names().back(), "Zucca");
    EXPECT_EQ(names()[1], "arancia");

    const std::vector<RecordEntry*> before = store.entries();
    store.sortRecords("Nessuno", false); // no key field: nothing moves
    EXPECT_EQ(store.entries(), before);
}
