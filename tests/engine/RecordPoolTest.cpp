// The pool the records read from a table live in: pieces never overlap, buffers come cleared
// and aligned, and the pool knows its own memory until it is released.

#include "engine/record/RecordPool.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace cibrano {
namespace {

struct Piece {
    uint8_t* at;
    size_t size;
    uint8_t mark;
};

TEST(RecordPool, PiecesAreApartClearedAndKnownToThePool) {
    RecordPool pool;
    std::mt19937 random(20261208);
    std::vector<Piece> pieces;
    for (int i = 0; i < 20000; ++i) {
        const int kind = static_cast<int>(random() % 100);
        // Mostly entries, buffers and names; now and then a value larger than a quarter block.
        const size_t size = kind == 0 ? 300000 + random() % 900000 : 1 + random() % 200;
        const auto mark = static_cast<uint8_t>(1 + i % 250);
        if (kind % 2 == 0) {
            uint8_t* p = pool.allocate(size);
            ASSERT_EQ(reinterpret_cast<uintptr_t>(p) % 8, 0u);
            for (size_t k = 0; k < size; ++k)
                ASSERT_EQ(p[k], 0) << "piece " << i << " byte " << k;
            std::memset(p, mark, size);
            pieces.push_back({p, size, mark});
        } else {
            char* p = pool.allocateText(size);
            std::memset(p, mark, size);
            pieces.push_back({reinterpret_cast<uint8_t*>(p), size, mark});
        }
    }
    // Every piece still holds what was written into it: none was handed out twice.
    for (const Piece& piece : pieces) {
        ASSERT_TRUE(pool.owns(piece.at));
        ASSERT_TRUE(pool.owns(piece.at + piece.size - 1));
        ASSERT_TRUE(RecordPool::holds(piece.at));
        for (size_t k = 0; k < piece.size; ++k)
            ASSERT_EQ(piece.at[k], piece.mark);
    }
    EXPECT_GE(pool.capacity(), size_t{1} << 20);

    auto heap = std::make_unique<uint8_t[]>(16);
    EXPECT_FALSE(pool.owns(heap.get()));
    EXPECT_FALSE(RecordPool::holds(heap.get()));

    const uint8_t* first = pieces.front().at;
    pool.release();
    EXPECT_EQ(pool.capacity(), 0u);
    EXPECT_FALSE(pool.owns(first));
    // A released pool serves again.
    EXPECT_TRUE(pool.owns(pool.allocate(24)));
    EXPECT_TRUE(pool.owns(pool.allocateText(5)));
}

} // namespace
} // namespace cibrano
