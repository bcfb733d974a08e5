// Text crosses the platform layer as GB18030 bytes. Qt holds UTF-16; these
// conversions never lose what a user types or pastes (GB18030 covers all of
// Unicode).
#pragma once

#include <string>
#include <string_view>

class QString;

namespace mt::platform {

QString FromGb(std::string_view gb);
std::string ToGb(const QString& text);

// UTF-8 for the world outside (clipboard, terminal).
std::string GbToUtf8(std::string_view gb);
// False when utf8 is not valid UTF-8.
bool Utf8ToGb(std::string_view utf8, std::string* gb);

} // namespace mt::platform
