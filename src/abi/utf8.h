// The UTF-8 rule, for every layer: which byte sequences are valid UTF-8 (no
// overlong forms, no surrogates, nothing beyond U+10FFFF) and how long a bad
// one is as browsers count it. Used by the page decoding, the page charset
// test and the command line's output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace mt {

// The bytes the UTF-8 sequence led by p[0] takes: 1 for ASCII and for a
// byte that leads nothing (a continuation byte, C0, C1, F5 and above), else
// 2 to 4.
inline size_t Utf8SequenceLength(const unsigned char* p)
{
    const unsigned char b = p[0];
    return b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3
                                    : b >= 0xF0 && b <= 0xF4   ? 4
                                                               : 1;
}

// Whether p[i] (i ≥ 1) may follow p[0..i-1] in a valid sequence: the second
// byte's range depends on the lead (no overlong forms, surrogates or code
// points beyond U+10FFFF), later ones are 80-BF.
inline bool Utf8ContinuationFits(const unsigned char* p, size_t i)
{
    unsigned char low = 0x80, high = 0xBF;
    if (i == 1) {
        low = p[0] == 0xE0 ? 0xA0 : p[0] == 0xF0 ? 0x90
                                                 : 0x80;
        high = p[0] == 0xED ? 0x9F : p[0] == 0xF4 ? 0x8F
                                                  : 0xBF;
    }
    return p[i] >= low && p[i] <= high;
}

inline bool Utf8SequenceComplete(const unsigned char* p, size_t n)
{
    for (size_t i = 1; i < n; ++i) {
        if (!Utf8ContinuationFits(p, i))
            return false;
    }
    return true;
}

// The length of the valid UTF-8 prefix of `bytes` (all of it when valid),
// and whether that prefix holds a multi-byte sequence.
inline size_t ValidUtf8Prefix(std::string_view bytes, bool* multiByte = nullptr)
{
    const auto* start = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* p = start;
    const unsigned char* end = p + bytes.size();
    bool wide = false;
    while (p < end) {
        if (end - p >= 8) {
            uint64_t word;
            std::memcpy(&word, p, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                p += 8;
                continue;
            }
        }
        const unsigned char b = *p;
        if (b < 0x80) {
            ++p;
            continue;
        }
        const size_t n = Utf8SequenceLength(p);
        if (n < 2 || static_cast<size_t>(end - p) < n || !Utf8SequenceComplete(p, n))
            break;
        wide = true;
        p += n;
    }
    if (multiByte)
        *multiByte = wide;
    return static_cast<size_t>(p - start);
}

// How many bytes at the start of `bytes` form one bad sequence, as browsers
// count them (the maximal part of a sequence that could still have been
// valid): the lead byte and the continuation bytes that fit it, at least 1.
// 0 for no bytes.
inline size_t BadUtf8Length(std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.empty())
        return 0;
    const size_t need = Utf8SequenceLength(p);
    size_t good = 1;
    while (good < need && good < bytes.size() && Utf8ContinuationFits(p, good))
        ++good;
    return good;
}

} // namespace mt
