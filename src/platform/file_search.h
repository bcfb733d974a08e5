// Directory search by wildcard pattern, with Windows-style attribute words.
#pragma once

#include <cstdint>
#include <string>

namespace mt::platform {

// Attribute bits reported for an entry.
inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrHidden = 0x02;
inline constexpr uint32_t kAttrDirectory = 0x10;

struct FileSearch;

// Starts a search for `pattern` (GB18030; wildcards * and ? in the last path
// component). Null when the directory cannot be read.
FileSearch* BeginFileSearch(const std::string& pattern);
// The next matching entry's name (GB18030) and attributes; false at the end.
// Plain files have the attribute word 0.
bool NextFileEntry(FileSearch* search, std::string* name, uint32_t* attributes);
void EndFileSearch(FileSearch* search);

} // namespace mt::platform
