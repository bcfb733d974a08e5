// The pieces of the command line's messages: arguments echoed safely, and
// the nearest known name for a mistyped one.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// An argument as a message may show it: control characters, DEL, C1
// controls and bytes that are not UTF-8 become \xHH, and a backslash \\, so
// that nothing in it reaches the terminal as a command.
std::string EchoArgument(std::string_view argument);

// The length of the UTF-8 character at the start of `s` (not empty) when it
// is whole and valid (no overlong form, surrogate or value beyond U+10FFFF);
// 0 otherwise.
size_t Utf8CharacterLength(std::string_view s);

// The edit distance between two texts: insertions, deletions and
// replacements of single bytes, and swaps of two neighbours.
size_t EditDistance(std::string_view a, std::string_view b);

// The name closest to `typed` when it is close enough to be the one meant
// (at most two edits, and fewer than half the name's letters); empty for
// none.
std::string ClosestName(std::string_view typed, const std::vector<std::string_view>& names);

} // namespace app
