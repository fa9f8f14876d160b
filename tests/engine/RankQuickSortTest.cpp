// The quicksort over ranks must make the very swaps of the quicksort of record lists: the same
// final order of items with equal ranks, whatever the ranks look like.

#include "engine/RankQuickSort.h"
#include "engine/RecordSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

namespace cibrano {
namespace {

std::vector<uint64_t> sortedByRecordQuicksort(std::vector<uint64_t> items) {
    quickSortRecords(items, [](uint64_t a, uint64_t b) {
        const auto ra = static_cast<uint32_t>(a >> 32);
        const auto rb = static_cast<uint32_t>(b >> 32);
        return (ra > rb) - (ra < rb);
    });
    return items;
}

TEST(RankQuickSort, LeavesTheOrderOfTheQuicksortOfRecordLists) {
    std::mt19937 random(20261208);
    // How the ranks of a list are laid out: the number of distinct ranks decides how many
    // items tie; sorted, reversed and organ-pipe lists stress the pivot and the block ends.
    const std::vector<std::pair<const char*, std::function<uint32_t(size_t, size_t)>>> shapes = {
        {"all equal", [](size_t, size_t) { return 7u; }},
        {"two ranks", [&](size_t, size_t) { return static_cast<uint32_t>(random() % 2); }},
        {"few ranks", [&](size_t, size_t) { return static_cast<uint32_t>(random() % 17); }},
        {"some ties", [&](size_t, size_t n) { return static_cast<uint32_t>(random() % n); }},
        {"all ranks", [&](size_t, size_t) { return static_cast<uint32_t>(random()); }},
        {"ascending", [](size_t i, size_t) { return static_cast<uint32_t>(i / 3); }},
        {"descending", [](size_t i, size_t n) { return static_cast<uint32_t>((n - i) / 2); }},
        {"organ pipe",
         [](size_t i, size_t n) { return static_cast<uint32_t>(std::min(i, n - i) / 4); }},
    };
    for (size_t n : {0, 1, 2, 3, 64, 127, 128, 129, 130, 255, 256, 257, 1000, 4099, 60000}) {
        for (const auto& [shape, rankAt] : shapes) {
            SCOPED_TRACE(::testing::Message() << n << " items, " << shape);
            std::vector<uint64_t> items(n);
            for (size_t i = 0; i < n; ++i)
                items[i] = (uint64_t{rankAt(i, n)} << 32) | i;
            const std::vector<uint64_t> expected = sortedByRecordQuicksort(items);
            quickSortByRank(items.data(), items.size());
            ASSERT_EQ(items, expected);
        }
    }
}

} // namespace
} // namespace cibrano
