// A source's name as JSON shows it: UTF-8 from the bytes it was given in.
#pragma once

#include <string>
#include <string_view>

#include "shared/console_text.h"

namespace app {

// The name in UTF-8. A name that is valid UTF-8 with a character beyond
// ASCII is taken as it is whatever the terminal's encoding (a file name
// from the disk, or typed in UTF-8 under --gbk). Otherwise it is decoded
// from the terminal's encoding (GB18030 with --gbk) character by character:
// each byte that starts no character becomes U+FFFD on its own, the bytes
// behind it kept, and *lossy is set.
std::string SourceNameUtf8(const ConsoleText& console, std::string_view name, bool* lossy);

// The length of the GB18030 character at the start of `s` (1, 2 or 4), or
// 0 when its first byte starts none.
size_t Gb18030CharacterLength(std::string_view s);

} // namespace app
