#include "engine/store/AddressOrder.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace cibrano {

namespace {

uintptr_t addressOf(const RecordEntry* e) {
    return reinterpret_cast<uintptr_t>(e);
}

// Orders addresses ascending: a radix sort, 16 bits at a time over the bits in which they
// differ. A store's entries lie in a few large blocks, so two or three passes do what a
// comparison sort needs twenty for.
void sortAddresses(std::vector<const RecordEntry*>& items) {
    if (items.size() < 2)
        return;
    const auto [low, high] = std::minmax_element(items.begin(), items.end());
    const uintptr_t base = addressOf(*low);
    const uintptr_t spread = addressOf(*high) - base;
    std::vector<const RecordEntry*> other(items.size());
    std::vector<size_t> counts(size_t{1} << 16);
    for (unsigned shift = 0; shift < 64 && (spread >> shift) != 0; shift += 16) {
        auto digit = [&](const RecordEntry* e) {
            return ((addressOf(e) - base) >> shift) & 0xFFFF;
        };
        std::fill(counts.begin(), counts.end(), 0);
        for (const RecordEntry* e : items)
            ++counts[digit(e)];
        size_t at = 0;
        for (size_t& c : counts)
            at += std::exchange(c, at);
        for (const RecordEntry* e : items)
            other[counts[digit(e)]++] = e;
        items.swap(other);
    }
}

// More runs than this and the list is taken to be in no order worth following.
constexpr size_t kMostRuns = 4096;
// A step up by more than this between two entries of the list is taken as a step into another
// block: a run ends there too. (Blocks handed out one after the other need not lie in that
// order, so an ascending stretch of the list can jump over a block that comes later in it.)
constexpr uintptr_t kBlockStep = uintptr_t{1} << 16;

// Puts the list's runs (stretches of steadily ascending addresses) in address order into
// `ordered`; false, with `ordered` to be ignored, when there are too many or two of them
// interleave.
bool concatenateRuns(const std::vector<RecordEntry*>& entries,
                     std::vector<const RecordEntry*>& ordered) {
    struct Run {
        size_t begin;
        size_t end;
    };
    std::vector<Run> runs;
    const size_t n = entries.size();
    size_t begin = 0;
    for (size_t i = 1; i <= n; ++i) {
        if (i < n && addressOf(entries[i - 1]) < addressOf(entries[i]) &&
            addressOf(entries[i]) - addressOf(entries[i - 1]) <= kBlockStep)
            continue;
        if (runs.size() == kMostRuns)
            return false;
        runs.push_back({begin, i});
        begin = i;
    }
    std::sort(runs.begin(), runs.end(), [&](const Run& a, const Run& b) {
        return addressOf(entries[a.begin]) < addressOf(entries[b.begin]);
    });
    for (size_t r = 1; r < runs.size(); ++r)
        if (addressOf(entries[runs[r - 1].end - 1]) >= addressOf(entries[runs[r].begin]))
            return false;
    ordered.clear();
    ordered.reserve(n);
    for (const Run& run : runs)
        ordered.insert(ordered.end(), entries.begin() + static_cast<std::ptrdiff_t>(run.begin),
                       entries.begin() + static_cast<std::ptrdiff_t>(run.end));
    return true;
}

} // namespace

void orderByAddress(const std::vector<RecordEntry*>& entries,
                    std::vector<const RecordEntry*>& ordered) {
    if (!entries.empty() && concatenateRuns(entries, ordered))
        return;
    ordered.assign(entries.begin(), entries.end());
    sortAddresses(ordered);
}

} // namespace cibrano
