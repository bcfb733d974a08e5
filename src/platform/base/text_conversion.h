// The one iconv conversion behind every text conversion of the platform,
// those of the window's own text types included.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mt::platform {

// Converts `in` from `from` to `to` (iconv names) into *out; the characters
// iconv leaves unmapped that GB18030 has codes for are filled in
// (abi/gb18030.h). Other invalid input stops the conversion when strict
// (false), else each undecodable input unit (`unitWidth` bytes) becomes
// `replacement`. False too when iconv knows either name not.
bool ConvertText(const char* to, const char* from, std::string_view in, std::string* out, bool strict,
                 std::string_view replacement, size_t unitWidth = 1);

} // namespace mt::platform
