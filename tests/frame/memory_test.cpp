#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

#include "frame/frame_texts.h"
#include "frame/memory.h"
#include "frame/runtime_error.h"
#include "frame/startup.h"
#include "platform/application.h"
#include "platform/heap_tuning.h"
#include "platform/message_box.h"
#include "platform/testing/dialog_script.h"
#include "support/dialog_capture.h"
#include "support/row_name.h"
#include "support/runtime_fixture.h"

#if defined(__SANITIZE_ADDRESS__)
#define MT_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MT_UNDER_ASAN 1
#endif
#endif

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

// The process heap moves a block between the C library's heap and the large
// blocks' own mappings as it crosses the threshold; the bytes come along.
constexpr size_t kLarge = platform::kLargeBlockBytes;

struct ReallocateCase {
    const char* name;
    size_t from;
    size_t to;
};

void PrintTo(const ReallocateCase& c, std::ostream* out) { *out << c.name; }

const ReallocateCase kReallocateRows[] = {
    {"small to large", 16, kLarge},
    {"large to small", kLarge + 5, 100},
    {"large, grown past its mapping", kLarge, 20 * kLarge + 1},
    {"large, shrunk", 20 * kLarge, 3 * kLarge - 7},
    {"large, same mapping", 3 * kLarge, 3 * kLarge - 1},
    {"just below to just above", kLarge - 1, kLarge - 1 + 4096},
};

class ProcessHeapReallocate : public testing::TestWithParam<ReallocateCase> {};

TEST_P(ProcessHeapReallocate, KeepsTheBytesAcrossTheLargeBlockThreshold)
{
    const ReallocateCase& c = GetParam();
    auto* p = static_cast<unsigned char*>(Allocate(c.from));
    for (size_t i = 0; i < c.from; i += 4093)
        p[i] = static_cast<unsigned char>(i / 4093 + 1);
    p[c.from - 1] = 0xA5;
    EXPECT_EQ(platform::LargeBlockSize(p), c.from >= kLarge ? c.from : 0);
    auto* q = static_cast<unsigned char*>(Reallocate(p, c.to));
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(platform::LargeBlockSize(q), c.to >= kLarge ? c.to : 0);
    const size_t kept = c.from < c.to ? c.from : c.to;
    for (size_t i = 0; i < kept; i += 4093)
        ASSERT_EQ(q[i], static_cast<unsigned char>(i / 4093 + 1)) << "at " << i;
    if (c.to >= c.from) {
        EXPECT_EQ(q[c.from - 1], 0xA5);
    }
    q[c.to - 1] = 1; // the whole new size is writable
    Free(q);
    EXPECT_EQ(platform::LargeBlockSize(q), 0u);
}

INSTANTIATE_TEST_SUITE_P(, ProcessHeapReallocate, testing::ValuesIn(kReallocateRows), test::ByRowName());

TEST(ProcessHeapTest, LargeBlocksStartOnAHugePageBoundary)
{
    void* p = Allocate(platform::kLargeBlockBytes * 3);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % (size_t{2} << 20), 0u);
    Free(p);
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

// What the dialog shows for a refusal whose size is not known.
std::string UnknownSizeReport()
{
    const std::string text = RuntimeErrorText(0, "\xb7\xd6\xc5\xe4 ? \xd7\xd6\xbd\xda\xc4\xda\xb4\xe6\xca\xa7\xb0\xdc!");
    return "BOX " + test::Hex(gb::kErrorCaption) + " " + test::Hex(text);
}

void StartRuntime()
{
    test::EchoMessageBoxesToStderr();
    static const ProgramHeader header = test::MakeHeader("", "");
    InitializeRuntime(&header); // installs the new handler
}

// The new handler start-up installs reports the runtime's allocation error,
// on the GUI thread also when the refusal happens on another one, and ends
// the process as the runtime's own refusals do.
TEST(NewHandlerDeathTest, ARefusedOperatorNewIsTheRuntimeErrorWithoutACount)
{
    const struct {
        const char* name;
        void (*refuse)();
    } cases[] = {
        {"on the thread that started the runtime", [] { std::get_new_handler()(); }},
        {"on a worker, reported on the GUI thread",
         [] {
             platform::EnsureApplication();
             platform::SetMessageBoxObserver([](const platform::ShownMessageBox& box) {
                 if (platform::IsGuiThread()) // a box shown from the worker is not seen
                     std::fprintf(stderr, "BOX %s %s\n", test::Hex(box.caption).c_str(), test::Hex(box.text).c_str());
             });
             std::thread([] { std::get_new_handler()(); }).detach();
             for (;;)
                 platform::ProcessPendingEvents();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EXIT(
            {
                StartRuntime();
                ASSERT_NE(std::get_new_handler(), nullptr);
                c.refuse();
            },
            testing::ExitedWithCode(255), UnknownSizeReport());
    }
}

// The heap refuses a container's memory: the handler, not an exception.
TEST(NewHandlerDeathTest, AContainerWhoseMemoryTheHeapRefusesEndsInTheSameReport)
{
#ifdef MT_UNDER_ASAN
    GTEST_SKIP() << "AddressSanitizer's operator new reports a refusal itself and never calls the new handler";
#else
    EXPECT_EXIT(
        {
            StartRuntime();
            std::vector<char> huge;
            huge.reserve(size_t{1} << 60); // more than any heap gives
        },
        testing::ExitedWithCode(255), UnknownSizeReport());
#endif
}

} // namespace
} // namespace mt
