#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "abi/gb18030.h"
#include "commands/command_call.h"
#include "net/encoding_conversion.h"
#include "support/malloc_service.h"

namespace mt {
namespace {

using test::ByteArrayBlock;
using test::CallCommand;
using test::TakeBytes;
using test::Text;

class EncodingConversionTest : public testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(heap_.liveBlocks(), 0) << "the work buffer or the result leaked"; }

    // Converts, with the success variable given (preset to 7 so that the
    // command's writes show).
    std::string convert(std::string_view data, const char* from, const char* to)
    {
        success_ = 7;
        const ByteArrayBlock block(data);
        return TakeBytes(CallCommand(ConvertEncoding, {block.value(), Text(from), Text(to), MakePointer(&success_, kTypeInt)}));
    }

    test::MallocService heap_;
    int32_t success_ = 7;
};

// The expected bytes were taken from the GB18030 and UTF-8 code tables.
TEST_F(EncodingConversionTest, ConvertsUtf8ToGb18030)
{
    EXPECT_EQ(convert("\xE4\xB8\xAD", "UTF-8", "GB18030"), "\xD6\xD0"); // 中
    EXPECT_EQ(success_, 1);
    EXPECT_EQ(convert("a\xE4\xB8\xAD"
                      "b",
                      "utf-8", "gb18030"),
              "a\xD6\xD0"
              "b");
    EXPECT_EQ(success_, 1);
}

TEST_F(EncodingConversionTest, GrowsTheWorkBufferForLongerOutput)
{
    // À: two UTF-8 bytes become four GB18030 bytes, more than the first buffer holds.
    EXPECT_EQ(convert("\xC3\x80", "UTF-8", "GB18030"), "\x81\x30\x86\x38");
    EXPECT_EQ(success_, 1);
    heap_.refuseTryAllocation(2); // the growth
    EXPECT_EQ(convert("\xC3\x80", "UTF-8", "GB18030"), "");
    EXPECT_EQ(success_, 0);
}

TEST_F(EncodingConversionTest, RefusedWorkBufferFailsTheConversion)
{
    heap_.refuseTryAllocation(1);
    EXPECT_EQ(convert("abc", "UTF-8", "GB18030"), "");
    EXPECT_EQ(success_, 0);
}

TEST_F(EncodingConversionTest, InvalidOrTruncatedInputGivesNothing)
{
    EXPECT_EQ(convert("ab\xFF", "UTF-8", "GB18030"), "");
    EXPECT_EQ(success_, 0);
    EXPECT_EQ(convert("\xE4\xB8", "UTF-8", "GB18030"), "");
    EXPECT_EQ(success_, 0);
    // Invalid input after a growth: nothing of the converted part comes back.
    EXPECT_EQ(convert(std::string(300, '\x82') + "\xFF", "TSCII", "UTF-8"), "");
    EXPECT_EQ(success_, 0);
}

TEST_F(EncodingConversionTest, UnknownEncodingGivesNothing)
{
    EXPECT_EQ(convert("abc", "UTF-8", "NO-SUCH-ENCODING"), "");
    EXPECT_EQ(success_, 0);
    EXPECT_EQ(convert("", "NO-SUCH-ENCODING", "GB18030"), "");
    EXPECT_EQ(success_, 0);
}

TEST_F(EncodingConversionTest, EmptyInputSucceedsEmpty)
{
    EXPECT_EQ(convert("", "UTF-8", "GB18030"), "");
    EXPECT_EQ(success_, 1);
    success_ = 7;
    EXPECT_EQ(TakeBytes(CallCommand(ConvertEncoding, {MakePointer(nullptr, kTypeBytes), Text("UTF-8"), Text("GB18030"),
                                                      MakePointer(&success_, kTypeBool)})),
              "");
    EXPECT_EQ(success_, 1);
}

// TSCII byte 82 is four Tamil code points, twelve UTF-8 bytes. From n input
// bytes the buffer reaches n + 11 × (n/2 + 128) bytes at the twelfth call:
// 240 bytes (2880 out) just fit, 260 bytes (3120 out) do not.
TEST_F(EncodingConversionTest, StopsAfterTwelveCalls)
{
    const std::string fits = convert(std::string(240, '\x82'), "TSCII", "UTF-8");
    EXPECT_EQ(fits.size(), 2880u);
    EXPECT_EQ(success_, 1);
    EXPECT_EQ(convert(std::string(260, '\x82'), "TSCII", "UTF-8"), "");
    EXPECT_EQ(success_, 0);
}

// The 24 private-use characters the system converter leaves unmapped take
// their GB18030 codes (abi/gb18030.h) in every Unicode form, in a run long
// enough that a call per character would pass the twelve calls; the
// four-byte codes read back.
TEST_F(EncodingConversionTest, PrivateUseCharactersTakeTheirGb18030Codes)
{
    std::string utf8, le, be, gb, fourByteGb, fourByteUtf8;
    for (int round = 0; round < 2; ++round) {
        for (const gb18030::PrivateUse& u : gb18030::kPrivateUse) {
            const uint32_t cp = u.codePoint;
            const std::string u8 = {static_cast<char>(0xE0 | cp >> 12), static_cast<char>(0x80 | (cp >> 6 & 0x3F)),
                                    static_cast<char>(0x80 | (cp & 0x3F))};
            const std::string bytes(reinterpret_cast<const char*>(u.bytes), u.length);
            utf8 += u8 + "a";
            le += std::string{static_cast<char>(cp), static_cast<char>(cp >> 8), 'a', 0};
            be += std::string{static_cast<char>(cp >> 8), static_cast<char>(cp), 0, 'a'};
            gb += bytes + "a";
            if (u.length == 4) {
                fourByteGb += bytes + "\xD6\xD0";
                fourByteUtf8 += u8 + "\xE4\xB8\xAD";
            }
        }
    }
    const struct {
        const char* from;
        const char* to;
        std::string in;
        std::string out;
    } cases[] = {
        {"UTF-8", "GB18030", utf8, gb},
        {"utf8", "gb18030", utf8, gb},
        {"UTF-16LE", "GB18030", le, gb},
        {"UTF-16BE", "GB18030", be, gb},
        {"GB18030", "UTF-8", fourByteGb, fourByteUtf8},
        {"GB18030", "UTF-8", "\x84\x31\x82\x36", "\xEE\x9E\x8D"},
        {"GB18030", "UTF-16LE", "\x82\x35\x91\x34", "\x64\xE8"},
        {"GB18030", "UTF-16BE", "\x82\x35\x91\x34", "\xE8\x64"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(convert(c.in, c.from, c.to), c.out) << c.from << " to " << c.to;
        EXPECT_EQ(success_, 1);
    }
    // Whatever else the converter refuses still fails the whole conversion.
    EXPECT_EQ(convert("\xEE\x9E\x8D\xFF", "UTF-8", "GB18030"), "");
    EXPECT_EQ(success_, 0);
    EXPECT_EQ(convert("\x84\x31\x82\x36\x84\x31\xA5\x30", "GB18030", "UTF-8"), "");
    EXPECT_EQ(success_, 0);
    // A code at the very end of a full buffer grows it: one character of
    // three UTF-8 bytes into a buffer of three, then four GB18030 bytes.
    EXPECT_EQ(convert("\xEE\x9E\x8D", "UTF-8", "GB18030"), "\x84\x31\x82\x36");
    EXPECT_EQ(success_, 1);
}

TEST_F(EncodingConversionTest, OmittedSuccessVariableIsNotWritten)
{
    const ByteArrayBlock block("\xE4\xB8\xAD");
    EXPECT_EQ(TakeBytes(CallCommand(ConvertEncoding, {block.value(), Text("UTF-8"), Text("GB18030"), Omitted()})),
              "\xD6\xD0");
    EXPECT_EQ(TakeBytes(CallCommand(ConvertEncoding, {block.value(), Text("UTF-8"), Text("GB18030")})), "\xD6\xD0");
}

} // namespace
} // namespace mt
