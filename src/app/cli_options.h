// The command line, parsed.
#pragma once

#include <optional>
#include <string>

namespace app {

struct CliOptions {
    std::string command; // extract, find, fetch, code, help, version
    std::optional<std::string> left, right, text;
    std::optional<std::string> file; // none: standard input
    std::string url;
    bool gbk = false;
};

// False with a message for a command line that cannot be used.
bool ParseCliOptions(int argc, char** argv, CliOptions* options, std::string* error);

extern const char kCliUsage[];

} // namespace app
