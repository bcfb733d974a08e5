// The GB18030 character rule, with the system converter (glibc's iconv) as
// the oracle for the codes the 24 private-use code points take.
#include <gtest/gtest.h>

#include <iconv.h>

#include <string>

#include "abi/gb18030.h"

namespace mt::gb18030 {
namespace {

// iconv over all of `in`; false when it refuses any of it.
bool Iconv(const char* to, const char* from, const std::string& in, std::string* out)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    char buffer[64];
    char* ip = const_cast<char*>(in.data());
    size_t il = in.size();
    char* op = buffer;
    size_t ol = sizeof buffer;
    const bool ok = iconv(cd, &ip, &il, &op, &ol) != static_cast<size_t>(-1) && il == 0;
    iconv_close(cd);
    out->assign(buffer, sizeof buffer - ol);
    return ok;
}

std::string Utf32(uint32_t cp)
{
    return {static_cast<char>(cp >> 24), static_cast<char>(cp >> 16), static_cast<char>(cp >> 8), static_cast<char>(cp)};
}

std::string Bytes(const PrivateUse& u) { return std::string(reinterpret_cast<const char*>(u.bytes), u.length); }

uint32_t LinearOf(const std::string& four) { return FourByteLinear(reinterpret_cast<const unsigned char*>(four.data())); }

TEST(Gb18030, CharacterLengths)
{
    const struct {
        std::string bytes;
        size_t length;
    } cases[] = {
        {"a", 1},
        {"\xD6\xD0", 2},
        {"\x81\x40", 2},
        {"\x81\x30\x81\x30", 4}, // U+0080
        {"\x84\x31\xA4\x39", 4}, // U+FFFF, the last of the plane
        {"\x84\x31\xA5\x30", 1}, // 39420: stands for nothing
        {"\x90\x30\x81\x30", 4}, // U+10000
        {"\xE3\x32\x9A\x35", 4}, // U+10FFFF
        {"\xE3\x32\x9A\x36", 1}, // beyond it
        {"\x81\x30\x81", 1},     // cut short
        {"\x80", 1},
        {"\xFF\x40", 1},
        {"\x81\x20", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CharLength(c.bytes, 0), c.length) << testing::PrintToString(c.bytes);
    unsigned char form[4];
    FourByteForm(39419, form);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(form), 4), "\x84\x31\xA4\x39");
}

// Each private-use code point against the standard character whose
// 2005-edition four-byte code it takes (or, for the six, whose two bytes it
// shares). The converter must map that character's neighbours around the
// free numbers, and neither the code point nor the code.
TEST(Gb18030, PrivateUseCodesAreTheFreedFourByteCodes)
{
    const uint32_t standard[24] = {0xFE10, 0xFE11, 0xFE12, 0xFE13, 0xFE14, 0xFE15, 0xFE16, 0xFE17,
                                   0xFE18, 0xFE19, 0x20087, 0x20089, 0x200CC, 0x9FB4, 0x9FB5, 0x9FB6,
                                   0x9FB7, 0x215D7, 0x9FB8, 0x2298F, 0x9FB9, 0x9FBA, 0x241FE, 0x9FBB};
    std::string after, before;
    ASSERT_TRUE(Iconv("GB18030", "UTF-32BE", Utf32(0xFE1A), &after));
    ASSERT_TRUE(Iconv("GB18030", "UTF-32BE", Utf32(0x9FB3), &before));
    for (size_t i = 0; i < 24; ++i) {
        const PrivateUse& u = kPrivateUse[i];
        SCOPED_TRACE(testing::Message() << std::hex << "U+" << u.codePoint);
        std::string out;
        EXPECT_FALSE(Iconv("GB18030", "UTF-32BE", Utf32(u.codePoint), &out)) << "the converter maps it now";
        EXPECT_EQ(CharLength(Bytes(u), 0), u.length);
        EXPECT_EQ(PrivateUseOfCodePoint(u.codePoint), &u);
        if (u.length == 4) {
            EXPECT_FALSE(Iconv("UTF-32BE", "GB18030", Bytes(u), &out)) << "the code is taken";
            const uint32_t s = standard[i];
            const uint32_t linear = s >= 0xFE10 ? LinearOf(after) - (0xFE1A - s) : LinearOf(before) + (s - 0x9FB3);
            EXPECT_EQ(LinearOf(Bytes(u)), linear);
            EXPECT_EQ(PrivateUseOfBytes(u.bytes, 4), &u);
            // The standard character has a two-byte code now.
            ASSERT_TRUE(Iconv("GB18030", "UTF-32BE", Utf32(s), &out));
            EXPECT_EQ(out.size(), 2u);
        } else {
            EXPECT_EQ(PrivateUseOfBytes(u.bytes, 2), nullptr);
            ASSERT_TRUE(Iconv("UTF-32BE", "GB18030", Bytes(u), &out));
            EXPECT_EQ(out, Utf32(standard[i]));
        }
    }
    EXPECT_EQ(PrivateUseOfCodePoint(0xE815), nullptr);
    EXPECT_EQ(PrivateUseOfBytes(reinterpret_cast<const unsigned char*>("\x84\x31\x83\x36"), 4), nullptr);
}

TEST(Gb18030, UnmappedAtFillsInEachFormBothWays)
{
    EXPECT_EQ(FormOfName("gb18030//IGNORE"), Form::kGb18030);
    EXPECT_EQ(FormOfName("utf8"), Form::kUtf8);
    EXPECT_EQ(FormOfName("UTF-16"), Form::kOther);
    for (const PrivateUse& u : kPrivateUse) {
        SCOPED_TRACE(testing::Message() << std::hex << "U+" << u.codePoint);
        const uint32_t cp = u.codePoint;
        const std::string utf8 = {static_cast<char>(0xE0 | cp >> 12), static_cast<char>(0x80 | (cp >> 6 & 0x3F)),
                                  static_cast<char>(0x80 | (cp & 0x3F))};
        const std::string le = {static_cast<char>(cp), static_cast<char>(cp >> 8)};
        const std::string be = {static_cast<char>(cp >> 8), static_cast<char>(cp)};
        const struct {
            Form form;
            std::string units;
        } forms[] = {{Form::kUtf8, utf8}, {Form::kUtf16Le, le}, {Form::kUtf16Be, be}};
        for (const auto& f : forms) {
            const std::string in = f.units + "tail";
            const Filled to = UnmappedAt(f.form, Form::kGb18030, reinterpret_cast<const unsigned char*>(in.data()), in.size());
            EXPECT_EQ(to.taken, f.units.size());
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(to.bytes), to.length), Bytes(u));
            const Filled back = UnmappedAt(Form::kGb18030, f.form, u.bytes, u.length);
            if (u.length == 4) {
                EXPECT_EQ(back.taken, 4u);
                EXPECT_EQ(std::string(reinterpret_cast<const char*>(back.bytes), back.length), f.units);
            } else {
                EXPECT_EQ(back.taken, 0u); // the converter reads the two bytes itself
            }
            EXPECT_EQ(UnmappedAt(f.form, Form::kOther, reinterpret_cast<const unsigned char*>(in.data()), in.size()).taken, 0u);
        }
    }
    // Not ours: another private-use character, and a code cut short.
    EXPECT_EQ(UnmappedAt(Form::kUtf8, Form::kGb18030, reinterpret_cast<const unsigned char*>("\xEE\x80\x80"), 3).taken, 0u);
    EXPECT_EQ(UnmappedAt(Form::kGb18030, Form::kUtf8, reinterpret_cast<const unsigned char*>("\x84\x31\x82"), 3).taken, 0u);
}

} // namespace
} // namespace mt::gb18030
