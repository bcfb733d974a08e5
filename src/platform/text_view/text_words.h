// Words in a TextBuffer, for Ctrl+arrows, Ctrl+Backspace/Delete and the
// double click: one walk for all of them.
//
// A line is cut into pieces at Unicode word boundaries (UAX #29): words,
// runs of spaces, and runs of punctuation and symbols, so full-width marks
// such as ，。「」、！？（ separate words as ASCII ones do. Unicode puts a
// boundary between any two ideographs; without a dictionary that is every
// character, so a run of ideographs between other pieces reads as one word.
// The walk reads at most kWordWindow bytes either side of the position: a
// longer word is cut there.
#pragma once

#include <cstddef>

namespace mt::platform {

class TextBuffer;

inline constexpr size_t kWordWindow = 1024;

// Ctrl+Right: past the piece at pos and the spaces after it; a line break is
// stepped over whole.
size_t WordRight(const TextBuffer& text, size_t pos);
// Ctrl+Left: back over spaces, then to the start of the piece before; from
// a line's start, back over the line break.
size_t WordLeft(const TextBuffer& text, size_t pos);
// The double click: the piece that holds pos, as [*start, *end); empty at a
// line break or the end.
void WordAt(const TextBuffer& text, size_t pos, size_t* start, size_t* end);

} // namespace mt::platform
