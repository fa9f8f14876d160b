#include "engine/record/RecordPool.h"

#include <algorithm>
#include <mutex>
#include <utility>

namespace cibrano {

namespace {

// Every pool block of the process as [begin, end), ordered by begin. Releasing a slot's value
// asks it, which is rare next to reading records, so one lock is cheap enough.
struct BlockRegistry {
    std::mutex mutex;
    std::vector<std::pair<uintptr_t, uintptr_t>> blocks;
};

BlockRegistry& registry() {
    static BlockRegistry* instance = new BlockRegistry; // outlives every static pool
    return *instance;
}

using Ranges = std::vector<std::pair<uintptr_t, uintptr_t>>;

void insertRange(Ranges& ranges, uintptr_t begin, size_t size) {
    auto at = std::lower_bound(ranges.begin(), ranges.end(), std::make_pair(begin, begin));
    ranges.insert(at, {begin, begin + size});
}

void eraseRange(Ranges& ranges, uintptr_t begin) {
    auto at = std::lower_bound(ranges.begin(), ranges.end(), std::make_pair(begin, begin));
    if (at != ranges.end() && at->first == begin)
        ranges.erase(at);
}

bool inRanges(const Ranges& ranges, const void* p) {
    const auto address = reinterpret_cast<uintptr_t>(p);
    auto after = std::upper_bound(ranges.begin(), ranges.end(), address,
                                  [](uintptr_t a, const auto& range) { return a < range.first; });
    return after != ranges.begin() && address < std::prev(after)->second;
}

} // namespace

bool RecordPool::owns(const void* p) const {
    return inRanges(ranges_, p);
}

bool RecordPool::holds(const void* p) {
    BlockRegistry& r = registry();
    std::lock_guard lock(r.mutex);
    return inRanges(r.blocks, p);
}

uint8_t* RecordPool::newBlock(size_t size) {
    blocks_.reserve(blocks_.size() + 1);
    ranges_.reserve(ranges_.size() + 1);
    std::unique_ptr<uint8_t[]> block(new uint8_t[size]);
    const auto begin = reinterpret_cast<uintptr_t>(block.get());
    {
        BlockRegistry& r = registry();
        std::lock_guard lock(r.mutex);
        insertRange(r.blocks, begin, size);
    }
    // Neither can fail: the room was reserved.
    insertRange(ranges_, begin, size);
    capacity_ += size;
    uint8_t* p = block.get();
    blocks_.push_back(std::move(block));
    return p;
}

uint8_t* RecordPool::takeFromNewBlock(Cursor& cursor, size_t size) {
    // A value too large to share a block gets one of its own; the small pieces go on filling
    // the current one.
    if (size > kBlockSize / 4 && cursor.block)
        return newBlock(size);
    const size_t blockSize = std::max(size, kBlockSize);
    uint8_t* p = newBlock(blockSize);
    cursor = {p, blockSize, size};
    return p;
}

void RecordPool::release() {
    if (!ranges_.empty()) {
        BlockRegistry& r = registry();
        std::lock_guard lock(r.mutex);
        for (const auto& range : ranges_)
            eraseRange(r.blocks, range.first);
    }
    ranges_.clear();
    ranges_.shrink_to_fit();
    blocks_.clear();
    blocks_.shrink_to_fit();
    records_ = {};
    texts_ = {};
    capacity_ = 0;
}

} // namespace cibrano
