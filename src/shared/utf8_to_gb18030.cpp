#include "utf8_to_gb18030.h"

#include <cstring>

#include "abi/gb18030.h"

namespace app {
namespace {

constexpr uint32_t kPlane = 0x10000;

void AppendUtf8(uint32_t cp, std::string* s)
{
    if (cp < 0x80) {
        *s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        *s += static_cast<char>(0xC0 | (cp >> 6));
        *s += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *s += static_cast<char>(0xE0 | (cp >> 12));
        *s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *s += static_cast<char>(0xF0 | (cp >> 18));
        *s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *s += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// GB18030 characters beyond the basic plane: the four-byte form from
// 90 30 81 30 on, first byte lowest.
uint32_t BeyondPlane(uint32_t cp)
{
    unsigned char b[4];
    mt::gb18030::FourByteForm(mt::gb18030::kFirstSupplementaryLinear + (cp - kPlane), b);
    return b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
}

void AppendGb(uint32_t bytes, std::string* out)
{
    const char b[4] = {static_cast<char>(bytes), static_cast<char>(bytes >> 8), static_cast<char>(bytes >> 16),
                       static_cast<char>(bytes >> 24)};
    out->append(b, bytes >> 16 ? 4 : 2);
}

// Splits GB18030 output into characters, one per code point of [first, end)
// (surrogates skipped), into the table; false when the count is off.
bool Record(std::string_view gb, uint32_t first, uint32_t end, uint32_t* table)
{
    size_t at = 0;
    for (uint32_t cp = first; cp < end; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        if (at + 2 > gb.size())
            return false;
        const auto b = [&](size_t k) { return static_cast<uint32_t>(static_cast<uint8_t>(gb[at + k])); };
        if (b(0) < 0x81)
            return false; // the basic plane from U+0080 has no single-byte answers
        if (b(1) >= 0x30 && b(1) <= 0x39) {
            if (at + 4 > gb.size())
                return false;
            table[cp] = b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
            at += 4;
        } else {
            table[cp] = b(0) | b(1) << 8;
            at += 2;
        }
    }
    return at == gb.size();
}

// Asks the command for the code points [first, end), halving a range it
// refuses, so that the few characters it does not convert stay out.
void Fill(const Utf8ToGb18030::Command& command, uint32_t first, uint32_t end, uint32_t* table)
{
    std::string utf8, gb;
    for (uint32_t cp = first; cp < end; ++cp) {
        if (cp < 0xD800 || cp > 0xDFFF)
            AppendUtf8(cp, &utf8);
    }
    if (utf8.empty())
        return;
    if (command(utf8, &gb) && Record(gb, first, end, table))
        return;
    if (end - first == 1) {
        table[first] = 0;
        return;
    }
    const uint32_t middle = first + (end - first) / 2;
    Fill(command, first, middle, table);
    Fill(command, middle, end, table);
}

inline bool Continuation(uint8_t c) { return (c & 0xC0) == 0x80; }

} // namespace

Utf8ToGb18030::Utf8ToGb18030(const Command& command) : table_(new uint32_t[kPlane]())
{
    for (uint32_t first = 0x80; first < kPlane; first += 4096)
        Fill(command, first, first + 4096 < kPlane ? first + 4096 : kPlane, table_.get());
    beyondPlane_ = true;
    for (uint32_t cp : {0x10000u, 0x1F600u, 0x10FFFFu}) {
        std::string utf8, gb, mine;
        AppendUtf8(cp, &utf8);
        AppendGb(BeyondPlane(cp), &mine);
        beyondPlane_ = beyondPlane_ && command(utf8, &gb) && gb == mine;
    }
}

size_t Utf8ToGb18030::convert(std::string_view utf8, char* o, bool* whole) const
{
    const auto* p = reinterpret_cast<const uint8_t*>(utf8.data());
    const size_t n = utf8.size();
    const uint32_t* table = table_.get();
    size_t at = 0;
    size_t i = 0;
    while (i < n) {
        const uint8_t c = p[i];
        if (c < 0x80) {
            // ASCII, eight bytes at a time while it lasts.
            for (uint64_t word; i + 8 <= n; i += 8, at += 8) {
                std::memcpy(&word, p + i, 8);
                if (word & 0x8080808080808080ull)
                    break;
                std::memcpy(o + at, &word, 8);
            }
            while (i < n && p[i] < 0x80)
                o[at++] = static_cast<char>(p[i++]);
            continue;
        }
        uint32_t cp;
        size_t length;
        if ((c & 0xF0) == 0xE0) { // most Chinese text
            if (i + 2 >= n || !Continuation(p[i + 1]) || !Continuation(p[i + 2]))
                break;
            cp = (c & 0x0Fu) << 12 | (p[i + 1] & 0x3Fu) << 6 | (p[i + 2] & 0x3Fu);
            if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))
                break;
            length = 3;
        } else if (c >= 0xC2 && c <= 0xDF) {
            if (i + 1 >= n || !Continuation(p[i + 1]))
                break;
            cp = (c & 0x1Fu) << 6 | (p[i + 1] & 0x3Fu);
            length = 2;
        } else if (c >= 0xF0 && c <= 0xF4 && beyondPlane_) {
            if (i + 3 >= n || !Continuation(p[i + 1]) || !Continuation(p[i + 2]) || !Continuation(p[i + 3]))
                break;
            cp = (c & 0x07u) << 18 | (p[i + 1] & 0x3Fu) << 12 | (p[i + 2] & 0x3Fu) << 6 | (p[i + 3] & 0x3Fu);
            if (cp < kPlane || cp > 0x10FFFF)
                break;
            length = 4;
        } else {
            break;
        }
        const uint32_t gb = cp < kPlane ? table[cp] : BeyondPlane(cp);
        if (gb == 0)
            break;
        o[at] = static_cast<char>(gb);
        o[at + 1] = static_cast<char>(gb >> 8);
        if (gb >> 16) {
            o[at + 2] = static_cast<char>(gb >> 16);
            o[at + 3] = static_cast<char>(gb >> 24);
            at += 4;
        } else {
            at += 2;
        }
        i += length;
    }
    *whole = i >= n;
    return at;
}

} // namespace app
