#include "engine/RecordPool.h"

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

void registerBlock(const uint8_t* block, size_t size) {
    BlockRegistry& r = registry();
    const auto begin = reinterpret_cast<uintptr_t>(block);
    std::lock_guard lock(r.mutex);
    auto at = std::lower_bound(r.blocks.begin(), r.blocks.end(), std::make_pair(begin, begin));
    r.blocks.insert(at, {begin, begin + size});
}

void unregisterBlock(const uint8_t* block) {
    BlockRegistry& r = registry();
    const auto begin = reinterpret_cast<uintptr_t>(block);
    std::lock_guard lock(r.mutex);
    auto at = std::lower_bound(r.blocks.begin(), r.blocks.end(), std::make_pair(begin, begin));
    if (at != r.blocks.end() && at->first == begin)
        r.blocks.erase(at);
}

} // namespace

bool RecordPool::holds(const void* p) {
    BlockRegistry& r = registry();
    const auto address = reinterpret_cast<uintptr_t>(p);
    std::lock_guard lock(r.mutex);
    auto after = std::upper_bound(r.blocks.begin(), r.blocks.end(), address,
                                  [](uintptr_t a, const auto& block) { return a < block.first; });
    return after != r.blocks.begin() && address < std::prev(after)->second;
}

uint8_t* RecordPool::newBlock(size_t size) {
    blocks_.reserve(blocks_.size() + 1);
    std::unique_ptr<uint8_t[]> block(new uint8_t[size]());
    registerBlock(block.get(), size);
    capacity_ += size;
    uint8_t* p = block.get();
    blocks_.push_back(std::move(block)); // cannot fail: the room was reserved
    return p;
}

uint8_t* RecordPool::takeFromNewBlock(size_t size) {
    // A value too large to share a block gets one of its own, kept behind the current block
    // so that the small allocations go on filling that one.
    if (size > kBlockSize / 4 && !blocks_.empty()) {
        uint8_t* p = newBlock(size);
        std::swap(blocks_.back(), blocks_[blocks_.size() - 2]);
        return p;
    }
    const size_t blockSize = std::max(size, kBlockSize);
    uint8_t* p = newBlock(blockSize);
    blockSize_ = blockSize;
    used_ = size;
    return p;
}

void RecordPool::release() {
    for (const auto& block : blocks_)
        unregisterBlock(block.get());
    blocks_.clear();
    blocks_.shrink_to_fit();
    blockSize_ = 0;
    used_ = 0;
    capacity_ = 0;
}

} // namespace cibrano
