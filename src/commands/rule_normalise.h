// The normalisations a failed rule is tried under: each turns whole
// characters of a GB18030 text into whole characters, so that a search over
// the result keeps 寻找文本's character rule, and each can say where a
// stretch of its result came from.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace mt {

enum class Normalisation {
    kLineBreaks, // CR LF and a lone CR become LF
    kWidth,      // full-width forms A3A1-A3FE become ASCII 21-7E, the ideographic space A1A1 a space
    kWhitespace, // a run of spaces, tabs, CR, LF and no-break spaces becomes one space
    kEntities,   // HTML character references decoded (&nbsp; as a space)
};

// A normalised text in a buffer that is kept for the next one, so that a
// page of many megabytes costs one allocation for all the tests.
class NormalisedText {
public:
    // `text` under `n`; the answer lives until the next call. *changed says
    // whether anything changed.
    std::string_view make(Normalisation n, std::string_view text, bool* changed);

private:
    std::unique_ptr<char[]> buffer_;
    size_t capacity_ = 0;
};

// The text under `n`, as a string (for short texts).
std::string Normalised(Normalisation n, std::string_view text);

// Whether `n` may change anything in `text`; false when it surely does not
// (the check is one fast pass, or none).
bool MayChange(Normalisation n, std::string_view text);

// The stretch of `text` that the bytes [from, from + length) of its
// normalised form came from: its 0-based start and end offsets. A character
// or run that became several bytes belongs whole to any stretch that holds
// part of them.
struct OriginalSpan {
    size_t start = 0;
    size_t end = 0;
};
OriginalSpan SpanBefore(Normalisation n, std::string_view text, size_t from, size_t length);

// The length of the character at text[at] as 寻找文本 steps (at a
// boundary): a byte below 0x80 is one; a lead 0x81-0xFE, a digit, a lead and
// a digit are four; any other byte of 0x80 or above leads two (one when it
// is the last).
inline size_t SearchCharLength(std::string_view text, size_t at)
{
    auto b = [&](size_t k) { return static_cast<unsigned char>(text[at + k]); };
    if (b(0) < 0x80)
        return 1;
    const size_t left = text.size() - at;
    if (left >= 4 && b(0) >= 0x81 && b(0) <= 0xFE && b(1) >= '0' && b(1) <= '9' && b(2) >= 0x81 && b(2) <= 0xFE &&
        b(3) >= '0' && b(3) <= '9')
        return 4;
    return left >= 2 ? 2 : 1;
}

// The whitespace characters of kWhitespace at text[at] (at a character
// boundary): the bytes the character takes, or 0 for none.
size_t WhitespaceLength(std::string_view text, size_t at);

// The HTML character reference at text[at] (an '&'): its length, and its
// decoded bytes into *decoded; 0 when none starts there.
size_t CharacterReference(std::string_view text, size_t at, std::string* decoded);

} // namespace mt
