// The options of the command line, one row each: the single definition that
// the parser reads, and that the shell completions are written from at build
// time (tools/cliopts). Adding an option is adding a row (and its field in
// CliOptions).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli_command_masks.h"
#include "cli_options.h"

namespace app::cli {

// What the shells offer for an option's value.
enum class Offer {
    kNone,   // a switch: no value
    kText,   // a value typed by the user: nothing offered
    kFile,   // a file name
    kUrl,    // a URL
    kWords,  // one of `words`
    kJoined, // one of `words`, and only joined as --name=VALUE (a bare name is allowed)
};

// One option: a value taken into a text field, a value added to a list (the
// options that may be repeated), or a switch; `commands` are those it
// belongs to.
struct OptionRow {
    const char* name;
    char shortName; // 0: none
    std::optional<std::string> CliOptions::*value;
    bool CliOptions::*flag;
    std::vector<std::string> CliOptions::*list;
    unsigned commands;
    Offer offer;
    const char* valueName; // what the value is, as the shells name it
    const char* summary;   // one line, as the shells list it
    const char* words;     // kWords and kJoined: the values, space-separated
    const char* excludes;  // the options it does not go with, space-separated
};

inline constexpr char kColor[] = "--color";

// The rows are in the order the shells offer them.
inline constexpr OptionRow kOptions[] = {
    {"--left", 0, &CliOptions::left, nullptr, nullptr, kExtract, Offer::kText, "left text", "the left text", "", ""},
    {"--right", 0, &CliOptions::right, nullptr, nullptr, kExtract, Offer::kText, "right text", "the right text", "", ""},
    {"--text", 0, &CliOptions::text, nullptr, nullptr, kFind, Offer::kText, "text", "the text to find", "", ""},
    {"--gbk", 0, nullptr, &CliOptions::gbk, nullptr, kAll, Offer::kNone, "",
     "read and write raw GB18030 bytes, arguments included", "", ""},
    {"--all", 0, nullptr, &CliOptions::all, nullptr, kExtract, Offer::kNone, "", "every middle text, in order", "", ""},
    {"--null", '0', nullptr, &CliOptions::zero, nullptr, kRule | kSuggest, Offer::kNone, "",
     "end each result with a zero byte", "", ""},
    {"--newline", 0, nullptr, &CliOptions::newline, nullptr, kExtract, Offer::kNone, "",
     "a line break behind the single middle text", "", ""},
    {"--raw", 0, nullptr, &CliOptions::raw, nullptr, kFetch, Offer::kNone, "", "the bytes as received", "", ""},
    // test and suggest
    {"--junit", 0, &CliOptions::junit, nullptr, nullptr, kTest, Offer::kFile, "file", "write JUnit XML to this file",
     "", ""},
    {"--update", 0, nullptr, &CliOptions::update, nullptr, kTest, Offer::kNone, "",
     "rewrite the expectations of failing cases", "", ""},
    {"--middle", 0, &CliOptions::middle, nullptr, nullptr, kSuggest, Offer::kText, "text",
     "the text wanted from each page", "", "--cases"},
    {"--cases", 0, &CliOptions::cases, nullptr, nullptr, kSuggest, Offer::kFile, "case file",
     "pages and their wanted texts, in a case file", "", "--middle"},
    {"--max-time", 0, &CliOptions::maxTime, nullptr, nullptr, kRequest, Offer::kText, "seconds",
     "give up on a URL after this many seconds in all", "", ""},
    {"--silent", 's', nullptr, &CliOptions::silent, nullptr, kRequest, Offer::kNone, "",
     "no progress line on standard error", "", ""},
    {"--user-agent", 'A', &CliOptions::userAgent, nullptr, nullptr, kRequest, Offer::kText, "user agent",
     "the User-Agent header to send", "", ""},
    {"--header", 'H', nullptr, nullptr, &CliOptions::headers, kRequest, Offer::kText, "header (Name: value)",
     "a request header to send", "", ""},
    {"--cookie", 'b', &CliOptions::cookie, nullptr, nullptr, kRequest, Offer::kText, "cookie (name=value; ...)",
     "cookies to send", "", ""},
    {"--retry", 0, &CliOptions::retry, nullptr, nullptr, kRequest, Offer::kText, "number",
     "attempts after a transient failure", "", ""},
    {"--sources", 0, &CliOptions::sourceList, nullptr, nullptr, kRule, Offer::kFile, "list",
     "read more sources from a list, one a line", "", ""},
    {"--recursive", 'r', nullptr, &CliOptions::recursive, nullptr, kRule, Offer::kNone, "",
     "take the regular files of directories, in name order", "", ""},
    {"--with-filename", 0, nullptr, &CliOptions::withFilename, nullptr, kRule, Offer::kNone, "",
     "put the source in front of every result", "", "--no-filename"},
    {"--no-filename", 0, nullptr, &CliOptions::noFilename, nullptr, kRule, Offer::kNone, "",
     "no source in front of the results", "", "--with-filename"},
    {"--json", 0, nullptr, &CliOptions::json, nullptr, kRule | kTest | kSuggest, Offer::kNone, "",
     "print JSON: an object per result or case, or the pair", "", ""},
    {"--count", 0, nullptr, &CliOptions::count, nullptr, kRule, Offer::kNone, "",
     "print the number of results per source", "", ""},
    {"--ignore-case", 'i', nullptr, &CliOptions::ignoreCase, nullptr, kRule, Offer::kNone, "",
     "compare letters without regard to case", "", ""},
    {"--jobs", 'j', &CliOptions::jobs, nullptr, nullptr, kRule | kTest | kSuggest, Offer::kText, "number",
     "URLs transferred at once", "", ""},
    {"--lang", 0, &CliOptions::lang, nullptr, nullptr, kCode, Offer::kWords, "language",
     "the language of the subroutine", "python javascript c java go php", ""},
    // The network under curl's names.
    {"--insecure", 'k', nullptr, &CliOptions::insecure, nullptr, kRequest, Offer::kNone, "",
     "accept any certificate of an https server", "", ""},
    {"--cacert", 0, &CliOptions::caFile, nullptr, nullptr, kRequest, Offer::kFile, "certificate file",
     "trust the certificates in this file", "", ""},
    {"--proxy", 'x', &CliOptions::proxy, nullptr, nullptr, kRequest, Offer::kUrl, "proxy URL",
     "read pages through this proxy", "", ""},
    {"--max-redirs", 0, &CliOptions::maxRedirs, nullptr, nullptr, kRequest, Offer::kText, "number",
     "follow at most this many redirects", "", ""},
    {"--no-compressed", 0, nullptr, &CliOptions::noCompressed, nullptr, kRequest, Offer::kNone, "",
     "ask for the page uncompressed", "", ""},
    {"--output", 'o', nullptr, nullptr, &CliOptions::outputs, kFetch, Offer::kFile, "file",
     "the page of the URL in the same place into this file", "", ""},
    {"--dump-header", 'D', &CliOptions::dumpHeader, nullptr, nullptr, kFetch, Offer::kFile, "file",
     "the response header lines into this file", "", ""},
    {"--write-out", 'w', &CliOptions::writeOut, nullptr, nullptr, kFetch, Offer::kText, "format",
     "this format behind each page", "", ""},
    {"--fail", 'f', nullptr, &CliOptions::fail, nullptr, kFetch, Offer::kNone, "", "no body for an error status", "",
     ""},
    // grep's names.
    {"--quiet", 'q', nullptr, &CliOptions::quiet, nullptr, kRule, Offer::kNone, "",
     "print nothing: the exit status tells", "", ""},
    {"--max-count", 'm', &CliOptions::maxCount, nullptr, nullptr, kRule, Offer::kText, "number",
     "at most this many results of each source", "", ""},
    {"--files-with-matches", 'l', nullptr, &CliOptions::filesWithMatches, nullptr, kRule, Offer::kNone, "",
     "the name of each source with a result", "", ""},
    {kColor, 0, &CliOptions::color, nullptr, nullptr, kRule, Offer::kJoined, "when",
     "the middle text and the names in colour", "auto always never", ""}, // bare: auto
    // The bounds of transfers.
    {"--connect-timeout", 0, &CliOptions::connectTimeout, nullptr, nullptr, kRequest, Offer::kText, "seconds",
     "give up a connection after this many seconds", "", ""},
    {"--speed-limit", 'Y', &CliOptions::speedLimit, nullptr, nullptr, kRequest, Offer::kText, "bytes a second",
     "the low-speed rule: bytes a second", "", ""},
    {"--speed-time", 'y', &CliOptions::speedTime, nullptr, nullptr, kRequest, Offer::kText, "seconds",
     "the low-speed rule: for this many seconds", "", ""},
    {"--max-filesize", 0, &CliOptions::maxFileSize, nullptr, nullptr, kRequest, Offer::kText, "size (K, M, G)",
     "keep at most this many decoded bytes of a page", "", ""},
    {"--max-memory", 0, &CliOptions::maxMemory, nullptr, nullptr, kRequest, Offer::kText, "size (K, M, G)",
     "the bytes all pages in flight and waiting may hold", "", ""},
};

// The commands as the shells list them, with what their operands are.
struct CommandOffer {
    const char* name;
    Command command;
    Offer operands; // kNone: nothing follows
    const char* operandName;
    const char* summary;
};

inline constexpr CommandOffer kCommandOffers[] = {
    {"extract", kExtract, Offer::kFile, "file or URL", "print the text between a left text and the next right text"},
    {"find", kFind, Offer::kFile, "file or URL", "print the byte positions of a text, occurrence by occurrence"},
    {"fetch", kFetch, Offer::kUrl, "URL", "print a web page, decoded from the charset it declares"},
    {"code", kCode, Offer::kNone, "", "print the generated extraction subroutine"},
    {"test", kTest, Offer::kFile, "case file", "run the cases of case files and say which pass"},
    {"suggest", kSuggest, Offer::kFile, "file or URL", "print a left and a right text that extract a wanted text"},
};

} // namespace app::cli
