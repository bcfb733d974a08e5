// Marks a multi-line box draws over its text, in byte positions: where an
// extraction found its left, middle and right texts, and every occurrence
// of a sought text in the rows in view. Marks are looks only: they change
// neither the bytes, the selection nor the caret, and the next change of
// the text takes them away.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mt::platform {

enum class MarkTint { kLeft,
                      kMiddle,
                      kRight,
                      kOccurrence };

struct TextMark {
    size_t start = 0;  // 0-based byte position
    size_t length = 0; // bytes
    MarkTint tint = MarkTint::kMiddle;
};

// The search the occurrences are found with: the 0-based offset of the
// first occurrence of `sought` in `text` that begins on a character
// boundary counted from the text's start, or -1.
using OccurrenceSearch = int64_t (*)(std::string_view text, std::string_view sought);

struct TextMarks {
    std::vector<TextMark> marks;
    std::string sought; // its occurrences in view are tinted; empty: none
    OccurrenceSearch search = nullptr;
    int reveal = -1; // the mark scrolled into view; -1: none
};

} // namespace mt::platform
