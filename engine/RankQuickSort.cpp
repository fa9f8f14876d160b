#include "engine/RankQuickSort.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace cibrano {

namespace {

using Index = std::ptrdiff_t;

uint32_t rankOf(uint64_t item) {
    return static_cast<uint32_t>(item >> 32);
}

// Runs the scans over blocks of `Block` items while two blocks fit between them (see the top
// of the file), and leaves i and j where the item-by-item scans would stand: at the stops
// noted but not swapped yet, or where the blocks ended.
template <int Block> void partitionBlocks(uint64_t* a, uint32_t pivot, Index& i, Index& j) {
    uint8_t left[Block];
    uint8_t right[Block];
    int leftCount = 0;
    int leftUsed = 0;
    int rightCount = 0;
    int rightUsed = 0;
    Index baseL = 0;
    Index baseR = 0;
    while (j - i + 1 >= 2 * Block) {
        if (leftUsed == leftCount) {
            leftUsed = leftCount = 0;
            baseL = i;
            for (Index k = 0; k < Block; ++k) {
                left[leftCount] = static_cast<uint8_t>(k);
                leftCount += rankOf(a[i + k]) >= pivot;
            }
            i += Block;
        }
        if (rightUsed == rightCount) {
            rightUsed = rightCount = 0;
            baseR = j;
            for (Index k = 0; k < Block; ++k) {
                right[rightCount] = static_cast<uint8_t>(k);
                rightCount += rankOf(a[j - k]) <= pivot;
            }
            j -= Block;
        }
        const int pairs = std::min(leftCount - leftUsed, rightCount - rightUsed);
        for (int t = 0; t < pairs; ++t)
            std::swap(a[baseL + left[leftUsed + t]], a[baseR - right[rightUsed + t]]);
        leftUsed += pairs;
        rightUsed += pairs;
    }
    if (leftUsed < leftCount)
        i = baseL + left[leftUsed];
    if (rightUsed < rightCount)
        j = baseR - right[rightUsed];
}

// Partitions [l, r] around the rank of its middle item as quickSortRecords does; on return
// [l, j] and [i, r] are the two parts. Long stretches go by large blocks, what remains between
// the scans by small ones, the last few items one at a time.
void partition(uint64_t* a, Index l, Index r, Index& iOut, Index& jOut) {
    const uint32_t pivot = rankOf(a[(l + r) / 2]);
    Index i = l; // the items not looked at yet are [i, j]
    Index j = r;
    partitionBlocks<64>(a, pivot, i, j);
    partitionBlocks<8>(a, pivot, i, j);
    do {
        while (i < r && rankOf(a[i]) < pivot)
            ++i;
        while (j > l && rankOf(a[j]) > pivot)
            --j;
        if (i <= j) {
            if (i != j)
                std::swap(a[i], a[j]);
            ++i;
            --j;
        }
    } while (i <= j);
    iOut = i;
    jOut = j;
}

// Marks an item whose rank other items share (in the low word, above the row).
constexpr uint64_t kTied = uint64_t{1} << 31;
constexpr uint64_t kRowMask = kTied - 1;
// Parts this short are looked at for ties before they are partitioned.
constexpr Index kTieCheckBelow = 256;

// Whether two items of [l, r] have the same rank. Only items marked tied can; they are few, so
// when more than a handful are in the part it is taken to have some.
bool holdsEqualRanks(const uint64_t* a, Index l, Index r) {
    constexpr int kMost = 16;
    uint32_t ranks[kMost];
    int count = 0;
    for (Index k = l; k <= r; ++k) {
        if ((a[k] & kTied) == 0)
            continue;
        if (count == kMost)
            return true;
        const uint32_t rank = rankOf(a[k]);
        for (int t = 0; t < count; ++t)
            if (ranks[t] == rank)
                return true;
        ranks[count++] = rank;
    }
    return false;
}

// The quicksort of record lists over the items. With `skipUntied`, a part in which no two
// items have the same rank is left as it is: its order is the ranks' order whatever the
// quicksort would do with it, and placing the items by rank afterwards gives that order.
void quickSortItems(uint64_t* items, size_t count, bool skipUntied) {
    if (count < 2)
        return;
    std::vector<std::pair<Index, Index>> pending;
    pending.emplace_back(0, static_cast<Index>(count) - 1);
    while (!pending.empty()) {
        auto [l, r] = pending.back();
        pending.pop_back();
        while (l < r) {
            if (skipUntied && r - l < kTieCheckBelow && !holdsEqualRanks(items, l, r))
                break;
            Index i = 0;
            Index j = 0;
            partition(items, l, r, i, j);
            // Left part [l, j], right part [i, r]: the larger waits, the smaller goes on.
            const bool leftPart = l < j;
            const bool rightPart = i < r;
            if (leftPart && rightPart) {
                if (j - l > r - i) {
                    pending.emplace_back(l, j);
                    l = i;
                } else {
                    pending.emplace_back(i, r);
                    r = j;
                }
            } else if (leftPart) {
                r = j;
            } else if (rightPart) {
                l = i;
            } else {
                break;
            }
        }
    }
}

} // namespace

std::vector<uint32_t> quickSortOrderOfRanks(const std::vector<uint32_t>& ranks,
                                            uint32_t classCount) {
    const size_t n = ranks.size();
    // Where the items of each rank begin in the sorted list.
    std::vector<uint32_t> next(size_t{classCount} + 1, 0);
    for (const uint32_t r : ranks)
        ++next[size_t{r} + 1];
    for (size_t r = 1; r <= classCount; ++r)
        next[r] += next[r - 1];
    std::vector<uint32_t> order(n);
    bool anyShared = false;
    for (size_t r = 0; r < classCount && !anyShared; ++r)
        anyShared = next[r + 1] - next[r] > 1;
    if (!anyShared) { // every rank at most once: only one order
        for (size_t row = 0; row < n; ++row)
            order[next[ranks[row]]] = static_cast<uint32_t>(row);
        return order;
    }
    // Items with a rank of their own need no marking; the rows must leave room for the mark.
    const bool skipUntied = n <= kRowMask + 1;
    std::vector<uint64_t> items(n);
    for (size_t row = 0; row < n; ++row) {
        const uint32_t r = ranks[row];
        const bool tied = skipUntied && next[size_t{r} + 1] - next[r] > 1;
        items[row] = (uint64_t{r} << 32) | row | (tied ? kTied : 0);
    }
    quickSortItems(items.data(), n, skipUntied);
    // Items of one rank keep the order the quicksort left them in.
    const uint64_t rowMask = skipUntied ? kRowMask : 0xFFFFFFFF;
    for (const uint64_t item : items)
        order[next[rankOf(item)]++] = static_cast<uint32_t>(item & rowMask);
    return order;
}

} // namespace cibrano
