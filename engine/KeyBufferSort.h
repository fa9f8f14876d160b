#pragma once
// Sorting a record list by a key: the view of a table dataset ordered by its sort key.
//
// The order must be the one that quickSortRecords gives with compareKeyValues, equal keys
// included, because which of two equal records comes first is something the user sees. A
// comparison that follows each record's buffer and its texts on every call is slow, so the
// key values are gathered once, next to the record they belong to, and the quicksort
// compares those: it gets the same answers to the same questions, hence the same order.

#include "engine/KeyBuffer.h"
#include "engine/RecordEntry.h"

#include <vector>

namespace cibrano {

// Orders the records (each with its data) by all the key fields, as quickSortRecords does
// with compareKeyValues(a, b, fields, -1, caseInsensitive), negated when `descending`.
void sortRecordsByKey(std::vector<RecordEntry*>& records, const std::vector<KeyField>& fields,
                      bool caseInsensitive, bool descending);

} // namespace cibrano
