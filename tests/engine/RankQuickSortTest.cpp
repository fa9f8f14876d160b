// The quicksort over ranks must make the very swaps of the quicksort of record lists: the same
// final order of items with equal ranks, whatever the ranks look like.

#include "engine/sort/RankQuickSort.h"
#include "engine/sort/RecordSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <tuple>

namespace cibrano {
namespace {

// The rows in the order the quicksort of record lists leaves them when it compares ranks.
std::vector<uint32_t> recordQuicksortOrder(const std::vector<uint32_t>& ranks) {
    std::vector<uint32_t> rows(ranks.size());
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = static_cast<uint32_t>(i);
    quickSortRecords(rows, [&](uint32_t a, uint32_t b) {
        return (ranks[a] > ranks[b]) - (ranks[a] < ranks[b]);
    });
    return rows;
}

TEST(RankQuickSort, LeavesTheOrderOfTheQuicksortOfRecordLists) {
    std::mt19937 random(20261208);
    auto below = [&](size_t n) { return static_cast<uint32_t>(random() % n); };
    // How the ranks of a list are laid out (rank at i of n, and the bound of the ranks): how
    // many ranks are shared decides how much is left to the quicksort; sorted, reversed and
    // organ-pipe lists stress the pivot and the block ends.
    using Shape = std::function<uint32_t(size_t, size_t)>;
    const std::vector<std::tuple<const char*, Shape, std::function<size_t(size_t)>>> shapes = {
        {"all equal", [](size_t, size_t) { return 0u; }, [](size_t) { return 1; }},
        {"two ranks", [&](size_t, size_t) { return below(2); }, [](size_t) { return 2; }},
        {"few ranks", [&](size_t, size_t) { return below(17); }, [](size_t) { return 17; }},
        {"many ties", [&](size_t, size_t n) { return below(n / 2 + 1); },
         [](size_t n) { return n / 2 + 1; }},
        {"some ties", [&](size_t, size_t n) { return below(n); }, [](size_t n) { return n; }},
        {"rare ties", [&](size_t, size_t n) { return below(50 * n); },
         [](size_t n) { return 50 * n; }},
        {"ascending", [](size_t i, size_t) { return static_cast<uint32_t>(i / 3); },
         [](size_t n) { return n / 3 + 1; }},
        {"descending", [](size_t i, size_t n) { return static_cast<uint32_t>((n - i) / 2); },
         [](size_t n) { return n / 2 + 1; }},
        {"organ pipe",
         [](size_t i, size_t n) { return static_cast<uint32_t>(std::min(i, n - i) / 4); },
         [](size_t n) { return n / 8 + 1; }},
    };
    for (size_t n : {1,   2,   3,   15,  16,  17,  31,  33,   64,   127,
                     128, 129, 130, 143, 255, 256, 257, 1000, 4099, 60000}) {
        for (const auto& [shape, rankAt, bound] : shapes) {
            SCOPED_TRACE(::testing::Message() << n << " items, " << shape);
            std::vector<uint32_t> ranks(n);
            for (size_t i = 0; i < n; ++i)
                ranks[i] = rankAt(i, n);
            ASSERT_EQ(quickSortOrderOfRanks(ranks, static_cast<uint32_t>(bound(n))),
                      recordQuicksortOrder(ranks));
            // The same order with every rank below the bound held, as the key ranking gives.
            std::vector<uint32_t> held = ranks;
            std::sort(held.begin(), held.end());
            held.erase(std::unique(held.begin(), held.end()), held.end());
            for (uint32_t& r : ranks)
                r = static_cast<uint32_t>(std::lower_bound(held.begin(), held.end(), r) -
                                          held.begin());
            ASSERT_EQ(quickSortOrderOfRanks(ranks, static_cast<uint32_t>(held.size())),
                      recordQuicksortOrder(ranks));
        }
        // Every rank once: the one order there is.
        std::vector<uint32_t> ranks(n);
        for (size_t i = 0; i < n; ++i)
            ranks[i] = static_cast<uint32_t>(i);
        std::shuffle(ranks.begin(), ranks.end(), random);
        ASSERT_EQ(quickSortOrderOfRanks(ranks, static_cast<uint32_t>(n)),
                  recordQuicksortOrder(ranks));
    }
}

} // namespace
} // namespace cibrano
