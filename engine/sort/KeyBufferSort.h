#pragma once
// Sorting a record list by a key: the view of a table dataset ordered by its sort key.
//
// The order must be the one that quickSortRecords gives with compareKeyValues, equal keys
// included, because which of two equal records comes first is something the user sees. The
// quicksort only looks at the signs of its comparisons, so anything that answers with the
// same signs leaves the same order. The keys are ranked first (engine/KeyRank.h: a radix sort
// of the key values), and the quicksort runs over the ranks (engine/RankQuickSort.h), where
// each comparison is an integer compare. Keys that cannot be ranked (a NaN among numbers
// compares equal to everything) are gathered once, next to the record they belong to, and the
// quicksort compares those values as compareKeyValues does.

#include "engine/record/RecordEntry.h"
#include "engine/sort/KeyBuffer.h"

#include <vector>

namespace cibrano {

// Orders the records (each with its data) by all the key fields, as quickSortRecords does
// with compareKeyValues(a, b, fields, -1, caseInsensitive), negated when `descending`.
void sortRecordsByKey(std::vector<RecordEntry*>& records, const std::vector<KeyField>& fields,
                      bool caseInsensitive, bool descending);

} // namespace cibrano
