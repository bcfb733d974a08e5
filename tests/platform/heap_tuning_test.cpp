#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/heap_tuning.h"

namespace mt::platform {
namespace {

constexpr size_t kMiB = size_t{1} << 20;

class KeptBlocksTest : public testing::Test {
protected:
    void SetUp() override
    {
        KeepLargeBlocksForReuse();
        ReleaseKeptLargeBlocks();
    }
    void TearDown() override { ReleaseKeptLargeBlocks(); }
};

TEST_F(KeptBlocksTest, AFreedBlockServesTheNextRequestOfALikeSize)
{
    void* p = AllocateLargeBlock(64 * kMiB + 1);
    ASSERT_NE(p, nullptr);
    std::memset(p, 'x', 64 * kMiB + 1);
    EXPECT_TRUE(ReleaseLargeBlock(p));
    EXPECT_EQ(KeptLargeBlocks(), 1u);
    EXPECT_EQ(KeptLargeBytes(), 66 * kMiB); // whole huge pages
    EXPECT_EQ(LargeBlockSize(p), 0u);       // no longer live

    // A text one byte longer reuses it; its size is the new one.
    void* q = AllocateLargeBlock(64 * kMiB + 2);
    EXPECT_EQ(q, p);
    EXPECT_EQ(LargeBlockSize(q), 64 * kMiB + 2);
    EXPECT_EQ(KeptLargeBlocks(), 0u);
    EXPECT_TRUE(ReleaseLargeBlock(q));
}

TEST_F(KeptBlocksTest, WhatIsKeptIsNeitherMuchLargerNorOutgrown)
{
    void* big = AllocateLargeBlock(64 * kMiB);
    void* small = AllocateLargeBlock(4 * kMiB);
    ASSERT_TRUE(big && small);
    ReleaseLargeBlock(big);
    ReleaseLargeBlock(small);
    EXPECT_EQ(KeptLargeBlocks(), 2u);

    // 8 MiB: the 64 MiB block is far too large to hand out for it, and the
    // 4 MiB one is outgrown and goes back.
    void* mid = AllocateLargeBlock(8 * kMiB);
    ASSERT_NE(mid, nullptr);
    EXPECT_NE(mid, big);
    EXPECT_EQ(KeptLargeBlocks(), 1u);
    EXPECT_EQ(KeptLargeBytes(), 64 * kMiB);
    ReleaseLargeBlock(mid);

    ReleaseKeptLargeBlocks();
    EXPECT_EQ(KeptLargeBlocks(), 0u);
    EXPECT_EQ(KeptLargeBytes(), 0u);
}

TEST_F(KeptBlocksTest, OnlyLiveLargeBlocksAreReleased)
{
    void* small = std::malloc(100);
    EXPECT_FALSE(ReleaseLargeBlock(small));
    EXPECT_FALSE(ReleaseLargeBlock(nullptr));
    EXPECT_EQ(LargeBlockSize(small), 0u);
    EXPECT_EQ(ReallocateLargeBlock(small, 10 * kMiB), nullptr);
    std::free(small);

    void* p = AllocateLargeBlock(3 * kMiB);
    ASSERT_TRUE(ReleaseLargeBlock(p));
    EXPECT_FALSE(ReleaseLargeBlock(p)); // kept, not live: a second free does nothing
    EXPECT_EQ(KeptLargeBlocks(), 1u);
}

TEST_F(KeptBlocksTest, ANotedTextLengthLastsAsLongAsItsBlockIsUnchanged)
{
    const size_t n = 3 * kMiB;
    void* p = AllocateLargeBlock(n + 1);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(KnownTextLength(p), kUnknownTextLength);
    NoteTextLength(p, n - 1); // not this block's text: ignored
    EXPECT_EQ(KnownTextLength(p), kUnknownTextLength);
    NoteTextLength(p, n);
    EXPECT_EQ(KnownTextLength(p), n);
    p = ReallocateLargeBlock(p, n + 2);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(KnownTextLength(p), kUnknownTextLength);
    NoteTextLength(p, n + 1);
    ASSERT_TRUE(ReleaseLargeBlock(p));
    // Kept for reuse, and handed out again: a new block knows nothing.
    void* q = AllocateLargeBlock(n + 2);
    EXPECT_EQ(q, p);
    EXPECT_EQ(KnownTextLength(q), kUnknownTextLength);
    ReleaseLargeBlock(q);
    EXPECT_EQ(KnownTextLength(std::string_view("short").data()), kUnknownTextLength);
}

TEST_F(KeptBlocksTest, ASizeThatCannotBeMappedIsRefused)
{
    EXPECT_EQ(AllocateLargeBlock(SIZE_MAX - 5), nullptr);
    void* p = AllocateLargeBlock(3 * kMiB);
    EXPECT_EQ(ReallocateLargeBlock(p, SIZE_MAX - 5), nullptr);
    EXPECT_EQ(LargeBlockSize(p), 3 * kMiB); // left as it was
    ReleaseLargeBlock(p);
}

} // namespace
} // namespace mt::platform
