#pragma once
// The quicksort of record lists (quickSortRecords) over ranks: items that each pack a key's
// rank (high 32 bits) with the record's position (low 32 bits), compared by rank only.
//
// It makes the same swaps as quickSortRecords with that comparison, hence leaves the same
// order, equal ranks included; it is only faster. Each partition looks at the items in blocks:
// it first notes, as the bits of a mask and four items at a time, which items of a block from
// the left stop the left scan (rank not below the pivot's) and which of a block from the right
// stop the right scan (not above it), then swaps the k-th noted on the left with the k-th on
// the right. Those are the
// very pairs the item-by-item scans would meet and swap, since a swap never touches an item
// the scans have yet to reach. When the blocks would meet, the item-by-item scans take over
// where the blocks stood.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace cibrano {

// The order in which quickSortRecords leaves the rows 0..n-1 of `ranks` (each below
// `classCount`) when it compares them by rank: the row at each position.
//
// Only the order among rows of equal rank is the quicksort's to decide; every other row's
// place follows from the ranks. So a part of the list in which no two rows share a rank is
// not sorted further, and at the end each row goes to the next free place of its rank.
std::vector<uint32_t> quickSortOrderOfRanks(const std::vector<uint32_t>& ranks,
                                            uint32_t classCount);

} // namespace cibrano
