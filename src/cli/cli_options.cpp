#include "cli_options.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string_view>

#include "cli_command_masks.h"
#include "cli_context.h"
#include "code_languages.h"
#include "option_table.h"
#include "shared/cli_messages.h"
#include "write_out.h"

namespace app {
namespace {

using namespace cli;

// The commands, what follows each, the options each needs, and what runs it.
struct CommandRow {
    const char* name;
    Command command;
    const char* operand; // FILE, URL, or null for none
    bool operandRequired;
    const char* required[2]; // options it cannot do without
    int (*run)(const CliContext& context);
};

constexpr CommandRow kCommands[] = {
    {"extract", kExtract, "FILE", false, {"--left", "--right"}, RunOnInput},
    {"find", kFind, "FILE", false, {"--text", nullptr}, RunOnInput},
    {"fetch", kFetch, "URL", true, {nullptr, nullptr}, RunFetch},
    {"code", kCode, nullptr, false, {nullptr, nullptr}, RunCode},
    {"test", kTest, "CASEFILE", true, {nullptr, nullptr}, RunTest},
    {"suggest", kSuggest, "SOURCE", false, {nullptr, nullptr}, RunSuggest},
};

static_assert(std::size(kOptions) <= 64, "the parser marks the options given in one 64-bit word");

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
            names.emplace_back(row.name);
        names.insert(names.end(), {"--help", "--version"});
    } else {
        for (const CommandRow& row : kCommands)
            names.emplace_back(row.name);
    }
    const std::string closest = ClosestName(typed, names);
    return closest.empty() ? std::string() : " (did you mean " + closest + "?)";
}

// A value without control characters (a tab allowed).
bool Plain(const std::string& v)
{
    return std::none_of(v.begin(), v.end(), [](char c) { return (c >= 0 && c < ' ' && c != '\t') || c == 0x7F; });
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

uint64_t Bit(size_t row) { return uint64_t{1} << row; }

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
                o_->helpCommand = command_ ? command_->name : "";
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
        if ((seen_ & Bit(index)) && !row->list)
            return fail(std::string(row->name) + " given twice");
        seen_ |= Bit(index);
        given_ |= row->commands == kAll ? 0 : Bit(index);
        std::string value;
        if (row->name == kColor && equals == std::string_view::npos) {
            o_->color = "auto"; // the value only as --color=WHEN
            return true;
        }
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
        if (!command_->operand)
            return fail("unexpected argument " + EchoArgument(a));
        o_->urls.emplace_back(a);
        return true;
    }

    bool check()
    {
        if (!command_)
            return fail("no command given");
        for (size_t k = 0; k < std::size(kOptions); ++k) {
            if ((given_ & Bit(k)) && !(kOptions[k].commands & command_->command))
                return fail(std::string(kOptions[k].name) + " is not an option of " + command_->name);
        }
        for (const char* name : command_->required) {
            if (name && !(seen_ & Bit(static_cast<size_t>(FindOption(name) - kOptions))))
                return fail(std::string(command_->name) + " needs " + name);
        }
        if (command_->operandRequired && o_->urls.empty() && o_->sources.empty())
            return fail(std::string(command_->name) + " needs " + command_->operand);
        if (!checkTestAndSuggest())
            return false;
        if (o_->newline && o_->all)
            return fail("--newline is for a single text; --all ends every text");
        if (o_->newline && o_->zero)
            return fail("--newline and -0 both end the text: give one");
        if (o_->json && (o_->count || o_->zero || o_->newline))
            return fail(std::string("--json takes no ") + (o_->count ? "--count" : o_->zero ? "-0"
                                                                                            : "--newline"));
        if (o_->withFilename && o_->noFilename)
            return fail("--with-filename and --no-filename: give one");
        if (o_->jobs && BoundedNumber(*o_->jobs, 1, kMaxJobs) < 0)
            return fail("--jobs needs a whole number from 1 to " + std::to_string(kMaxJobs));
        if (o_->sourceList && *o_->sourceList == "-" &&
            std::find(o_->sources.begin(), o_->sources.end(), "-") != o_->sources.end())
            return fail("--sources - reads standard input: no source may be -");
        if (!checkBounds())
            return false;
        if (o_->retry && BoundedNumber(*o_->retry, 0, kMaxRetries) < 0)
            return fail("--retry needs a whole number from 0 to " + std::to_string(kMaxRetries));
        if (!checkCurlOptions() || !checkGrepOptions())
            return false;
        if (o_->lang && !CodeInLanguage(*o_->lang))
            return fail("--lang takes " + std::string(kCodeLanguageNames) + ", not " + EchoArgument(*o_->lang));
        return checkRequestFields();
    }

    // The bounds of transfers: times in seconds (fractions allowed), sizes
    // with K, M or G.
    bool checkBounds()
    {
        const std::string most = std::to_string(kMaxSeconds);
        if (o_->maxTime && Milliseconds(*o_->maxTime) < 0)
            return fail("--max-time needs seconds above 0, at most " + most + " (such as 30 or 2.5)");
        if (o_->connectTimeout && Milliseconds(*o_->connectTimeout) < 0)
            return fail("--connect-timeout needs seconds above 0, at most " + most + " (such as 10 or 0.5)");
        if (o_->speedLimit && SizeValue(*o_->speedLimit, 0, kMaxSpeedLimit) < 0)
            return fail("--speed-limit needs bytes a second, 0 (no rule) to 2G (K, M and G allowed)");
        if (o_->speedTime && BoundedNumber(*o_->speedTime, 0, kMaxSeconds) < 0)
            return fail("--speed-time needs a whole number of seconds from 0 (no rule) to " + most);
        if (o_->maxFileSize && SizeValue(*o_->maxFileSize, 1, kMaxFileSize) < 0)
            return fail("--max-filesize needs a size from 1 to 256M (K, M and G allowed)");
        if (o_->maxMemory && SizeValue(*o_->maxMemory, 1, kMaxMemory) < 0)
            return fail("--max-memory needs a size from 1 to 1024G (K, M and G allowed)");
        return true;
    }

    bool checkCurlOptions()
    {
        if (o_->maxRedirs && BoundedNumber(*o_->maxRedirs, 0, kMaxRedirects) < 0)
            return fail("--max-redirs needs a whole number from 0 to " + std::to_string(kMaxRedirects));
        if (o_->outputs.size() > o_->urls.size())
            return fail("-o given " + std::to_string(o_->outputs.size()) + " times for " +
                        std::to_string(o_->urls.size()) + (o_->urls.size() == 1 ? " URL" : " URLs"));
        for (const std::string* file : {o_->caFile ? &*o_->caFile : nullptr, o_->dumpHeader ? &*o_->dumpHeader : nullptr}) {
            if (file && file->empty())
                return fail(std::string(file == &*o_->caFile ? "--cacert" : "--dump-header") + " needs a file name");
        }
        if (std::find(o_->outputs.begin(), o_->outputs.end(), "") != o_->outputs.end())
            return fail("--output needs a file name");
        if (o_->proxy && (o_->proxy->empty() || !Plain(*o_->proxy)))
            return fail("--proxy needs a URL without control characters");
        std::string error;
        if (o_->writeOut && !CheckWriteOut(*o_->writeOut, &error))
            return fail("--write-out: " + error);
        return true;
    }

    bool checkGrepOptions()
    {
        if (o_->maxCount && BoundedNumber(*o_->maxCount, 1, kMaxCount) < 0)
            return fail("--max-count needs a whole number from 1 to " + std::to_string(kMaxCount));
        if (o_->color && *o_->color != "auto" && *o_->color != "always" && *o_->color != "never")
            return fail("--color takes auto, always or never, not " + EchoArgument(*o_->color));
        if (o_->filesWithMatches && (o_->count || o_->json))
            return fail(std::string("-l prints names only: it takes no ") + (o_->count ? "--count" : "--json"));
        return true;
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
        const auto plain = Plain;
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
    uint64_t seen_ = 0;  // options given, by row
    uint64_t given_ = 0; // of those, the ones that belong to some commands only
};

} // namespace

int32_t BoundedNumber(const std::string& value, int32_t low, int32_t high)
{
    if (value.empty() || value.size() > 9 || value.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    const long number = std::stol(value);
    return number < low || number > high ? -1 : static_cast<int32_t>(number);
}

bool ParseCliOptions(int argc, char** argv, CliOptions* o, std::string* error)
{
    return Parser(o, error).run(argc, argv);
}

int RunCommand(const CliContext& context)
{
    return FindCommand(context.options.command)->run(context);
}

unsigned cli::CommandBit(const std::string& name)
{
    const CommandRow* row = FindCommand(name);
    return row ? static_cast<unsigned>(row->command) : 0u;
}

std::vector<std::string> CliOptionNames()
{
    std::vector<std::string> names;
    for (const OptionRow& row : kOptions) {
        names.emplace_back(row.name);
        if (row.shortName)
            names.push_back(std::string("-") + row.shortName);
    }
    return names;
}

} // namespace app
