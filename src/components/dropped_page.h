// A file dropped onto an edit box, read as a page is: a byte-order mark, a
// <meta> or the text "charset=…" name its encoding, else bytes that are
// valid UTF-8 are UTF-8; it is converted to GB18030 as browsers do, and
// kept as it is when it names no encoding we convert from, is in the GB
// family, or holds too many bad sequences for its encoding.
#pragma once

#include <string>

namespace mt {

std::string DecodeDroppedPage(std::string bytes);

} // namespace mt
