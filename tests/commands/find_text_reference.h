// 寻找文本 as a plain scan: the sought text compared byte by byte at every
// character boundary from the start. A character is one byte below 0x80,
// four bytes when a lead 0x81-0xFE, a digit, a lead and a digit follow in
// that order, else two bytes. The fast search must give exactly its
// answers; the tests and the benchmark measure against it.
#pragma once

#include <cstdint>
#include <cstring>

namespace mt::test {

inline bool ReferenceBytesEqual(uint8_t a, uint8_t b, bool ignoreCase)
{
    if (a == b)
        return true;
    if (!ignoreCase)
        return false;
    return (a >= 0x41 && a <= 0x5A && b == a + 0x20) || (b >= 0x41 && b <= 0x5A && a == b + 0x20);
}

// The scan on texts of known length (text[length] is the terminator): the
// benchmark also measures it without the strlen calls.
inline int32_t ReferenceFindTextN(const char* text, int64_t length, const char* sought, int64_t soughtLength,
                                  bool hasStart, int32_t start, bool hasFlag, uint32_t flag)
{
    const auto* t = reinterpret_cast<const uint8_t*>(text);
    const auto* s = reinterpret_cast<const uint8_t*>(sought);
    int64_t p = hasStart ? int64_t{start} - 1 : 0;
    if (p < 0)
        p = 0;
    int64_t window = p >= length ? 0 : length - p;
    if (soughtLength == 0)
        return window > 0 ? 1 : -1;
    const bool ignoreCase = hasFlag && flag == 1;
    while (window >= soughtLength) {
        int64_t k = 0;
        while (k < soughtLength && ReferenceBytesEqual(t[p + k], s[k], ignoreCase))
            ++k;
        if (k == soughtLength)
            return static_cast<int32_t>(p + 1);
        if (t[p] >= 0x80) {
            if (t[p + 1] == 0)
                return -1;
            const auto lead = [](uint8_t c) { return c >= 0x81 && c <= 0xFE; };
            const auto digit = [](uint8_t c) { return c >= '0' && c <= '9'; };
            const int64_t step = lead(t[p]) && digit(t[p + 1]) && lead(t[p + 2]) && digit(t[p + 3]) ? 4 : 2;
            p += step;
            window -= step;
        } else {
            p += 1;
            window -= 1;
        }
    }
    return -1;
}

// text and sought are zero-terminated; hasStart/start and hasFlag/flag are
// the optional third and fourth arguments (flag is the boolean's raw word).
inline int32_t ReferenceFindText(const char* text, const char* sought, bool hasStart, int32_t start, bool hasFlag,
                                 uint32_t flag)
{
    return ReferenceFindTextN(text, static_cast<int64_t>(std::strlen(text)), sought,
                              static_cast<int64_t>(std::strlen(sought)), hasStart, start, hasFlag, flag);
}

} // namespace mt::test
