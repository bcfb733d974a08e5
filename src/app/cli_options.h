// The command line, parsed, and the exit statuses of the command-line mode.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace app {

// Exit statuses of the command-line mode; --help and the README list them.
enum ExitStatus : int {
    kExitDone = 0,
    kExitMessage = 1,   // the window would have shown a message
    kExitUsage = 2,     // command line, unreadable or undecodable input, input too large
    kExitOutput = 3,    // writing the output failed
    kExitPageEnded = 4, // the page ended early (fetch)
    kExitServerError = 5, // the server answered with an error status
    kExitUnreadable = 6,  // the page could not be read at all
};

struct CliOptions {
    std::string command; // extract, find, fetch, code, help, version
    std::optional<std::string> left, right, text;
    std::optional<std::string> file; // FILE (none: standard input), or the URL of fetch
    bool gbk = false;
    bool all = false;     // extract: every middle text
    bool zero = false;    // extract --all: end each with a zero byte
    bool newline = false; // extract: a line break behind the single result
    bool raw = false;     // fetch: the bytes as received
    std::optional<std::string> maxTime; // fetch: seconds for the whole transfer
    std::optional<std::string> lang;    // code: the language of the subroutine
};

// The seconds of --max-time: 1 to 999999999, else 0 (not a valid value).
int32_t MaxSeconds(const std::string& value);

// False with a message for a command line that cannot be used.
bool ParseCliOptions(int argc, char** argv, CliOptions* options, std::string* error);

extern const char kCliUsage[];

} // namespace app
