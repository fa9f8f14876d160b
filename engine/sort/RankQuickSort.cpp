#include "engine/sort/RankQuickSort.h"

#include <bit>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cibrano {

namespace {

using Index = std::ptrdiff_t;

uint32_t rankOf(uint64_t item) {
    return static_cast<uint32_t>(item >> 32);
}

#if defined(__SSE2__)
// The ranks of the four items from p, flipped at the top bit so that signed comparisons order
// them as unsigned ones.
inline __m128i signedRanksOf4(const uint64_t* p) {
    const __m128 low = _mm_loadu_ps(reinterpret_cast<const float*>(p));
    const __m128 high = _mm_loadu_ps(reinterpret_cast<const float*>(p + 2));
    const __m128i ranks = _mm_castps_si128(_mm_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1)));
    return _mm_xor_si128(ranks, _mm_set1_epi32(INT32_MIN));
}

inline __m128i signedPivot(uint32_t pivot) {
    return _mm_set1_epi32(static_cast<int>(pivot ^ 0x80000000u));
}
#endif

template <int Block>
constexpr uint64_t kBlockBits = Block == 64 ? ~uint64_t{0} : (uint64_t{1} << Block) - 1;

// Bit k set: a[k] stops the left scan (its rank is not below the pivot's).
template <int Block> uint64_t leftStops(const uint64_t* a, uint32_t pivot) {
#if defined(__SSE2__)
    const __m128i p = signedPivot(pivot);
    uint64_t below = 0;
    for (int k = 0; k < Block; k += 4) {
        const __m128i lt = _mm_cmplt_epi32(signedRanksOf4(a + k), p);
        below |= static_cast<uint64_t>(_mm_movemask_ps(_mm_castsi128_ps(lt))) << k;
    }
    return ~below & kBlockBits<Block>;
#else
    uint64_t stops = 0;
    for (int k = 0; k < Block; ++k)
        stops |= static_cast<uint64_t>(rankOf(a[k]) >= pivot) << k;
    return stops;
#endif
}

// Bit k set: a[-k] stops the right scan (its rank is not above the pivot's).
template <int Block> uint64_t rightStops(const uint64_t* a, uint32_t pivot) {
#if defined(__SSE2__)
    const __m128i p = signedPivot(pivot);
    uint64_t above = 0;
    for (int k = 0; k < Block; k += 4) {
        // a[-k - 3] .. a[-k], turned round so that a[-k] comes first
        const __m128i ranks = _mm_shuffle_epi32(signedRanksOf4(a - k - 3), _MM_SHUFFLE(0, 1, 2, 3));
        const __m128i gt = _mm_cmpgt_epi32(ranks, p);
        above |= static_cast<uint64_t>(_mm_movemask_ps(_mm_castsi128_ps(gt))) << k;
    }
    return ~above & kBlockBits<Block>;
#else
    uint64_t stops = 0;
    for (int k = 0; k < Block; ++k)
        stops |= static_cast<uint64_t>(rankOf(a[-k]) <= pivot) << k;
    return stops;
#endif
}

// Runs the scans over blocks of `Block` items while two blocks fit between them (see the top
// of the header), and leaves i and j where the item-by-item scans would stand: at the stops
// noted but not swapped yet, or where the blocks ended.
template <int Block> void partitionBlocks(uint64_t* a, uint32_t pivot, Index& i, Index& j) {
    uint64_t left = 0; // the stops of the block from baseL not swapped yet
    uint64_t right = 0;
    Index baseL = 0;
    Index baseR = 0;
    while (j - i + 1 >= 2 * Block) {
        if (left == 0) {
            baseL = i;
            left = leftStops<Block>(a + i, pivot);
            i += Block;
        }
        if (right == 0) {
            baseR = j;
            right = rightStops<Block>(a + j, pivot);
            j -= Block;
        }
        while (left != 0 && right != 0) {
            std::swap(a[baseL + std::countr_zero(left)], a[baseR - std::countr_zero(right)]);
            left &= left - 1;
            right &= right - 1;
        }
    }
    if (left != 0)
        i = baseL + std::countr_zero(left);
    if (right != 0)
        j = baseR - std::countr_zero(right);
}

// Partitions [l, r] around the rank of its middle item as quickSortRecords does; on return
// [l, j] and [i, r] are the two parts. Long stretches go by large blocks, what remains between
// the scans by smaller ones, the last few items one at a time.
void partition(uint64_t* a, Index l, Index r, uint32_t pivot, Index& iOut, Index& jOut) {
    Index i = l; // the items not looked at yet are [i, j]
    Index j = r;
    partitionBlocks<64>(a, pivot, i, j);
    partitionBlocks<16>(a, pivot, i, j);
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

// A part of the list waiting to be sorted, with bounds of its ranks: it holds only items of
// ranks lo..hi, and every item of a rank strictly between them (the parts it comes from were
// split at lo and hi, and each split sends every item below the pivot to one side and every
// item above it to the other).
struct Part {
    Index l;
    Index r;
    uint32_t lo;
    uint32_t hi;
};

// Whether two items of the part have the same rank. `start` holds where each rank's items
// begin in the sorted list, and every rank is held by some item. A shared rank strictly between the
// bounds has all its items in the part; otherwise only the items of a bound's rank can be equal,
// and they are counted.
bool holdsEqualRanks(const uint64_t* a, const Part& part, const uint32_t* start) {
    const uint32_t lo = part.lo;
    const uint32_t hi = part.hi;
    if (hi > lo + 1 && start[hi] - start[lo + 1] > hi - lo - 1)
        return true;
    if (start[lo + 1] - start[lo] < 2 && start[hi + 1] - start[hi] < 2)
        return false;
    Index atLo = 0;
    Index atHi = 0;
    for (Index k = part.l; k <= part.r; ++k) {
        const uint32_t rank = rankOf(a[k]);
        atLo += rank == lo;
        atHi += rank == hi;
    }
    return atLo > 1 || atHi > 1;
}

// The quicksort of record lists over the items, except that a part in which no two items have
// the same rank is left as it is: its order is the ranks' order whatever the quicksort would do
// with it, and placing the items by rank afterwards gives that order.
void quickSortItems(uint64_t* items, size_t count, const uint32_t* start, uint32_t classCount) {
    if (count < 2)
        return;
    std::vector<Part> pending;
    pending.push_back({0, static_cast<Index>(count) - 1, 0, classCount - 1});
    while (!pending.empty()) {
        Part part = pending.back();
        pending.pop_back();
        while (part.l < part.r && holdsEqualRanks(items, part, start)) {
            const auto [l, r, lo, hi] = part;
            const uint32_t pivot = rankOf(items[(l + r) / 2]);
            Index i = 0;
            Index j = 0;
            partition(items, l, r, pivot, i, j);
            // Left part [l, j], right part [i, r]: the larger waits, the smaller goes on.
            const Part left{l, j, lo, pivot};
            const Part right{i, r, pivot, hi};
            if (l < j && i < r) {
                pending.push_back(j - l > r - i ? left : right);
                part = j - l > r - i ? right : left;
            } else if (l < j) {
                part = left;
            } else if (i < r) {
                part = right;
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
    bool anyShared = false;
    bool anyUnused = false;
    for (size_t r = 0; r < classCount; ++r) {
        anyShared = anyShared || next[r + 1] - next[r] > 1;
        anyUnused = anyUnused || next[r + 1] == next[r];
    }
    std::vector<uint32_t> order(n);
    if (!anyShared) { // every rank at most once: only one order
        for (size_t row = 0; row < n; ++row)
            order[next[ranks[row]]] = static_cast<uint32_t>(row);
        return order;
    }
    if (anyUnused) {
        // The test for equal ranks in a part counts on every rank being held: number the
        // ranks held in their order. Only the order of the ranks decides the quicksort's.
        std::vector<uint32_t> held(classCount);
        uint32_t count = 0;
        for (size_t r = 0; r < classCount; ++r) {
            held[r] = count;
            count += next[r + 1] > next[r] ? 1 : 0;
        }
        std::vector<uint32_t> heldRanks(n);
        for (size_t row = 0; row < n; ++row)
            heldRanks[row] = held[ranks[row]];
        return quickSortOrderOfRanks(heldRanks, count);
    }
    std::vector<uint64_t> items(n);
    for (size_t row = 0; row < n; ++row)
        items[row] = (uint64_t{ranks[row]} << 32) | row;
    quickSortItems(items.data(), n, next.data(), classCount);
    // Items of one rank keep the order the quicksort left them in.
    for (const uint64_t item : items)
        order[next[rankOf(item)]++] = static_cast<uint32_t>(item);
    return order;
}

} // namespace cibrano
