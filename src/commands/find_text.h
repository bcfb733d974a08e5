// The search behind 寻找文本: the first occurrence of a sought text that
// begins on a character boundary of a GBK text.
//
// Boundaries are counted from the start offset: the byte there begins a
// character, a byte below 0x80 is a whole character, a lead 0x81-0xFE
// followed by a digit '0'-'9', a lead and a digit is a four-byte character
// (GB18030's), and any other byte of 0x80 or above leads a two-byte
// character. With ignoreCase the letters 'A'-'Z' and
// 'a'-'z' compare equal in every byte position, trail bytes included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace mt {

// The 0-based offset of the first occurrence of `sought` in `text` that
// begins on a boundary at or after `start`, or -1. An empty sought text is
// found at offset 0 whenever start < text.size(). The answers are those of a
// plain scan that compares the sought text at every boundary; this one skips
// most positions with whole-block byte tests (AVX2 or SSE2 where the
// processor has them).
int64_t FindTextOffset(std::string_view text, std::string_view sought, size_t start, bool ignoreCase);

// The same for a zero-terminated text of unknown length. The length is
// measured as the search goes, so a match near the start costs no pass over
// the rest of the text. It is measured in aligned blocks of 256 bytes,
// which may reach past the terminator within its page; the search itself
// reads nothing behind the terminator.
int64_t FindTextOffsetInTerminated(const char* text, std::string_view sought, size_t start, bool ignoreCase);

// The block tests a search can use. kBest is what FindTextOffset uses: AVX2
// or SSE2 when the processor has them, else one byte at a time.
enum class ScanKind { kBest,
                      kPortable,
                      kSse2,
                      kAvx2 };

// Whether this build and processor can use the kind.
bool ScanKindAvailable(ScanKind kind);

// FindTextOffset with the given block tests, so that tests can hold every
// path against the plain scan; an unavailable kind uses Portable.
int64_t FindTextOffsetUsing(ScanKind kind, std::string_view text, std::string_view sought, size_t start,
                            bool ignoreCase);
int64_t FindTextOffsetInTerminatedUsing(ScanKind kind, const char* text, std::string_view sought, size_t start,
                                        bool ignoreCase);

} // namespace mt
