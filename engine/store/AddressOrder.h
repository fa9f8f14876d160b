#pragma once
// The store room (engine/store/): the table held in memory (RecordStore), with the changes
// made since the last commit and this index of its entries' addresses. It knows nothing of
// files: the file room above it reads and writes it. It sorts with the sort room and keeps
// its records in the record room.
//
// The entries of a store in the order of their addresses, which `contains` searches.

#include "engine/record/RecordEntry.h"

#include <vector>

namespace cibrano {

// Fills `ordered` with the entries of `entries` in ascending address order.
//
// A store's entries are cut one after the other out of large blocks, so its list is mostly a
// few hundred ascending runs, one per block, the blocks in whatever order the system gave
// them. When the list is at most a few thousand such runs and no two runs interleave, the
// runs put in the order of their first addresses are the order: one copy. Any other list
// (sorted by a key, grown entry by entry) is sorted by a radix sort of the addresses.
void orderByAddress(const std::vector<RecordEntry*>& entries,
                    std::vector<const RecordEntry*>& ordered);

} // namespace cibrano
