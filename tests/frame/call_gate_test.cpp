#include <gtest/gtest.h>

#include <cstring>
#include <new>

#include "frame/call_gate.h"
#include "frame/frame_texts.h"
#include "frame/runtime_error.h"
#include "support/dialog_capture.h"

namespace mt {
namespace {

ValueRecord g_seenResult;
int32_t g_seenArgc;
ValueRecord g_seenArgs[4];

void Recorder(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    g_seenResult = *result;
    g_seenArgc = argc;
    for (int32_t i = 0; i < argc && i < 4; ++i)
        g_seenArgs[i] = args[i];
}

void WritesInteger(ValueRecord* result, int32_t, ValueRecord* args) { *result = MakeInt(AsInt32(args[0]) * 2); }

TEST(CallGate, ResultIsZeroedBeforeTheCommandRuns)
{
    std::memset(&g_seenResult, 0xAB, sizeof g_seenResult);
    ValueRecord r = CallGate(Recorder, 0, nullptr);
    EXPECT_EQ(uint64_t{g_seenResult.payload}, 0u);
    EXPECT_EQ(g_seenResult.type, 0u);
    EXPECT_EQ(uint64_t{r.payload}, 0u);
    EXPECT_EQ(r.type, kTypeNone);
}

TEST(CallGate, ArgumentsArriveInOrderWithOmittedOnesAsTypeZero)
{
    ValueRecord args[3] = {MakeInt(7), Omitted(), MakeBool(true)};
    CallGate(Recorder, 3, args);
    ASSERT_EQ(g_seenArgc, 3);
    EXPECT_EQ(AsInt32(g_seenArgs[0]), 7);
    EXPECT_EQ(g_seenArgs[1].type, kTypeNone);
    EXPECT_EQ(uint64_t{g_seenArgs[1].payload}, 0u);
    EXPECT_EQ(g_seenArgs[2].type, kTypeBool);
}

TEST(CallGate, ReturnsWhatTheCommandWrote)
{
    ValueRecord arg = MakeInt(21);
    ValueRecord r = CallGate(WritesInteger, 1, &arg);
    EXPECT_EQ(r.type, kTypeInt);
    EXPECT_EQ(AsInt32(r), 42);
}

void ThrowsBadAlloc(ValueRecord*, int32_t, ValueRecord*) { throw std::bad_alloc(); }
void ThrowsBadArrayLength(ValueRecord*, int32_t, ValueRecord*) { throw std::bad_array_new_length(); }

// A std::bad_alloc that gets past the new handler leaves a command as the
// runtime's allocation error, with no count, never as an exception into the
// caller.
TEST(CallGateDeathTest, ABadAllocOutOfACommandIsTheAllocationError)
{
    const std::string text = RuntimeErrorText(0, "\xb7\xd6\xc5\xe4 ? \xd7\xd6\xbd\xda\xc4\xda\xb4\xe6\xca\xa7\xb0\xdc!");
    for (CommandRoutine command : {ThrowsBadAlloc, ThrowsBadArrayLength}) {
        EXPECT_EXIT(
            {
                test::EchoMessageBoxesToStderr();
                CallGate(command, 0, nullptr);
            },
            testing::ExitedWithCode(255), "BOX " + test::Hex(gb::kErrorCaption) + " " + test::Hex(text));
    }
}

TEST(ValueRecord, IsTwelveBytesWithPayloadFirst)
{
    ValueRecord records[2] = {{0x1122334455667788ull, kTypeLong}, {1, kTypeInt}};
    const auto* bytes = reinterpret_cast<const uint8_t*>(records);
    EXPECT_EQ(bytes[0], 0x88);
    EXPECT_EQ(bytes[7], 0x11);
    uint32_t type;
    std::memcpy(&type, bytes + 8, 4);
    EXPECT_EQ(type, kTypeLong);
    EXPECT_EQ(bytes[12], 1); // the second record follows directly
}

TEST(ValueRecord, NumericTypeWidths)
{
    EXPECT_EQ(NumericWidth(kTypeByte), 1);
    EXPECT_EQ(NumericWidth(kTypeShort), 2);
    EXPECT_EQ(NumericWidth(kTypeInt), 4);
    EXPECT_EQ(NumericWidth(kTypeLong), 8);
    EXPECT_EQ(NumericWidth(kTypeFloat), 4);
    EXPECT_EQ(NumericWidth(kTypeDouble), 8);
    EXPECT_EQ(NumericWidth(kTypeBool), 0);
    EXPECT_EQ(NumericWidth(0x80000701), 0);
    EXPECT_FALSE(IsNumericType(kTypeText));
}

} // namespace
} // namespace mt
