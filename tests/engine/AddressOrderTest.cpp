// The address order that `contains` searches: whatever the list looks like, it must be exactly
// the entries sorted by address.

#include "engine/store/AddressOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace cibrano {
namespace {

std::vector<const RecordEntry*> sortedCopy(const std::vector<RecordEntry*>& entries) {
    std::vector<const RecordEntry*> copy(entries.begin(), entries.end());
    std::sort(copy.begin(), copy.end(), std::less<const RecordEntry*>());
    return copy;
}

void expectAddressOrder(const std::vector<RecordEntry*>& entries) {
    std::vector<const RecordEntry*> ordered{nullptr}; // what was there goes
    orderByAddress(entries, ordered);
    EXPECT_EQ(ordered, sortedCopy(entries));
}

// Entries taken from separate blocks, as a store cuts them: each block's entries in address
// order, the blocks in the order given.
std::vector<RecordEntry*> listOfBlocks(std::vector<std::vector<RecordEntry>>& blocks,
                                       const std::vector<size_t>& blockOrder) {
    std::vector<RecordEntry*> list;
    for (size_t b : blockOrder)
        for (RecordEntry& e : blocks[b])
            list.push_back(&e);
    return list;
}

TEST(AddressOrder, IsTheSortedListWhateverItsShape) {
    std::vector<std::vector<RecordEntry>> blocks(6);
    for (size_t b = 0; b < blocks.size(); ++b)
        blocks[b].resize(50 + 37 * b);

    expectAddressOrder({});
    expectAddressOrder({&blocks[0][3]});
    // Blocks read in the order the system handed them out, and in others.
    expectAddressOrder(listOfBlocks(blocks, {0, 1, 2, 3, 4, 5}));
    expectAddressOrder(listOfBlocks(blocks, {5, 4, 3, 2, 1, 0}));
    expectAddressOrder(listOfBlocks(blocks, {2, 5, 0, 3, 1, 4}));

    // Blocks that lie apart in one stretch of memory, listed so that an ascending stretch of
    // the list jumps over a block listed later.
    std::vector<RecordEntry> memory(4 * 3000);
    auto block = [&](size_t k) {
        std::vector<RecordEntry*> entries;
        for (size_t i = 0; i < 200; ++i)
            entries.push_back(&memory[k * 3000 + i]);
        return entries;
    };
    std::vector<RecordEntry*> jumping;
    for (size_t k : {0, 2, 1, 3})
        for (RecordEntry* e : block(k))
            jumping.push_back(e);
    expectAddressOrder(jumping);

    // Entries added one by one after the blocks: a run of one each.
    std::vector<RecordEntry> added(30);
    std::vector<RecordEntry*> grown = listOfBlocks(blocks, {3, 1});
    for (size_t i = added.size(); i-- > 0;)
        grown.push_back(&added[i]);
    expectAddressOrder(grown);

    // Two runs that interleave: every other entry of one block, then the rest.
    std::vector<RecordEntry*> interleaved;
    for (size_t start : {0, 1})
        for (size_t i = start; i < blocks[4].size(); i += 2)
            interleaved.push_back(&blocks[4][i]);
    expectAddressOrder(interleaved);

    // A run inside another's span.
    std::vector<RecordEntry*> nested = {&blocks[0][0], &blocks[0][40], &blocks[0][10],
                                        &blocks[0][11]};
    expectAddressOrder(nested);

    // A list sorted by a key: no order of addresses at all, and more runs than are followed.
    std::vector<RecordEntry> many(20000);
    std::vector<RecordEntry*> shuffled;
    for (RecordEntry& e : many)
        shuffled.push_back(&e);
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(20261208));
    expectAddressOrder(shuffled);
    std::reverse(shuffled.begin(), shuffled.end());
    expectAddressOrder(shuffled);
    std::vector<RecordEntry*> descending;
    for (size_t i = many.size(); i-- > 0;)
        descending.push_back(&many[i]);
    expectAddressOrder(descending);

    // The same entry twice (never in a store, but the order must still hold both).
    expectAddressOrder({&blocks[1][5], &blocks[1][5], &blocks[1][6]});
}

} // namespace
} // namespace cibrano
