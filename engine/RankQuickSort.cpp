#include "engine/RankQuickSort.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace cibrano {

namespace {

using Index = std::ptrdiff_t;

constexpr Index kBlock = 64;

uint32_t rankOf(uint64_t item) {
    return static_cast<uint32_t>(item >> 32);
}

// Partitions [l, r] around the rank of its middle item as quickSortRecords does; on return
// [l, j] and [i, r] are the two parts.
void partition(uint64_t* a, Index l, Index r, Index& iOut, Index& jOut) {
    const uint32_t pivot = rankOf(a[(l + r) / 2]);
    Index i = l; // the items not looked at yet are [i, j]
    Index j = r;
    // Where the left scan would stop in the block from baseL on, and the right scan in the
    // block from baseR down; those before `used` have been swapped.
    uint8_t left[kBlock];
    uint8_t right[kBlock];
    int leftCount = 0;
    int leftUsed = 0;
    int rightCount = 0;
    int rightUsed = 0;
    Index baseL = 0;
    Index baseR = 0;
    while (j - i + 1 >= 2 * kBlock) {
        if (leftUsed == leftCount) {
            leftUsed = leftCount = 0;
            baseL = i;
            for (Index k = 0; k < kBlock; ++k) {
                left[leftCount] = static_cast<uint8_t>(k);
                leftCount += rankOf(a[i + k]) >= pivot;
            }
            i += kBlock;
        }
        if (rightUsed == rightCount) {
            rightUsed = rightCount = 0;
            baseR = j;
            for (Index k = 0; k < kBlock; ++k) {
                right[rightCount] = static_cast<uint8_t>(k);
                rightCount += rankOf(a[j - k]) <= pivot;
            }
            j -= kBlock;
        }
        const int pairs = std::min(leftCount - leftUsed, rightCount - rightUsed);
        for (int t = 0; t < pairs; ++t)
            std::swap(a[baseL + left[leftUsed + t]], a[baseR - right[rightUsed + t]]);
        leftUsed += pairs;
        rightUsed += pairs;
    }
    // The scans resume at the stops not swapped yet, or where the blocks ended.
    if (leftUsed < leftCount)
        i = baseL + left[leftUsed];
    if (rightUsed < rightCount)
        j = baseR - right[rightUsed];
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

} // namespace

void quickSortByRank(uint64_t* items, size_t count) {
    if (count < 2)
        return;
    std::vector<std::pair<Index, Index>> pending;
    pending.emplace_back(0, static_cast<Index>(count) - 1);
    while (!pending.empty()) {
        auto [l, r] = pending.back();
        pending.pop_back();
        while (l < r) {
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

} // namespace cibrano
