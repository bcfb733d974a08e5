// Files and the desktop's document opener.
#pragma once

#include <string_view>

namespace mt::platform {

bool FileExists(std::string_view gbPath);
// Opens a document with the desktop's opener; false when that fails.
bool OpenDocument(std::string_view gbPath);

} // namespace mt::platform
