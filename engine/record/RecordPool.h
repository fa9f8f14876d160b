#pragma once
// The memory of the records a store reads from a table: their entries and buffers are carved
// one after the other out of large blocks, their texts out of blocks of their own, instead of
// being allocated one by one. A table of a million records is then a few hundred allocations
// instead of three million, the allocator adds nothing per record, and a walk over the records
// in the order they were read runs through memory in order.
//
// Nothing is given back before the whole pool is released (when the store is cleared): a
// pooled record whose values change gets a buffer of its own on the heap (see
// RecordStore::ownRecordData), and its pooled bytes stay unused until then. Code that
// releases a text or BLOB it finds in a slot goes through releaseText / releaseBlob, which
// leave pooled memory alone, so that a value written into a pooled record by any route never
// frees memory the pool owns.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace cibrano {

class RecordPool {
public:
    RecordPool() = default;
    ~RecordPool() { release(); }
    RecordPool(const RecordPool&) = delete;
    RecordPool& operator=(const RecordPool&) = delete;

    // `size` bytes, zero-filled, aligned for any of the engine's slot values and pointers.
    // (Blocks are not cleared when they are made: each piece is cleared as it is handed out,
    // while the caller is about to fill it, so the memory is written once while it is in the
    // cache instead of a megabyte ahead.)
    uint8_t* allocate(size_t size) {
        uint8_t* p = take(records_, size, kAlignment);
        std::memset(p, 0, size);
        return p;
    }
    // `size` bytes for characters, not aligned, not zero-filled. Texts are cut from blocks of
    // their own, so that entries and buffers lie close together: a walk that reads numbers
    // from every record then streams through fewer bytes.
    char* allocateText(size_t size) { return reinterpret_cast<char*>(take(texts_, size, 1)); }
    // Frees every block; everything handed out is gone.
    void release();
    // Bytes held in blocks (handed out or not).
    size_t capacity() const { return capacity_; }
    // Whether `p` lies in one of this pool's blocks.
    bool owns(const void* p) const;
    // Whether `p` lies in a block of any pool of the process.
    static bool holds(const void* p);

private:
    static constexpr size_t kAlignment = 8;
    static constexpr size_t kBlockSize = size_t{1} << 20;

    // The block pieces are being cut from, and how much of it is taken.
    struct Cursor {
        uint8_t* block = nullptr;
        size_t size = 0;
        size_t used = 0;
    };

    uint8_t* take(Cursor& cursor, size_t size, size_t alignment) {
        const size_t at = (cursor.used + alignment - 1) & ~(alignment - 1);
        if (!cursor.block || at + size > cursor.size)
            return takeFromNewBlock(cursor, size);
        cursor.used = at + size;
        return cursor.block + at;
    }
    uint8_t* takeFromNewBlock(Cursor& cursor, size_t size);
    uint8_t* newBlock(size_t size);

    std::vector<std::unique_ptr<uint8_t[]>> blocks_;
    // The blocks as [begin, end), ordered by begin.
    std::vector<std::pair<uintptr_t, uintptr_t>> ranges_;
    Cursor records_;
    Cursor texts_;
    size_t capacity_ = 0;
};

// Give back a text or BLOB block referred to from a slot, unless a pool owns it.
inline void releaseText(char* p) {
    if (p && !RecordPool::holds(p))
        delete[] p;
}
inline void releaseBlob(uint8_t* p) {
    if (p && !RecordPool::holds(p))
        delete[] p;
}

} // namespace cibrano
