#include <gtest/gtest.h>

#include <cstring>

#include "frame/frame_texts.h"
#include "frame/memory.h"
#include "frame/runtime_error.h"
#include "frame/runtime_state.h"
#include "frame/startup.h"
#include "frame/value_record.h"
#include "support/dialog_capture.h"
#include "windows/windows_texts.h"

namespace mt {
namespace {

int64_t Service(int32_t code, intptr_t a = 0, intptr_t b = 0) { return RuntimeServiceEntry(code, a, b); }

int32_t ToInt32(const ValueRecord& v) { return static_cast<int32_t>(Service(kSvcValueToInt32, reinterpret_cast<intptr_t>(&v))); }

TEST(RuntimeService, NumericValuesBecome32BitIntegers)
{
    EXPECT_EQ(ToInt32({0xFF, kTypeByte}), 255);
    EXPECT_EQ(ToInt32({0xFFFF, kTypeShort}), -1);
    EXPECT_EQ(ToInt32(MakeInt(-7)), -7);
    EXPECT_EQ(ToInt32(MakeLong(0x100000005ll)), 5);
    EXPECT_EQ(ToInt32(MakeFloat(-2.75f)), -2);
    EXPECT_EQ(ToInt32(MakeDouble(3.99)), 3);
}

TEST(RuntimeServiceDeathTest, ANonNumericValueIsARuntimeError)
{
    EXPECT_EXIT(
        {
            test::EchoMessageBoxesToStderr();
            ToInt32(MakeBool(true));
        },
        testing::ExitedWithCode(255), test::Hex(gb::kErrNotNumeric));
}

TEST(RuntimeService, FixedAnswersAndProgramLocation)
{
    EXPECT_EQ(Service(kSvcReturnsOne), 1);
    EXPECT_EQ(Service(kSvcReturnsFive), 5);
    SetProgramLocation("/opt/tools/middletext");
    auto* dir = reinterpret_cast<char*>(Service(kSvcProgramDirectory));
    auto* file = reinterpret_cast<char*>(Service(kSvcProgramFileName));
    EXPECT_STREQ(dir, "/opt/tools");
    EXPECT_STREQ(file, "middletext");
    Free(dir);
    Free(file);
    SetProgramLocation("bare");
    EXPECT_EQ(RuntimeState().programDirectory, "");
    EXPECT_EQ(RuntimeState().programFileName, "bare");
}

TEST(RuntimeService, AllocationWithAndWithoutTheErrorPath)
{
    void* a = reinterpret_cast<void*>(Service(kSvcAllocate, 16, 0));
    void* b = reinterpret_cast<void*>(Service(kSvcAllocate, 16, 1));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    a = reinterpret_cast<void*>(Service(kSvcReallocate, reinterpret_cast<intptr_t>(a), 64));
    Service(kSvcFree, reinterpret_cast<intptr_t>(a));
    Service(kSvcFree, reinterpret_cast<intptr_t>(b));
}

TEST(RuntimeService, FreeArrayReleasesTextElementsThenTheBlock)
{
    // Two dimensions 2 x 1 of texts; the element count is their product.
    auto* block = static_cast<uint8_t*>(Allocate(4 + 8 + 2 * sizeof(void*)));
    const int32_t header[3] = {2, 2, 1};
    std::memcpy(block, header, sizeof header);
    void* texts[2] = {Allocate(3), nullptr};
    std::memcpy(block + 12, texts, sizeof texts);
    Service(kSvcFreeArray, kTypeText | kArrayBit, reinterpret_cast<intptr_t>(block)); // ASan reports a leak otherwise
    Service(kSvcFreeArray, kTypeText, 0);
}

TEST(RuntimeServiceDeathTest, ALibraryErrorCarriesItsMessageWithCodeZero)
{
    EXPECT_EXIT(
        {
            test::EchoMessageBoxesToStderr();
            Service(kSvcRuntimeError, reinterpret_cast<intptr_t>("lib"));
        },
        testing::ExitedWithCode(255), test::Hex(RuntimeErrorText(0, "lib")));
}

TEST(StartupDeathTest, AMalformedTemplateBlockIsARuntimeError)
{
    static const uint8_t block[] = {16, 0, 0, 0, 1, 0, 1, 0x52};
    EXPECT_EXIT(
        {
            test::EchoMessageBoxesToStderr();
            ProgramHeader h{};
            h.templateBlock = block;
            h.templateSize = sizeof block;
            InitializeRuntime(&h);
        },
        testing::ExitedWithCode(255), test::Hex(RuntimeErrorText(0, gb::kErrTemplateBlock)));
}

} // namespace
} // namespace mt
