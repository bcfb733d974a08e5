// The command line, parsed, and the exit statuses of the command-line mode.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    std::string command; // extract, find, fetch, code, test, suggest, help, version
    std::optional<std::string> left, right, text;
    std::optional<std::string> file; // the URL of fetch
    // extract and find: the sources as given (FILE, -, URL, or DIRECTORY with
    // --recursive), in order; none and no --sources: standard input.
    std::vector<std::string> sources;
    std::optional<std::string> sourceList; // --sources LIST: more sources, one a line
    bool recursive = false;    // a directory source stands for its regular files
    bool withFilename = false; // SOURCE: in front of every result, even of one source
    bool noFilename = false;   // no SOURCE: in front of any result
    bool json = false;         // JSON Lines
    bool count = false;        // the number of results per source
    bool ignoreCase = false;   // the search's own case rule
    std::optional<std::string> jobs; // pages read at once
    bool gbk = false;
    bool all = false;     // extract: every middle text
    bool zero = false;    // extract --all: end each with a zero byte
    bool newline = false; // extract: a line break behind the single result
    bool raw = false;     // fetch: the bytes as received
    // The request options of fetch, and of extract and find for URL sources.
    std::optional<std::string> maxTime; // seconds for the whole transfer
    std::optional<std::string> userAgent, cookie; // request fields
    std::vector<std::string> headers;   // "Name: value" lines, in order
    std::optional<std::string> retry;   // tries after the first
    bool silent = false;                // fetch: no progress line
    std::optional<std::string> lang;    // code: the language of the subroutine
    // test and suggest. test's case files and suggest's pages are in sources.
    std::optional<std::string> junit;  // test: JUnit XML written to this file
    bool update = false;               // test: the expectations of failing cases rewritten
    std::optional<std::string> middle; // suggest: the text wanted from one page
    std::optional<std::string> cases;  // suggest: pages and their texts, in a case file
};

// The bounds of --max-time (what the transfer library takes in seconds)
// and of --retry.
inline constexpr int32_t kMaxSeconds = 2147483;
inline constexpr int32_t kMaxRetries = 100;
// The bounds of --jobs, and the number when it is not given.
inline constexpr int32_t kMaxJobs = 256;
inline constexpr int32_t kDefaultJobs = 8;

// The value of a whole number from `low` to `high` given as decimal digits;
// -1 when it is not one.
int32_t BoundedNumber(const std::string& value, int32_t low, int32_t high);
// The seconds of --max-time: 1 to kMaxSeconds, else 0 (not a valid value).
int32_t MaxSeconds(const std::string& value);

// False with a message for a command line that cannot be used: one line
// naming the mistake, arguments echoed with EchoArgument.
bool ParseCliOptions(int argc, char** argv, CliOptions* options, std::string* error);

extern const char kCliUsage[];

} // namespace app
