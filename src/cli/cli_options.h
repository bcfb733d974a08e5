// The command line, parsed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shared/exit_status.h"

namespace app {

struct CliOptions {
    std::string command; // extract, find, fetch, code, test, suggest, help, version
    std::optional<std::string> left, right, text;
    std::vector<std::string> urls; // the URLs of fetch, in order
    // extract and find: the sources as given (FILE, -, URL, or DIRECTORY with
    // --recursive), in order; none and no --sources: standard input.
    std::vector<std::string> sources;
    std::optional<std::string> sourceList; // --sources LIST: more sources, one a line
    bool recursive = false;                // a directory source stands for its regular files
    bool withFilename = false;             // SOURCE: in front of every result, even of one source
    bool noFilename = false;               // no SOURCE: in front of any result
    bool json = false;                     // JSON Lines
    bool count = false;                    // the number of results per source
    bool ignoreCase = false;               // the search's own case rule
    std::optional<std::string> jobs;       // pages read at once
    bool gbk = false;
    bool all = false;     // extract: every middle text
    bool zero = false;    // extract --all: end each with a zero byte
    bool newline = false; // extract: a line break behind the single result
    bool raw = false;     // fetch: the bytes as received
    // The request options of fetch, and of extract and find for URL sources.
    std::optional<std::string> maxTime;           // seconds for the whole transfer
    std::optional<std::string> userAgent, cookie; // request fields
    std::vector<std::string> headers;             // "Name: value" lines, in order
    std::optional<std::string> retry;             // tries after the first
    bool silent = false;                          // fetch: no progress line
    // The bounds of transfers, as given (fetch, and extract and find for
    // URL sources).
    std::optional<std::string> connectTimeout;        // seconds for each connect, fractions allowed
    std::optional<std::string> speedLimit, speedTime; // the low-speed rule: bytes a second, for seconds
    std::optional<std::string> maxFileSize;           // SIZE: decoded bytes one page keeps
    std::optional<std::string> maxMemory;             // SIZE: bytes all pages in flight and waiting hold
    std::optional<std::string> lang;                  // code: the language of the subroutine
    std::string helpCommand;                          // COMMAND --help: the command whose usage is asked for
    // The network options under curl's names, on every command that reads pages.
    bool insecure = false;                // -k: no certificate or host-name check
    std::optional<std::string> caFile;    // --cacert FILE
    std::optional<std::string> proxy;     // -x URL, instead of the environment's
    std::optional<std::string> maxRedirs; // --max-redirs N
    bool noCompressed = false;            // --no-compressed: ask for no compression
    // fetch: where each page goes, and what is said of it.
    std::vector<std::string> outputs;      // -o FILE: the n-th for the n-th URL, the rest to standard output
    std::optional<std::string> dumpHeader; // -D FILE: the response header lines
    std::optional<std::string> writeOut;   // -w FORMAT: written behind each page
    bool fail = false;                     // -f: no body for an error status
    // extract and find: grep's names.
    bool quiet = false;                  // -q: the exit status only
    std::optional<std::string> maxCount; // -m N: at most N results a source
    bool filesWithMatches = false;       // -l: the names of the sources with a result
    std::optional<std::string> color;    // --color[=auto|always|never]
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
// The bounds of --max-redirs and -m.
inline constexpr int32_t kMaxRedirects = 1000;
inline constexpr int32_t kMaxCount = 999999999;

// The value of a whole number from `low` to `high` given as decimal digits;
// -1 when it is not one.
int32_t BoundedNumber(const std::string& value, int32_t low, int32_t high);
// Seconds as --max-time and --connect-timeout take them ("2", "0.5", "1.25"):
// more than 0 and at most kMaxSeconds, in milliseconds (at least 1); -1 when
// not such a number.
int64_t Milliseconds(const std::string& value);
// A size as --max-filesize and --max-memory take it: decimal digits, then
// K, M or G (2^10, 2^20, 2^30; either case) or nothing for bytes; from
// `low` to `high` bytes, else -1.
int64_t SizeValue(const std::string& value, int64_t low, int64_t high);
// The bounds of --max-filesize (the per-page cap it lowers), --max-memory
// and --speed-limit.
inline constexpr int64_t kMaxFileSize = int64_t{256} << 20;
inline constexpr int64_t kMaxMemory = int64_t{1} << 40;
inline constexpr int64_t kMaxSpeedLimit = int64_t{1} << 31;

// False with a message for a command line that cannot be used: one line
// naming the mistake, arguments echoed with EchoArgument.
bool ParseCliOptions(int argc, char** argv, CliOptions* options, std::string* error);

// The usage: of every command (`command` empty), or of one.
std::string CliUsage(const std::string& command);

// Every option name the parser knows (long and short), for the tests that
// keep the manual, the usage and the completions in step.
std::vector<std::string> CliOptionNames();

} // namespace app
