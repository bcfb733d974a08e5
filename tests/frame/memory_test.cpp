#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "frame/frame_texts.h"
#include "frame/memory.h"
#include "frame/runtime_error.h"
#include "support/dialog_capture.h"

namespace mt {
namespace {

int g_releases = 0;
bool g_refuse = false;

void* CountingAllocate(size_t n) { return g_refuse ? nullptr : std::malloc(n); }
void* CountingReallocate(void* p, size_t n) { return g_refuse ? nullptr : std::realloc(p, n); }
void CountingRelease(void* p)
{
    ++g_releases;
    std::free(p);
}
const Heap kCountingHeap = {CountingAllocate, CountingReallocate, CountingRelease};

class StaticRangeTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_releases = 0;
        g_refuse = false;
        SetHeap(&kCountingHeap);
        std::memcpy(constants_, "literal\0more", 12);
        RegisterStaticRange(constants_, constants_ + sizeof constants_);
    }
    void TearDown() override
    {
        ClearStaticRanges();
        SetHeap(nullptr);
    }
    char constants_[16] = {};
};

TEST_F(StaticRangeTest, FreeIgnoresNullAndStaticAddresses)
{
    Free(nullptr);
    Free(constants_);
    Free(constants_ + 15);
    EXPECT_EQ(g_releases, 0);
    Free(Allocate(4));
    EXPECT_EQ(g_releases, 1);
}

TEST_F(StaticRangeTest, TheRangeEndIsExclusive)
{
    EXPECT_NE(StaticRangeEnd(constants_ + 15), nullptr);
    EXPECT_EQ(StaticRangeEnd(constants_ + 16), nullptr);
    EXPECT_EQ(StaticRangeEnd(constants_ - 1), nullptr);
}

TEST_F(StaticRangeTest, ReallocateOfAStaticAddressCopiesIntoANewBlock)
{
    // 8 bytes asked from 4 bytes before the end: only the 4 available are copied.
    char* p = static_cast<char*>(Reallocate(constants_ + 12, 8));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(StaticRangeEnd(p), nullptr);
    EXPECT_EQ(std::memcmp(p, constants_ + 12, 4), 0);
    EXPECT_STREQ(constants_, "literal"); // the literal is left alone
    Free(p);

    char* q = static_cast<char*>(Reallocate(constants_, 3));
    EXPECT_EQ(std::memcmp(q, "lit", 3), 0);
    Free(q);
    EXPECT_EQ(g_releases, 2);
}

TEST_F(StaticRangeTest, ReallocateOfNullAllocates)
{
    void* p = Reallocate(nullptr, 10);
    ASSERT_NE(p, nullptr);
    p = Reallocate(p, 1000);
    ASSERT_NE(p, nullptr);
    Free(p);
}

TEST_F(StaticRangeTest, TryAllocateAnswersNullWhenTheHeapRefuses)
{
    g_refuse = true;
    EXPECT_EQ(TryAllocate(10), nullptr);
}

using MemoryDeathTest = StaticRangeTest;

TEST_F(MemoryDeathTest, RefusedAllocationIsTheRuntimeErrorWithTheByteCount)
{
    const std::string text = RuntimeErrorText(0, "\xb7\xd6\xc5\xe4 100 \xd7\xd6\xbd\xda\xc4\xda\xb4\xe6\xca\xa7\xb0\xdc!");
    EXPECT_EXIT(
        {
            test::EchoMessageBoxesToStderr();
            g_refuse = true;
            Allocate(100);
        },
        testing::ExitedWithCode(255), "BOX " + test::Hex(gb::kErrorCaption) + " " + test::Hex(text));
}

TEST_F(MemoryDeathTest, RefusedReallocationIsTheSameError)
{
    EXPECT_EXIT(
        {
            test::EchoMessageBoxesToStderr();
            void* p = Allocate(8);
            g_refuse = true;
            Reallocate(p, 4096);
        },
        testing::ExitedWithCode(255), test::Hex(" 4096 "));
}

} // namespace
} // namespace mt
