// Valid and invalid UTF-8, byte by byte: what the page charset test and the
// page decoding share. Plain code.
#pragma once

#include <cstddef>
#include <string_view>

namespace mt {

// The length of the valid UTF-8 prefix of `bytes` (all of it when valid),
// and whether that prefix holds a multi-byte sequence.
size_t ValidUtf8Prefix(std::string_view bytes, bool* multiByte = nullptr);

// The bytes the UTF-8 sequence led by p[0] takes: 1 for ASCII and for a
// byte that leads nothing (a continuation byte, C0, C1, F5 and above), else
// 2 to 4.
size_t Utf8SequenceLength(const unsigned char* p);
// Whether p[i] (i ≥ 1) may follow p[0..i-1] in a valid sequence: the second
// byte's range depends on the lead (no overlong forms, surrogates or code
// points beyond U+10FFFF), later ones are 80-BF.
bool Utf8ContinuationFits(const unsigned char* p, size_t i);
bool Utf8SequenceComplete(const unsigned char* p, size_t n);
// How many bytes at the start of `bytes` form one bad sequence, as browsers
// count them (the maximal part of a sequence that could still have been
// valid): the lead byte and the continuation bytes that fit it, at least 1.
// 0 for no bytes.
size_t BadUtf8Length(std::string_view bytes);

} // namespace mt
