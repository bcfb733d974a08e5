#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "abi/service_calls.h"
#include "net/grow_buffer.h"
#include "support/http_test_support.h"

namespace mt {
namespace {

class GrowBufferTest : public testing::Test {
protected:
    void SetUp() override
    {
        httptest::InstallHeapService();
        ASSERT_EQ(GrowBuffer::PoolInUse(), 0);
    }
    void TearDown() override { EXPECT_EQ(httptest::LiveBlocks(), 0); }
};

TEST_F(GrowBufferTest, SmallRequestsTakeTheFirstFreeSlot)
{
    GrowBuffer a, b, c;
    ASSERT_TRUE(a.setSize(10));
    ASSERT_TRUE(b.setSize(512));
    EXPECT_TRUE(a.pooled() && b.pooled());
    EXPECT_EQ(b.capacity(), 512);
    EXPECT_EQ(b.data(), a.data() + 512);
    uint8_t* first = a.data();
    a.release();
    EXPECT_EQ(GrowBuffer::PoolInUse(), 1);
    ASSERT_TRUE(c.setSize(1));
    EXPECT_EQ(c.data(), first);
}

TEST_F(GrowBufferTest, FullPoolAndLargeFirstRequestsGoToTheHeap)
{
    auto all = std::make_unique<GrowBuffer[]>(GrowBuffer::kPoolSlots);
    for (int i = 0; i < GrowBuffer::kPoolSlots; ++i)
        ASSERT_TRUE(all[i].setSize(1));
    GrowBuffer small, large;
    ASSERT_TRUE(small.setSize(20));
    EXPECT_FALSE(small.pooled());
    EXPECT_EQ(small.capacity(), 148);
    all[5].release();
    ASSERT_TRUE(large.setSize(513));
    EXPECT_FALSE(large.pooled());
    EXPECT_EQ(large.capacity(), 641);
}

TEST_F(GrowBufferTest, PooledBytesMoveToTheHeapBeyond512)
{
    GrowBuffer b;
    ASSERT_TRUE(b.append("abc", 3));
    ASSERT_TRUE(b.setSize(512));
    EXPECT_TRUE(b.pooled());
    ASSERT_TRUE(b.setSize(600));
    EXPECT_FALSE(b.pooled());
    EXPECT_EQ(b.capacity(), 728);
    EXPECT_EQ(std::memcmp(b.data(), "abc", 3), 0);
    EXPECT_EQ(GrowBuffer::PoolInUse(), 0);
}

TEST_F(GrowBufferTest, HeapBlockIsKeptWithin256SpareBytes)
{
    GrowBuffer b;
    ASSERT_TRUE(b.setSize(600)); // capacity 728
    struct Step {
        int32_t size, capacity;
    };
    for (Step s : {Step{728, 728}, Step{472, 728}, Step{471, 599}, Step{100, 228}, Step{229, 357}}) {
        ASSERT_TRUE(b.setSize(s.size));
        EXPECT_EQ(b.capacity(), s.capacity) << "size " << s.size;
        EXPECT_FALSE(b.pooled()) << "a heap block never returns to the pool";
    }
}

TEST_F(GrowBufferTest, RefusedMemoryLeavesTheBufferUnchanged)
{
    GrowBuffer b;
    ASSERT_TRUE(b.append("xyz", 3));
    httptest::InstallHeapService(1000);
    EXPECT_FALSE(b.setSize(2000)); // leaving the pool
    EXPECT_TRUE(b.pooled());
    ASSERT_TRUE(b.setSize(700));
    EXPECT_FALSE(b.append(std::string(1300, 'q').data(), 1300)); // growing the heap block
    EXPECT_EQ(b.size(), 700);
    EXPECT_EQ(std::memcmp(b.data(), "xyz", 3), 0);
    EXPECT_FALSE(b.setSize(-1));
    EXPECT_FALSE(b.append("a", INT32_MAX));
    EXPECT_EQ(b.size(), 700);
    httptest::InstallHeapService(0);
    EXPECT_TRUE(b.setSize(10)) << "shrinking keeps the block when it cannot be reallocated";
    EXPECT_EQ(b.capacity(), 828);
    EXPECT_EQ(std::memcmp(b.data(), "xyz", 3), 0);
}

TEST_F(GrowBufferTest, OnlyHeapBlocksAreHandedOver)
{
    GrowBuffer b;
    ASSERT_TRUE(b.append("small", 5));
    EXPECT_EQ(b.takeHeapBlock(), nullptr);
    EXPECT_EQ(b.size(), 5);
    ASSERT_TRUE(b.setSize(1000));
    uint8_t* data = b.data();
    uint8_t* block = b.takeHeapBlock();
    EXPECT_EQ(block + GrowBuffer::kHeapFront, data);
    EXPECT_EQ(b.data(), nullptr);
    EXPECT_EQ(b.size(), 0);
    svc::Free(block);
}

} // namespace
} // namespace mt
