#include <gtest/gtest.h>

#include <cstring>

#include "abi/service_calls.h"
#include "abi/value_record.h"
#include "frame/frame_texts.h"
#include "frame/memory.h"
#include "frame/runtime_error.h"
#include "frame/runtime_state.h"
#include "frame/startup.h"
#include "platform/runtime_objects.h"
#include "support/dialog_capture.h"
#include "support/runtime_fixture.h"
#include "support/template_builder.h"
#include "windows/window_engine.h"
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
    svc::SetService(&RuntimeServiceEntry); // the location's texts are allocated through it
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

// A 32-bit bitmap of w x h pixels, all black.
std::string Bitmap(int32_t w, int32_t h)
{
    const int32_t pixels = w * h * 4;
    std::string b(54 + static_cast<size_t>(pixels), '\0');
    auto put = [&b](size_t at, int32_t v) { std::memcpy(&b[at], &v, 4); };
    b[0] = 'B';
    b[1] = 'M';
    put(2, 54 + pixels);
    put(10, 54);
    put(14, 40);
    put(18, w);
    put(22, h);
    put(26, 1 | 32 << 16); // one plane, 32 bits per pixel
    put(34, pixels);
    return b;
}

TEST(RuntimeService, ProgramIconsComeLargeThenSmallFromTheFirstWindow)
{
    for (const bool hasIcon : {true, false}) {
        const ProgramHeader header = test::MakeHeader("", "");
        test::StartRuntime(&header);
        WindowProperties p = test::PlainWindow();
        p.icon = hasIcon ? Bitmap(48, 48) : "";
        engine::InstallDescriptions({test::Window({test::WindowRecord(p)})});
        intptr_t words[2] = {-1, -1};
        EXPECT_EQ(Service(kSvcDefaultIcons, reinterpret_cast<intptr_t>(words)), 0);
        auto* large = reinterpret_cast<platform::ObjectHandle>(words[0]);
        auto* small = reinterpret_cast<platform::ObjectHandle>(words[1]);
        EXPECT_EQ(platform::IconWidth(large), hasIcon ? 32 : 0);
        EXPECT_EQ(platform::IconWidth(small), hasIcon ? 16 : 0);
        intptr_t again[2] = {};
        Service(kSvcDefaultIcons, reinterpret_cast<intptr_t>(again));
        EXPECT_EQ(again[0], words[0]); // made once, kept
        Service(kSvcDestroyObject, words[1]);
        EXPECT_FALSE(platform::IsObject(small));
        Service(kSvcDestroyObject, reinterpret_cast<intptr_t>(words)); // not an object: left alone
        test::StopRuntime();
        EXPECT_FALSE(platform::IsObject(large)); // released at shutdown
    }
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

TEST(RuntimeServiceDeathTest, AnEventFromAComponentOfNoEventKindIsARuntimeError)
{
    EXPECT_EXIT(
        {
            test::EchoMessageBoxesToStderr();
            const ProgramHeader header = test::MakeHeader("", "");
            InitializeRuntime(&header);
            ComponentRecord r = test::ButtonRecord(test::ComponentIdOf(1), "b", 0, 0);
            r.kind = 0x00010002; // an empty position of the core kind table
            engine::InstallDescriptions({test::Window({test::WindowRecord(), r})});
            EventRecord e;
            e.windowId = test::kWindowId;
            e.componentId = test::ComponentIdOf(1);
            Service(kSvcRaiseEvent, reinterpret_cast<intptr_t>(&e));
        },
        testing::ExitedWithCode(255), test::Hex(RuntimeErrorText(0, gb::kErrEventComponentInvalid)));
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
