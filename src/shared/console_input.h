// The input text of the command-line mode: a file or standard input, read
// whole up to its first zero byte and made a runtime text (GB18030).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "console_text.h"

namespace app {

// The most bytes a text may hold: its length and every position in it are
// 32-bit integers, and its block with the terminator must be countable too.
size_t InputLimit();

// Reads FILE (none or "-": standard input; a relative path is found from
// `directory`, an open directory or AT_FDCWD) into *text (null when empty) and
// its length into *length. False with a message naming the input and the
// reason (the system's, or "input too large") when it cannot be read, does
// not decode, or its text would pass InputLimit().
bool ReadInputText(const std::optional<std::string>& file, int directory, const ConsoleText& console,
                   Owned* text, int32_t* length, std::string* error);

} // namespace app
