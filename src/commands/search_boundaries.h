// Character boundaries as 寻找文本 counts them from the start of a text: a
// byte below 0x80 is a character; a byte of 0x80 or above leads a
// four-byte character when a lead 0x81-0xFE, a digit, a lead and a digit
// stand there, else a two-byte one (cut short by the end of the text).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace mt {

// The length of the character at `at` (at < text.size()).
inline size_t SearchCharLength(std::string_view text, size_t at)
{
    const auto* t = reinterpret_cast<const uint8_t*>(text.data());
    const size_t left = text.size() - at;
    if (t[at] < 0x80)
        return 1;
    const auto lead = [](uint8_t c) { return c >= 0x81 && c <= 0xFE; };
    const auto digit = [](uint8_t c) { return c >= '0' && c <= '9'; };
    if (left >= 4 && lead(t[at]) && digit(t[at + 1]) && lead(t[at + 2]) && digit(t[at + 3]))
        return 4;
    return left >= 2 ? 2 : 1;
}

// The last position at or before `pos` that is sure to be a boundary: the
// start, or a position behind a byte below 0x80 that is no digit (such a
// byte ends a character whatever stands before it, since only the digits
// of a four-byte character are below 0x80 and end none).
inline size_t BoundaryAnchor(std::string_view text, size_t pos)
{
    while (pos > 0) {
        const auto c = static_cast<uint8_t>(text[pos - 1]);
        if (c < 0x80 && (c < '0' || c > '9'))
            return pos;
        --pos;
    }
    return 0;
}

// The boundaries b with from <= b <= to (to <= text.size()), ascending; the
// end of the text counts as one.
inline std::vector<size_t> BoundariesBetween(std::string_view text, size_t from, size_t to)
{
    std::vector<size_t> out;
    size_t at = BoundaryAnchor(text, from);
    while (at < to) {
        if (at >= from)
            out.push_back(at);
        at += SearchCharLength(text, at);
    }
    if (at == to)
        out.push_back(to);
    return out;
}

inline bool IsSearchBoundary(std::string_view text, size_t pos)
{
    if (pos > text.size())
        return false;
    const std::vector<size_t> b = BoundariesBetween(text, pos, pos);
    return !b.empty();
}

} // namespace mt
