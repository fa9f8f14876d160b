#pragma once
// Dense ranks of the records' keys: each record gets the position of its key among the distinct
// keys of the list, in the order of compareKeyValues (equal keys, equal rank).
//
// Sorting a view must leave the exact order of quickSortRecords over compareKeyValues, equal
// keys included. That quicksort only looks at the signs of its comparisons, and two ranks
// compare with the same sign as the two keys, so the quicksort over ranks swaps exactly as the
// quicksort over the records does, with each comparison an integer compare. The ranks
// themselves come from a radix sort of the key values, eight bytes of a text at a time.

#include "engine/record/RecordEntry.h"
#include "engine/sort/KeyBuffer.h"

#include <cstdint>
#include <vector>

namespace cibrano {

// Fills `ranks` (one per record, in the order of `records`) with the dense rank of each
// record's key over all the key fields, as compareKeyValues(a, b, fields, -1,
// caseInsensitive) orders them, and `classCount` with the number of distinct keys. False,
// with nothing to rely on in either, when the keys cannot be ranked: a number key holds a NaN
// (which compares equal to every value, so "equal" is not transitive and no ranking can give
// the same answers), a text is too long to be measured here, or a BLOB is part of the key.
bool rankRecordKeys(const std::vector<RecordEntry*>& records, const std::vector<KeyField>& fields,
                    bool caseInsensitive, std::vector<uint32_t>& ranks, uint32_t& classCount);

} // namespace cibrano
