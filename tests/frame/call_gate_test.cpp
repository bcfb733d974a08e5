#include <gtest/gtest.h>

#include <cstring>

#include "frame/call_gate.h"

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
