// The GB18030 character rule, for every layer: how long a character is,
// the four-byte form, and the private-use code points that the system
// converter (iconv) leaves unmapped, with the codes we give them.
//
// A character is one byte below 0x80; two bytes, a lead 0x81-0xFE and a
// trail 0x40-0x7E or 0x80-0xFE; or four bytes, lead, 0x30-0x39, 0x81-0xFE,
// 0x30-0x39, when their linear number (below) stands for a character. Every
// other byte, undecodable ones included, counts as a character of one byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mt::gb18030 {

inline bool InRange(unsigned char b, unsigned char low, unsigned char high) { return b >= low && b <= high; }

// ---- the four-byte form ------------------------------------------------------
// Four bytes count linearly, the first and third byte 126 values, the second
// and fourth 10: 81 30 81 30 is 0. Numbers 0 .. 39419 stand for the code
// points of the basic plane that have no shorter code, in order (84 31 A4 39,
// 39419, is U+FFFF); 189000 on (90 30 81 30) for U+10000 .. U+10FFFF.
inline constexpr uint32_t kLastBmpLinear = 39419;
inline constexpr uint32_t kFirstSupplementaryLinear = 189000;

inline uint32_t FourByteLinear(const unsigned char* p)
{
    return (((p[0] - 0x81u) * 10 + (p[1] - 0x30u)) * 126 + (p[2] - 0x81u)) * 10 + (p[3] - 0x30u);
}

// The four bytes of a linear number, first byte first.
inline void FourByteForm(uint32_t linear, unsigned char* out)
{
    out[3] = static_cast<unsigned char>(0x30 + linear % 10);
    linear /= 10;
    out[2] = static_cast<unsigned char>(0x81 + linear % 126);
    linear /= 126;
    out[1] = static_cast<unsigned char>(0x30 + linear % 10);
    out[0] = static_cast<unsigned char>(0x81 + linear / 10);
}

// The length of the character at p, with `left` bytes available (left > 0).
inline size_t CharLength(const unsigned char* p, size_t left)
{
    if (p[0] < 0x81 || p[0] == 0xFF || left < 2)
        return 1;
    if (InRange(p[1], 0x40, 0x7E) || InRange(p[1], 0x80, 0xFE))
        return 2;
    if (left < 4 || !InRange(p[1], 0x30, 0x39) || !InRange(p[2], 0x81, 0xFE) || !InRange(p[3], 0x30, 0x39))
        return 1;
    const uint32_t linear = FourByteLinear(p);
    return linear <= kLastBmpLinear || (linear >= kFirstSupplementaryLinear && linear <= kFirstSupplementaryLinear + 0xFFFFF)
               ? 4
               : 1;
}

inline size_t CharLength(std::string_view s, size_t pos)
{
    return CharLength(reinterpret_cast<const unsigned char*>(s.data()) + pos, s.size() - pos);
}

// A four-byte character beyond the basic plane takes two UTF-16 units.
inline bool IsBeyondBasicPlane(const unsigned char* p, size_t length)
{
    return length == 4 && FourByteLinear(p) >= kFirstSupplementaryLinear;
}

// ---- the private-use code points the system converter leaves out ------------
// The 2005 edition gave 24 characters private-use code points, the two-byte
// codes of GBK. The 2022 edition gives 18 of them their own code points
// (U+FE10-U+FE19 for A6D9-A6DF, A6EC, A6ED, A6F3; U+9FB4-U+9FBB for FE59,
// FE61, FE66, FE67, FE6D, FE7E, FE90, FEA0), as glibc's converter does, and
// the private-use code points take over the four-byte codes those
// characters held before:
//   U+FE10-U+FE19 had the linear numbers 39076-39085 (84 31 82 36 to
//   84 31 83 35), now U+E78D-U+E796 in the same order;
//   U+9FB4-U+9FBB had 19057-19064 (82 35 90 37 to 82 35 91 34), now
//   U+E81E, U+E826, U+E82B, U+E82C, U+E832, U+E843, U+E854, U+E864.
// The converter maps the neighbours (39086 is U+FE1A, 19056 U+9FB3, 19065
// U+9FBC) and none of these 18 numbers, so they are free both ways.
// The other six (FE51, FE52, FE53, FE6C, FE76, FE91) keep their two-byte
// codes in the 2022 edition: the characters they stand for already have
// four-byte codes beyond the basic plane. glibc reads those two bytes as
// the standard characters (FE51 as U+20087, ...), so U+E816 and its five
// fellows convert to the two bytes and read back as the character they
// always stood for.
struct PrivateUse {
    uint16_t codePoint;
    uint8_t length; // 2 or 4
    unsigned char bytes[4];
};

inline constexpr PrivateUse kPrivateUse[24] = {
    {0xE78D, 4, {0x84, 0x31, 0x82, 0x36}},
    {0xE78E, 4, {0x84, 0x31, 0x82, 0x37}},
    {0xE78F, 4, {0x84, 0x31, 0x82, 0x38}},
    {0xE790, 4, {0x84, 0x31, 0x82, 0x39}},
    {0xE791, 4, {0x84, 0x31, 0x83, 0x30}},
    {0xE792, 4, {0x84, 0x31, 0x83, 0x31}},
    {0xE793, 4, {0x84, 0x31, 0x83, 0x32}},
    {0xE794, 4, {0x84, 0x31, 0x83, 0x33}},
    {0xE795, 4, {0x84, 0x31, 0x83, 0x34}},
    {0xE796, 4, {0x84, 0x31, 0x83, 0x35}},
    {0xE816, 2, {0xFE, 0x51}},
    {0xE817, 2, {0xFE, 0x52}},
    {0xE818, 2, {0xFE, 0x53}},
    {0xE81E, 4, {0x82, 0x35, 0x90, 0x37}},
    {0xE826, 4, {0x82, 0x35, 0x90, 0x38}},
    {0xE82B, 4, {0x82, 0x35, 0x90, 0x39}},
    {0xE82C, 4, {0x82, 0x35, 0x91, 0x30}},
    {0xE831, 2, {0xFE, 0x6C}},
    {0xE832, 4, {0x82, 0x35, 0x91, 0x31}},
    {0xE83B, 2, {0xFE, 0x76}},
    {0xE843, 4, {0x82, 0x35, 0x91, 0x32}},
    {0xE854, 4, {0x82, 0x35, 0x91, 0x33}},
    {0xE855, 2, {0xFE, 0x91}},
    {0xE864, 4, {0x82, 0x35, 0x91, 0x34}},
};

// Ours for a code point, or null.
inline const PrivateUse* PrivateUseOfCodePoint(uint32_t cp)
{
    if (cp < 0xE78D || cp > 0xE864)
        return nullptr;
    for (const PrivateUse& u : kPrivateUse) {
        if (u.codePoint == cp)
            return &u;
    }
    return nullptr;
}

// Ours for the four bytes at p (left available) that the converter reads as
// nothing, or null. The two-byte six read as standard characters already.
inline const PrivateUse* PrivateUseOfBytes(const unsigned char* p, size_t left)
{
    if (left < 4 || (p[0] != 0x82 && p[0] != 0x84) || CharLength(p, left) != 4)
        return nullptr;
    for (const PrivateUse& u : kPrivateUse) {
        if (u.length == 4 && p[0] == u.bytes[0] && p[1] == u.bytes[1] && p[2] == u.bytes[2] && p[3] == u.bytes[3])
            return &u;
    }
    return nullptr;
}

// ---- filling in where the converter stops ---------------------------------------
// A converter between GB18030 and a Unicode form stops (EILSEQ) at these
// characters. UnmappedAt answers for the character it stopped at: the bytes
// it took and the bytes to write instead, or taken 0 when it is not ours.
enum class Form { kOther,
                  kGb18030,
                  kUtf8,
                  kUtf16Le,
                  kUtf16Be };

// The form an encoding name names; letter case and a "//..." suffix do not
// matter. "UTF-16" without an order is kOther: its order lives in the
// converter.
inline Form FormOfName(std::string_view name)
{
    name = name.substr(0, name.find("//"));
    std::string upper;
    for (char c : name)
        upper += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    if (upper == "GB18030")
        return Form::kGb18030;
    if (upper == "UTF-8" || upper == "UTF8")
        return Form::kUtf8;
    if (upper == "UTF-16LE")
        return Form::kUtf16Le;
    if (upper == "UTF-16BE")
        return Form::kUtf16Be;
    return Form::kOther;
}

struct Filled {
    size_t taken = 0;
    size_t length = 0;
    unsigned char bytes[4] = {};
};

inline Filled UnmappedAt(Form from, Form to, const unsigned char* in, size_t left)
{
    Filled f;
    if (from == Form::kGb18030 && to != Form::kGb18030 && to != Form::kOther) {
        const PrivateUse* u = PrivateUseOfBytes(in, left);
        if (!u)
            return f;
        const uint32_t cp = u->codePoint;
        if (to == Form::kUtf8) {
            f.bytes[0] = static_cast<unsigned char>(0xE0 | cp >> 12);
            f.bytes[1] = static_cast<unsigned char>(0x80 | (cp >> 6 & 0x3F));
            f.bytes[2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
            f.length = 3;
        } else {
            const bool le = to == Form::kUtf16Le;
            f.bytes[le ? 0 : 1] = static_cast<unsigned char>(cp);
            f.bytes[le ? 1 : 0] = static_cast<unsigned char>(cp >> 8);
            f.length = 2;
        }
        f.taken = 4;
        return f;
    }
    if (to != Form::kGb18030)
        return f;
    // All 24 lie in U+E78D..U+E864: three UTF-8 bytes EE 9E-A1 xx, or one unit.
    uint32_t cp = 0;
    size_t taken = 0;
    if (from == Form::kUtf8 && left >= 3 && in[0] == 0xEE && (in[1] & 0xC0) == 0x80 && (in[2] & 0xC0) == 0x80) {
        cp = 0xE000u | (in[1] & 0x3Fu) << 6 | (in[2] & 0x3Fu);
        taken = 3;
    } else if ((from == Form::kUtf16Le || from == Form::kUtf16Be) && left >= 2) {
        cp = from == Form::kUtf16Le ? (in[0] | in[1] << 8) : (in[1] | in[0] << 8);
        taken = 2;
    }
    const PrivateUse* u = PrivateUseOfCodePoint(cp);
    if (!u)
        return f;
    f.taken = taken;
    f.length = u->length;
    for (size_t i = 0; i < u->length; ++i)
        f.bytes[i] = u->bytes[i];
    return f;
}

} // namespace mt::gb18030
