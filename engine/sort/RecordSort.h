#pragma once
// The quicksort that orders record lists: the store's own list and a dataset's view.
//
// Records with equal keys keep no defined order, but the order they do get is part of what the
// user sees (which of two equal foods comes first), so every sort of records goes through this
// one procedure: Hoare partitioning around the middle element, then each part sorted the same
// way. The parts are independent of each other, so they wait on an explicit stack (the larger
// one first) instead of in nested calls: the order is the same, and a long list cannot exhaust
// the call stack.

#include <cstddef>
#include <iterator>
#include <utility>
#include <vector>

namespace cibrano {

// Sorts [first, last) by `compare(a, b)`, which answers negative, 0 or positive. The comparison
// must give the same answer for the same two items every time and 0 for an item with itself.
template <typename RandomIt, typename Compare>
void quickSortRecords(RandomIt first, RandomIt last, Compare compare) {
    using Index = std::ptrdiff_t;
    const Index count = last - first;
    if (count < 2)
        return;
    std::vector<std::pair<Index, Index>> pending;
    pending.emplace_back(0, count - 1);
    while (!pending.empty()) {
        auto [l, r] = pending.back();
        pending.pop_back();
        while (l < r) {
            Index i = l;
            Index j = r;
            auto pivot = first[(l + r) / 2];
            do {
                // The bounds only matter to a comparison that breaks the rule above.
                while (i < r && compare(first[i], pivot) < 0)
                    ++i;
                while (j > l && compare(first[j], pivot) > 0)
                    --j;
                if (i <= j) {
                    if (i != j)
                        std::iter_swap(first + i, first + j);
                    ++i;
                    --j;
                }
            } while (i <= j);
            // Left part [l, j], right part [i, r]: the larger waits, the smaller goes on.
            const bool left = l < j;
            const bool right = i < r;
            if (left && right) {
                if (j - l > r - i) {
                    pending.emplace_back(l, j);
                    l = i;
                } else {
                    pending.emplace_back(i, r);
                    r = j;
                }
            } else if (left) {
                r = j;
            } else if (right) {
                l = i;
            } else {
                break;
            }
        }
    }
}

template <typename T, typename Compare>
void quickSortRecords(std::vector<T>& items, Compare compare) {
    quickSortRecords(items.begin(), items.end(), compare);
}

} // namespace cibrano
