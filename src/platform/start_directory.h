// The directory the program was started from. Start-up makes the program's
// own directory current; paths the user gave relative to where they started
// it (in the environment, say) are resolved against this one.
#pragma once

#include <string>

namespace mt::platform {

// Remembers the current directory; only the first call counts.
void RememberStartDirectory();

// `path` made absolute against the start directory (the current directory
// when none was remembered); absolute and empty paths come back unchanged.
std::string FromStartDirectory(const std::string& path);

} // namespace mt::platform
