// Files and the desktop's document opener.
#pragma once

#include <functional>
#include <string_view>

namespace mt::platform {

bool FileExists(std::string_view gbPath);
// Opens a document with the desktop's opener; false when that fails.
bool OpenDocument(std::string_view gbPath);
// Test seam: while set, OpenDocument hands the path here instead.
void SetDocumentOpener(std::function<bool(std::string_view gbPath)> opener);

} // namespace mt::platform
