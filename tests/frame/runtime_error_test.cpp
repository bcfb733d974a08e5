#include <gtest/gtest.h>

#include "frame/frame_texts.h"
#include "frame/runtime_error.h"
#include "frame/runtime_state.h"
#include "platform/message_box.h"
#include "support/dialog_capture.h"

namespace mt {
namespace {

struct TextCase {
    int32_t code;
    const char* message;
    std::string expected;
};

// The heading is "运行时出错!" and two line breaks; "错误代码：" and "错误信息："
// lead the code and message lines.
const std::string kHeading = gb::kErrorHeading;

TEST(RuntimeErrorText, HasTheCodeLineOnlyForNonZeroCodesAndTheMessageLineOnlyForText)
{
    const TextCase cases[] = {
        {0, "", kHeading},
        {0, nullptr, kHeading},
        {5, gb::kSlotError5,
         kHeading + gb::kErrorCodeLabel + "5\r\n\r\n" + gb::kErrorMessageLabel + gb::kSlotError5 + "\r\n"},
        {0, "x", kHeading + gb::kErrorMessageLabel + "x\r\n"},
        {-3, "", kHeading + gb::kErrorCodeLabel + "-3\r\n\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RuntimeErrorText(c.code, c.message), c.expected) << c.code;
}

TEST(RuntimeErrorText, OneLineForStandardError)
{
    EXPECT_EQ(RuntimeErrorLine(0, nullptr), "run-time error");
    EXPECT_EQ(RuntimeErrorLine(0, ""), "run-time error");
    EXPECT_EQ(RuntimeErrorLine(5, gb::kSlotError5), std::string("run-time error 5 (") + gb::kSlotError5 + ")");
    EXPECT_EQ(RuntimeErrorLine(-3, "x"), "run-time error -3 (x)");
}

TEST(RuntimeErrorText, HeadingBytes)
{
    // 运行时出错! in GB18030, then CR LF CR LF.
    EXPECT_EQ(kHeading, "\xd4\xcb\xd0\xd0\xca\xb1\xb3\xf6\xb4\xed!\r\n\r\n");
    EXPECT_STREQ(gb::kErrorCaption, "\xb4\xed\xce\xf3");
}

TEST(SlotErrors, ElevenFixedTextsAndNothingOutsideThem)
{
    EXPECT_EQ(SlotErrorText(0), nullptr);
    EXPECT_EQ(SlotErrorText(12), nullptr);
    EXPECT_STREQ(SlotErrorText(1), gb::kSlotError1);
    EXPECT_STREQ(SlotErrorText(11), gb::kSlotError11);
    // 数据或数组类型不匹配
    EXPECT_STREQ(SlotErrorText(5), "\xca\xfd\xbe\xdd\xbb\xf2\xca\xfd\xd7\xe9\xc0\xe0\xd0\xcd\xb2\xbb\xc6\xa5\xc5\xe4");
}

using RuntimeErrorDeathTest = testing::Test;

TEST(RuntimeErrorDeathTest, ShowsTheDialogAndExitsWith255)
{
    const std::string expected = RuntimeErrorText(5, gb::kSlotError5);
    EXPECT_EXIT(
        {
            test::EchoMessageBoxesToStderr();
            ReportSlotError(5);
        },
        testing::ExitedWithCode(255), "BOX " + test::Hex(gb::kErrorCaption) + " " + test::Hex(expected));
}

TEST(RuntimeErrorDeathTest, CodeZeroAndEmptyMessageShowOnlyTheHeading)
{
    EXPECT_EXIT(
        {
            test::EchoMessageBoxesToStderr();
            RaiseRuntimeError("", 0);
        },
        testing::ExitedWithCode(255), "BOX [0-9a-f]+ " + test::Hex(kHeading) + "\n");
}

int32_t g_hookCalls = 0;
int32_t SkippingHook(int32_t, const char*)
{
    ++g_hookCalls;
    return 1;
}

int32_t ReenteringHook(int32_t, const char*)
{
    RaiseRuntimeError("inner", 0); // must not re-enter the hook
}

TEST(RuntimeErrorDeathTest, AHookAnsweringNonZeroSkipsTheDialog)
{
    EXPECT_EXIT(
        {
            test::EchoMessageBoxesToStderr();
            SetErrorHook(SkippingHook);
            RaiseRuntimeError("m", 0);
        },
        testing::ExitedWithCode(255), "^$");
}

TEST(RuntimeErrorDeathTest, AnErrorInsideTheHookShowsTheDialogDirectly)
{
    EXPECT_EXIT(
        {
            test::EchoMessageBoxesToStderr();
            SetErrorHook(ReenteringHook);
            RaiseRuntimeError("outer", 0);
        },
        testing::ExitedWithCode(255), test::Hex("inner"));
}

bool g_cleanupRan = false;
void Cleanup()
{
    g_cleanupRan = true;
    std::fputs("CLEANUP\n", stderr);
}

TEST(RuntimeErrorDeathTest, TheCleanUpRoutineNeverRunsAfterAnError)
{
    EXPECT_EXIT(
        {
            test::EchoMessageBoxesToStderr();
            RuntimeState().initialised = true;
            RuntimeState().cleanupRoutine = Cleanup;
            RaiseRuntimeError("x", 0);
        },
        testing::ExitedWithCode(255), "^BOX [^\n]*\n$");
}

} // namespace
} // namespace mt
