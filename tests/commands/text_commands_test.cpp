#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "commands/command_call.h"
#include "commands/text_commands.h"
#include "support/malloc_service.h"

namespace mt {
namespace {

using test::ArrayBlock;
using test::ByteArrayBlock;
using test::CallCommand;
using test::TakeBytes;
using test::TakeText;
using test::Text;

// Little-endian bytes of a value, as a test's expectation.
template <typename T>
std::string RawBytes(T value)
{
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

class TextCommandsTest : public testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(heap_.liveBlocks(), 0) << "a result block was leaked or freed twice"; }
    test::MallocService heap_;
};

TEST_F(TextCommandsTest, TextLengthCountsBytes)
{
    EXPECT_EQ(AsInt32(CallCommand(取文本长度, {Text("")})), 0);
    EXPECT_EQ(AsInt32(CallCommand(取文本长度, {Text("\xD6\xD0\x41")})), 3); // 中 then A
    EXPECT_EQ(AsInt32(CallCommand(取文本长度, {MakePointer(nullptr, kTypeText)})), 0);
    EXPECT_EQ(CallCommand(取文本长度, {Text("ab")}).type, kTypeInt);
}

TEST_F(TextCommandsTest, MiddleTextClampsAndRejects)
{
    struct Case {
        int32_t start, length;
        const char* expected;
    };
    const Case cases[] = {
        {3, 2, "mn"},
        {5, 10, "op"},
        {7, 1, ""},
        {0, 3, ""},
        {2, 0, ""},
        {1, 6, "klmnop"},
        {6, 1, "p"},
        {-1, 3, ""},
        {2, INT32_MAX, "lmnop"},
        {INT32_MAX, INT32_MAX, ""},
        {INT32_MIN, INT32_MAX, ""},
        {1, INT32_MIN, ""},
        {INT32_MIN, 5, ""},
        {6, INT32_MAX, "p"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TakeText(CallCommand(取文本中间, {Text("klmnop"), MakeInt(c.start), MakeInt(c.length)})), c.expected)
            << "start " << c.start << " length " << c.length;
    }
}

TEST_F(TextCommandsTest, MiddleTextCutsDoubleByteCharactersByByte)
{
    EXPECT_EQ(TakeText(CallCommand(取文本中间, {Text("\xD6\xD0\x41"), MakeInt(2), MakeInt(2)})), "\xD0\x41");
    EXPECT_EQ(TakeText(CallCommand(取文本中间, {Text(""), MakeInt(1), MakeInt(1)})), "");
}

TEST_F(TextCommandsTest, ToTextOfBytesStopsAtTheFirstZero)
{
    EXPECT_EQ(TakeText(CallCommand(ToText, {ByteArrayBlock(std::string("AB\0C", 4)).value()})), "AB");
    EXPECT_EQ(TakeText(CallCommand(ToText, {ByteArrayBlock("ABC").value()})), "ABC");
    EXPECT_EQ(TakeText(CallCommand(ToText, {ByteArrayBlock("").value()})), "");
    EXPECT_EQ(TakeText(CallCommand(ToText, {MakePointer(nullptr, kTypeBytes)})), "");
}

TEST_F(TextCommandsTest, ToTextOfScalars)
{
    EXPECT_EQ(TakeText(CallCommand(ToText, {MakeInt(0)})), "0");
    EXPECT_EQ(TakeText(CallCommand(ToText, {MakeInt(-5)})), "-5");
    EXPECT_EQ(TakeText(CallCommand(ToText, {MakeDouble(0.1)})), "0.1");
    EXPECT_EQ(TakeText(CallCommand(ToText, {MakeBool(true)})), "\xD5\xE6"); // 真
}

TEST_F(TextCommandsTest, ToTextOfTextIsANewCopy)
{
    const char* original = "abc";
    const ValueRecord r = CallCommand(ToText, {Text(original)});
    EXPECT_NE(AsPointer<const char>(r), original);
    EXPECT_EQ(TakeText(r), "abc");
    EXPECT_EQ(TakeText(CallCommand(ToText, {Text("")})), "");
}

TEST_F(TextCommandsTest, ToTextOfNumericArraysIsTheirBytesUpToAZero)
{
    const ArrayBlock ints({2}, RawBytes<int32_t>(0x44434241) + RawBytes<int32_t>(0x00004645));
    EXPECT_EQ(TakeText(CallCommand(ToText, {ints.value(kTypeInt)})), "ABCDEF");
    const ArrayBlock shorts({3}, RawBytes<int16_t>(0x4241) + RawBytes<int16_t>(0x0043) + RawBytes<int16_t>(0x4545));
    EXPECT_EQ(TakeText(CallCommand(ToText, {shorts.value(kTypeShort)})), "ABC");
    const ArrayBlock square({2, 2}, "ABCD");
    EXPECT_EQ(TakeText(CallCommand(ToText, {square.value(kTypeByte)})), "ABCD");
    const ArrayBlock empty({0}, "");
    EXPECT_EQ(TakeText(CallCommand(ToText, {empty.value(kTypeLong)})), "");
}

TEST_F(TextCommandsTest, ToTextLeavesTheResultAloneForOtherArrays)
{
    const char* element = "a";
    const ArrayBlock texts({1}, RawBytes(element));
    const ValueRecord r = CallCommand(ToText, {texts.value(kTypeText)});
    EXPECT_EQ(r.type, kTypeNone);
    EXPECT_EQ(r.payload, 0u);
}

TEST_F(TextCommandsTest, ToTextOfOtherTypesIsEmpty)
{
    EXPECT_EQ(TakeText(CallCommand(ToText, {MakeComponentRef(0x52010001, 0x16010002, 0x00010005)})), "");
    EXPECT_EQ(TakeText(CallCommand(ToText, {{0x1234, kTypeSubroutine}})), "");
    EXPECT_EQ(TakeText(CallCommand(ToText, {Omitted()})), "");
    EXPECT_EQ(TakeText(CallCommand(ToText, {})), "");
}

TEST_F(TextCommandsTest, ToBytesOfEveryType)
{
    struct Case {
        const char* name;
        ValueRecord value;
        std::string expected;
    };
    const Case cases[] = {
        {"byte", {0x1FF, kTypeByte}, "\xFF"},
        {"short", {0xFFFFFFFE, kTypeShort}, "\xFE\xFF"},
        {"integer", MakeInt(0x01020304), "\x04\x03\x02\x01"},
        {"long", MakeLong(0x0102030405060708), RawBytes<int64_t>(0x0102030405060708)},
        {"float", MakeFloat(1.0f), RawBytes(1.0f)},
        {"double", MakeDouble(1.0), RawBytes(1.0)},
        {"boolean", MakeBool(true), RawBytes<int32_t>(1)},
        {"boolean 5", {5, kTypeBool}, RawBytes<int32_t>(5)},
        {"date-time", MakeDouble(45292.5, kTypeDateTime), RawBytes(45292.5)},
        {"subroutine", {0xAABBCCDD11223344, kTypeSubroutine}, RawBytes<uint32_t>(0x11223344)},
        {"64-bit value", {0xAABBCCDD11223344, kTypeOpaque64}, RawBytes<uint64_t>(0xAABBCCDD11223344)},
        {"text", Text("AB"), "AB"},
        {"empty text", Text(""), ""},
        {"component", MakeComponentRef(0x52010001, 0x16010002, 0x00010005), ""},
        {"application type", {1, 0x40000001}, ""},
        {"omitted", Omitted(), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TakeBytes(CallCommand(ToBytes, {c.value})), c.expected) << c.name;
}

TEST_F(TextCommandsTest, ToBytesOfArraysAndByteArrays)
{
    const std::string bytes("A\0B", 3);
    EXPECT_EQ(TakeBytes(CallCommand(ToBytes, {ByteArrayBlock(bytes).value()})), bytes);
    EXPECT_EQ(TakeBytes(CallCommand(ToBytes, {ByteArrayBlock("").value()})), "");
    const std::string elements = RawBytes<int16_t>(1) + RawBytes<int16_t>(0) + RawBytes<int16_t>(-1);
    EXPECT_EQ(TakeBytes(CallCommand(ToBytes, {ArrayBlock({3}, elements).value(kTypeShort)})), elements);
    EXPECT_EQ(TakeBytes(CallCommand(ToBytes, {ArrayBlock({1}, RawBytes(1.5)).value(kTypeDouble)})), RawBytes(1.5));
    EXPECT_EQ(TakeBytes(CallCommand(ToBytes, {ArrayBlock({1}, RawBytes<int32_t>(1)).value(kTypeBool)})), "");
    EXPECT_EQ(TakeBytes(CallCommand(ToBytes, {ArrayBlock({-1}, "").value(kTypeInt)})), "");
    EXPECT_EQ(TakeBytes(CallCommand(ToBytes, {MakePointer(nullptr, kTypeInt | kArrayBit)})), "");
}

} // namespace
} // namespace mt
