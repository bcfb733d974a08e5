#include "cli_options.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string_view>

#include "cli_messages.h"
#include "code_languages.h"

namespace app {

const char kCliUsage[] =
    "Usage: middletext                 start the window\n"
    "       middletext extract --left L --right R [OPTIONS] [SOURCE]...\n"
    "       middletext find --text W [OPTIONS] [SOURCE]...\n"
    "       middletext fetch [--raw] [-s] [--max-time SECONDS] [-A UA] [-H 'NAME: VALUE']...\n"
    "                        [-b 'NAME=VALUE; ...'] [--retry N] URL\n"
    "       middletext code [--lang python|javascript|c|java|go|php]\n"
    "       middletext test [--json] [--junit FILE] [--update] [-j N] [REQUEST OPTIONS] CASEFILE...\n"
    "       middletext suggest (--middle TEXT SOURCE... | --cases FILE) [--json | -0] [-j N]\n"
    "                          [REQUEST OPTIONS]\n"
    "       middletext -h | --help | -V | --version\n"
    "\n"
    "extract  print the text between the first L in the input and the next R behind it\n"
    "         --all      every such text in order, each on a line of its own; the next L\n"
    "                    is sought behind the last R\n"
    "         --newline  a line break behind the single text\n"
    "find     print the byte positions (1-based) of W, occurrence by occurrence\n"
    "         A SOURCE is a FILE, - (standard input), an http:// or https:// URL (read as\n"
    "         fetch reads it, with its request options), or with -r a DIRECTORY. None:\n"
    "         standard input. Each source runs the same rule; the results come in the\n"
    "         order the sources were given.\n"
    "         -r, --recursive    a DIRECTORY stands for its regular files, in name order,\n"
    "                            those of its subdirectories included (links not followed)\n"
    "         --sources LIST     more sources from the file LIST, one a line, behind those\n"
    "                            given (- : standard input; then no source may be -)\n"
    "         -i, --ignore-case  the search's own case rule: the letters A-Z and a-z match\n"
    "                            each other in every byte, bytes of Chinese characters too\n"
    "         --with-filename    SOURCE: in front of every result (the default for more\n"
    "                            than one source, --sources or -r); --no-filename: never\n"
    "         -0, --null         end every result with a zero byte instead of a line break\n"
    "         --count            the number of results of each source\n"
    "         --json             JSON Lines in UTF-8: source, index (0-based), middle (find:\n"
    "                            text), start and end (1-based bytes of the GB18030 text),\n"
    "                            status found, not_found (message), error (reason) or\n"
    "                            ended_early (reason); http_status for pages; \"lossy\": true\n"
    "                            when bytes that do not decode became U+FFFD\n"
    "         -j, --jobs N       pages to read at once, 1 to 256 (default 8)\n"
    "fetch    print the page at URL (http:// or https://) as the window would show it.\n"
    "         A page is decoded from the charset it declares (byte-order mark, Content-Type\n"
    "         header, <meta>, or charset=utf-8 in its text). One that declares none, or JSON\n"
    "         or other text without a charset, is read as UTF-8 when it is valid UTF-8 with\n"
    "         at least one multi-byte character; anything else is printed as received. A\n"
    "         page that converts except for a few bad bytes keeps the rest, each bad\n"
    "         sequence becoming U+FFFD, and a warning says how many bytes were replaced.\n"
    "         Compressed bodies (gzip, deflate, br) are decoded.\n"
    "         --raw              the page's bytes, decompressed but not converted\n"
    "         -s, --silent       no progress line on a terminal (warnings still show)\n"
    "         --max-time S       give up after S seconds in all (a whole number, 1 to 2147483)\n"
    "         -A, --user-agent UA             send UA as the User-Agent\n"
    "         -H, --header 'NAME: VALUE'      send this header line (may be repeated)\n"
    "         -b, --cookie 'NAME=VALUE; ...'  send these cookies\n"
    "         --retry N          try up to N times more (0 to 100) after a failed connection,\n"
    "                            a time-out or a 5xx answer, waiting 1 s, then 2 s, 4 s, ...,\n"
    "                            or as long as the server's Retry-After asks (up to 60 s)\n"
    "code     print the generated extraction subroutine\n"
    "         --lang      the same extraction in Python, JavaScript, C (over UTF-8 bytes),\n"
    "                     Java, Go or PHP\n"
    "test     run every case of the case files (JSON Lines, one case a line: name, source,\n"
    "         source_gbk, left or left_gbk, right or right_gbk, all, expect or expect_gbk)\n"
    "         as extract runs its rule, and print ok NAME, FAIL NAME (expected and got, and\n"
    "         why a text was not found) or ERROR NAME (the source could not be read), then\n"
    "         N passed, N failed, N errors. A source is a file, found from the case file's\n"
    "         folder, or an http:// or https:// URL read as fetch reads it (the REQUEST\n"
    "         OPTIONS of fetch); each is read once, -j N at once. A malformed line is named\n"
    "         as FILE:LINE: reason and then no case runs.\n"
    "         --json             one object per case: file, line, name, status (ok, fail or\n"
    "                            error), expect, got, hint, error, reason; the summary goes\n"
    "                            to standard error\n"
    "         --junit FILE       write the outcome as JUnit XML to FILE\n"
    "         --update           rewrite the expectations of failing cases with what they\n"
    "                            give now (expect_gbk when that is not UTF-8); every other\n"
    "                            line stays as it is\n"
    "suggest  print a left and a right text, each on a line of its own, whose extraction\n"
    "         gives the wanted text from every page\n"
    "         --middle TEXT      the text wanted from each SOURCE: any of its occurrences\n"
    "         --cases FILE       the pages and texts of a case file: source (source_gbk) and\n"
    "                            expect (expect_gbk) of each line; left and right are ignored\n"
    "         --json             print {\"left\": ..., \"right\": ...}\n"
    "         -0, --null         end each text with a zero byte (a text that holds a line\n"
    "                            break needs -0 or --json)\n"
    "\n"
    "A relative FILE, DIRECTORY or LIST, and a relative path in a LIST, is found from the\n"
    "directory the program was started in; a zero byte ends a text. Input and output are in\n"
    "the locale's encoding (UTF-8); --gbk reads and writes raw GB18030 bytes, arguments\n"
    "included. Options take their value as --left L or --left=L (-A UA or -AUA); -- ends\n"
    "the options.\n"
    "\n"
    "Environment: http_proxy (lower case only), https_proxy or HTTPS_PROXY, and all_proxy\n"
    "or ALL_PROXY name the proxy pages are read through; no_proxy or NO_PROXY lists the\n"
    "hosts reached directly. SSL_CERT_FILE or CURL_CA_BUNDLE names the certificates trusted\n"
    "for https:// pages.\n"
    "\n"
    "Exit status: 0 done; 1 the window's message (on standard error); 2 a command line that\n"
    "cannot be used, or input that cannot be read, does not decode or is too large; 3 the\n"
    "output could not be written; 4 the page ended early (what arrived is used, then a\n"
    "warning with the reason on standard error); 5 the server answered with an error status\n"
    "(the page is used, then a warning naming the status); 6 the page could not be read\n"
    "at all (no connection, name not resolved, TLS refused: the message and the reason on\n"
    "standard error). With several sources: 0 when every source gave a result, else the\n"
    "highest that applies (1 for a source that gave none); each failed source is named on\n"
    "standard error. A command line that cannot be used and a failed write stop at once.\n"
    "test: 2 a command line or case file that cannot be used (no case runs), else 1 when a\n"
    "case failed, else the highest status of the sources (4 to 6), else 0. suggest: 1 when\n"
    "no pair exists (the reason on standard error), 2, or 4 to 6 for the sources.\n";

namespace {

enum Command : unsigned { kExtract = 1, kFind = 2, kFetch = 4, kCode = 8, kTest = 16, kSuggest = 32 };

// The commands, what follows each, and the options each needs.
struct CommandRow {
    const char* name;
    Command command;
    const char* operand; // FILE, URL, or null for none
    bool operandRequired;
    const char* required[2]; // options it cannot do without
};

constexpr CommandRow kCommands[] = {
    {"extract", kExtract, "FILE", false, {"--left", "--right"}},
    {"find", kFind, "FILE", false, {"--text", nullptr}},
    {"fetch", kFetch, "URL", true, {nullptr, nullptr}},
    {"code", kCode, nullptr, false, {nullptr, nullptr}},
    {"test", kTest, "CASEFILE", true, {nullptr, nullptr}},
    {"suggest", kSuggest, "SOURCE", false, {nullptr, nullptr}},
};

// One option: a value taken into a text field, a value added to a list (the
// one option that may be repeated), or a switch; `commands` are those it
// belongs to. Adding an option is adding a row (and its field).
struct OptionRow {
    const char* name;
    char shortName; // 0: none
    std::optional<std::string> CliOptions::*value;
    bool CliOptions::*flag;
    std::vector<std::string> CliOptions::*list;
    unsigned commands;
};

constexpr unsigned kAll = kExtract | kFind | kFetch | kCode | kTest | kSuggest;

constexpr unsigned kRequest = kExtract | kFind | kFetch | kTest | kSuggest; // what reads pages
constexpr unsigned kRule = kExtract | kFind;             // what runs on sources

constexpr OptionRow kOptions[] = {
    {"--left", 0, &CliOptions::left, nullptr, nullptr, kExtract},
    {"--right", 0, &CliOptions::right, nullptr, nullptr, kExtract},
    {"--text", 0, &CliOptions::text, nullptr, nullptr, kFind},
    {"--gbk", 0, nullptr, &CliOptions::gbk, nullptr, kAll},
    {"--all", 0, nullptr, &CliOptions::all, nullptr, kExtract},
    {"--null", '0', nullptr, &CliOptions::zero, nullptr, kRule | kSuggest},
    {"--newline", 0, nullptr, &CliOptions::newline, nullptr, kExtract},
    {"--raw", 0, nullptr, &CliOptions::raw, nullptr, kFetch},
    {"--max-time", 0, &CliOptions::maxTime, nullptr, nullptr, kRequest},
    {"--silent", 's', nullptr, &CliOptions::silent, nullptr, kFetch},
    {"--user-agent", 'A', &CliOptions::userAgent, nullptr, nullptr, kRequest},
    {"--header", 'H', nullptr, nullptr, &CliOptions::headers, kRequest},
    {"--cookie", 'b', &CliOptions::cookie, nullptr, nullptr, kRequest},
    {"--retry", 0, &CliOptions::retry, nullptr, nullptr, kRequest},
    {"--sources", 0, &CliOptions::sourceList, nullptr, nullptr, kRule},
    {"--recursive", 'r', nullptr, &CliOptions::recursive, nullptr, kRule},
    {"--with-filename", 0, nullptr, &CliOptions::withFilename, nullptr, kRule},
    {"--no-filename", 0, nullptr, &CliOptions::noFilename, nullptr, kRule},
    {"--json", 0, nullptr, &CliOptions::json, nullptr, kRule | kTest | kSuggest},
    {"--count", 0, nullptr, &CliOptions::count, nullptr, kRule},
    {"--ignore-case", 'i', nullptr, &CliOptions::ignoreCase, nullptr, kRule},
    {"--jobs", 'j', &CliOptions::jobs, nullptr, nullptr, kRule | kTest | kSuggest},
    {"--lang", 0, &CliOptions::lang, nullptr, nullptr, kCode},
    // test and suggest
    {"--junit", 0, &CliOptions::junit, nullptr, nullptr, kTest},
    {"--update", 0, nullptr, &CliOptions::update, nullptr, kTest},
    {"--middle", 0, &CliOptions::middle, nullptr, nullptr, kSuggest},
    {"--cases", 0, &CliOptions::cases, nullptr, nullptr, kSuggest},
};
static_assert(std::size(kOptions) <= 32, "the parser marks the options given in one 32-bit word");

bool IsShort(const OptionRow& row, std::string_view arg)
{
    return row.shortName && arg.size() >= 2 && arg[0] == '-' && arg[1] == row.shortName;
}

// The row of an option as given: --name, --name=value, -x, or -xVALUE for
// a short option that takes a value.
const OptionRow* FindOption(std::string_view arg)
{
    for (const OptionRow& row : kOptions) {
        if (arg == row.name || (IsShort(row, arg) && (arg.size() == 2 || !row.flag)))
            return &row;
    }
    return nullptr;
}

const CommandRow* FindCommand(std::string_view name)
{
    for (const CommandRow& row : kCommands) {
        if (name == row.name)
            return &row;
    }
    return nullptr;
}

// " (did you mean X?)" for the known name closest to `typed`, or nothing.
std::string Suggestion(std::string_view typed, bool option)
{
    std::vector<std::string_view> names;
    if (option) {
        for (const OptionRow& row : kOptions)
            names.push_back(row.name);
        names.insert(names.end(), {"--help", "--version"});
    } else {
        for (const CommandRow& row : kCommands)
            names.push_back(row.name);
    }
    const std::string closest = ClosestName(typed, names);
    return closest.empty() ? std::string() : " (did you mean " + closest + "?)";
}

// A header line as "Name: value": a name of visible characters without a
// colon, then a colon.
bool IsHeaderLine(std::string_view line)
{
    const size_t colon = line.find(':');
    if (colon == 0 || colon == std::string_view::npos)
        return false;
    for (const char c : line.substr(0, colon)) {
        if (c <= ' ' || c == 0x7F)
            return false;
    }
    return true;
}

class Parser {
public:
    Parser(CliOptions* o, std::string* error) : o_(o), error_(error) {}

    bool run(int argc, char** argv)
    {
        bool optionsEnded = false;
        for (int i = 1; i < argc; ++i) {
            const std::string_view a = argv[i];
            if (!optionsEnded && a == "--") {
                optionsEnded = true;
            } else if (!optionsEnded && (a == "--help" || a == "-h")) {
                o_->command = "help";
                return true;
            } else if (!optionsEnded && (a == "--version" || a == "-V")) {
                o_->command = "version";
                return true;
            } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
                if (!option(a, argc, argv, &i))
                    return false;
            } else if (!operand(a)) {
                return false;
            }
        }
        return check();
    }

private:
    bool fail(std::string message)
    {
        *error_ = std::move(message);
        return false;
    }

    bool option(std::string_view a, int argc, char** argv, int* i)
    {
        const size_t equals = a.substr(0, 2) == "--" ? a.find('=') : std::string_view::npos;
        const std::string_view name = a.substr(0, equals);
        const OptionRow* row = FindOption(name);
        if (!row)
            return fail("unknown option " + EchoArgument(name) + Suggestion(name, true));
        const size_t index = static_cast<size_t>(row - kOptions);
        if ((seen_ & (1u << index)) && !row->list)
            return fail(std::string(row->name) + " given twice");
        seen_ |= 1u << index;
        given_ |= row->commands == kAll ? 0 : 1u << index;
        std::string value;
        if (row->flag) {
            if (equals != std::string_view::npos)
                return fail(std::string(row->name) + " takes no value");
            o_->*row->flag = true;
            return true;
        }
        if (equals != std::string_view::npos)
            value = a.substr(equals + 1);
        else if (a.size() > 2 && a[1] != '-')
            value = a.substr(2); // -xVALUE
        else if (*i + 1 < argc)
            value = argv[++*i];
        else
            return fail(std::string(row->name) + " needs a value");
        if (row->list)
            (o_->*row->list).push_back(std::move(value));
        else
            o_->*row->value = std::move(value);
        return true;
    }

    bool operand(std::string_view a)
    {
        if (!command_) {
            command_ = FindCommand(a);
            if (!command_)
                return fail("unknown command " + EchoArgument(a) + Suggestion(a, false));
            o_->command = command_->name;
            return true;
        }
        if (command_->command & (kExtract | kFind | kTest | kSuggest)) {
            o_->sources.emplace_back(a);
            return true;
        }
        if (!command_->operand || o_->file)
            return fail("unexpected argument " + EchoArgument(a));
        o_->file = std::string(a);
        return true;
    }

    bool check()
    {
        if (!command_)
            return fail("no command given");
        for (size_t k = 0; k < std::size(kOptions); ++k) {
            if ((given_ & (1u << k)) && !(kOptions[k].commands & command_->command))
                return fail(std::string(kOptions[k].name) + " is not an option of " + command_->name);
        }
        for (const char* name : command_->required) {
            if (name && !(seen_ & (1u << (FindOption(name) - kOptions))))
                return fail(std::string(command_->name) + " needs " + name);
        }
        if (command_->operandRequired && !o_->file && o_->sources.empty())
            return fail(std::string(command_->name) + " needs " + command_->operand);
        if (!checkTestAndSuggest())
            return false;
        if (o_->newline && o_->all)
            return fail("--newline is for a single text; --all ends every text");
        if (o_->newline && o_->zero)
            return fail("--newline and -0 both end the text: give one");
        if (o_->json && (o_->count || o_->zero || o_->newline))
            return fail(std::string("--json takes no ") + (o_->count ? "--count" : o_->zero ? "-0" : "--newline"));
        if (o_->withFilename && o_->noFilename)
            return fail("--with-filename and --no-filename: give one");
        if (o_->jobs && BoundedNumber(*o_->jobs, 1, kMaxJobs) < 0)
            return fail("--jobs needs a whole number from 1 to " + std::to_string(kMaxJobs));
        if (o_->sourceList && *o_->sourceList == "-" &&
            std::find(o_->sources.begin(), o_->sources.end(), "-") != o_->sources.end())
            return fail("--sources - reads standard input: no source may be -");
        if (o_->maxTime && MaxSeconds(*o_->maxTime) == 0)
            return fail("--max-time needs a whole number of seconds from 1 to " + std::to_string(kMaxSeconds));
        if (o_->retry && BoundedNumber(*o_->retry, 0, kMaxRetries) < 0)
            return fail("--retry needs a whole number from 0 to " + std::to_string(kMaxRetries));
        if (o_->lang && !CodeInLanguage(*o_->lang))
            return fail("--lang takes " + std::string(kCodeLanguageNames) + ", not " + EchoArgument(*o_->lang));
        return checkRequestFields();
    }

    // test and suggest: what goes with what.
    bool checkTestAndSuggest()
    {
        if (command_->command != kSuggest)
            return true;
        if (o_->middle.has_value() == o_->cases.has_value())
            return fail("suggest needs --middle TEXT and one SOURCE or more, or --cases FILE: give one");
        if (o_->middle && o_->sources.empty())
            return fail("suggest --middle needs a SOURCE");
        if (o_->cases && !o_->sources.empty())
            return fail("suggest --cases reads its sources from the file: no SOURCE may be given");
        return true;
    }

    // What goes into the request: no control characters (a line break would
    // start a header of its own), headers as "Name: value", cookies as
    // "name=value" pairs (not a file of them).
    bool checkRequestFields()
    {
        const auto plain = [](const std::string& v) {
            return std::none_of(v.begin(), v.end(), [](char c) { return (c >= 0 && c < ' ' && c != '\t') || c == 0x7F; });
        };
        if (o_->userAgent && !plain(*o_->userAgent))
            return fail("--user-agent holds a control character");
        if (o_->cookie && !plain(*o_->cookie))
            return fail("--cookie holds a control character");
        if (o_->cookie && o_->cookie->find('=') == std::string::npos)
            return fail("--cookie needs 'name=value; ...', not " + EchoArgument(*o_->cookie));
        for (const std::string& header : o_->headers) {
            if (!plain(header))
                return fail("--header holds a control character");
            if (!IsHeaderLine(header))
                return fail("--header needs 'Name: value', not " + EchoArgument(header));
        }
        return true;
    }

    CliOptions* o_;
    std::string* error_;
    const CommandRow* command_ = nullptr;
    unsigned seen_ = 0;  // options given, by row
    unsigned given_ = 0; // of those, the ones that belong to some commands only
};

} // namespace

int32_t BoundedNumber(const std::string& value, int32_t low, int32_t high)
{
    if (value.empty() || value.size() > 9 || value.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    const long number = std::stol(value);
    return number < low || number > high ? -1 : static_cast<int32_t>(number);
}

int32_t MaxSeconds(const std::string& value)
{
    return std::max(BoundedNumber(value, 1, kMaxSeconds), 0);
}

bool ParseCliOptions(int argc, char** argv, CliOptions* o, std::string* error)
{
    return Parser(o, error).run(argc, argv);
}

} // namespace app
