// Reads the readable window description (UTF-8) into template structs.
#pragma once

#include <string>
#include <vector>

#include "windows/template_types.h"

namespace tools {

struct ParsedLayout {
    int programMode = 0;
    std::vector<mt::WindowDescription> windows;
    std::vector<std::string> windowNames;                         // one per window
    std::vector<std::pair<std::string, uint32_t>> componentNames; // identifier, id
    std::vector<std::string> handlers;                            // code-base table order
};

// Parses the layout file; on failure returns false with "file:line: why".
bool ParseLayout(const std::string& path, ParsedLayout* out, std::string* error);

} // namespace tools
