#include "cli_options.h"

#include <cstring>
#include <string_view>

#include "code_languages.h"

namespace app {

const char kCliUsage[] =
    "Usage: middletext                 start the window\n"
    "       middletext extract --left L --right R [--all [-0] | --newline] [FILE]\n"
    "       middletext find --text W [FILE]\n"
    "       middletext fetch [--raw] [--max-time SECONDS] URL\n"
    "       middletext code [--lang python|javascript|c]\n"
    "       middletext -h | --help | -V | --version\n"
    "\n"
    "extract  print the text between the first L in the input and the next R behind it\n"
    "         --all      every such text in order, each on a line of its own (-0: each\n"
    "                    ended by a zero byte); the next L is sought behind the last R\n"
    "         --newline  a line break behind the single text\n"
    "find     print the byte positions (1-based) of W, occurrence by occurrence\n"
    "fetch    print the page at URL (http:// or https://), decoded from the charset it declares\n"
    "         (byte-order mark, Content-Type header, <meta>, or charset=utf-8 in its text)\n"
    "         --raw       the bytes as received, without any conversion\n"
    "         --max-time  give up after SECONDS in all (a whole number from 1)\n"
    "code     print the generated extraction subroutine\n"
    "         --lang      the same extraction in Python, JavaScript or C (over UTF-8 bytes)\n"
    "\n"
    "FILE defaults to standard input (also \"-\"); a zero byte ends the text. Input and output\n"
    "are in the locale's encoding (UTF-8); --gbk reads and writes raw GB18030 bytes, arguments\n"
    "included. Options take their value as --left L or --left=L; -- ends the options.\n"
    "\n"
    "Exit status: 0 done; 1 the window's message (on standard error); 2 a command line that\n"
    "cannot be used, input that cannot be read or does not decode, or input too large;\n"
    "3 the output could not be written; 4 the page ended early (what arrived is printed, then\n"
    "a warning with the reason on standard error).\n";

namespace {

enum Command : unsigned { kExtract = 1, kFind = 2, kFetch = 4, kCode = 8 };

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
};

// One option: a value taken into a text field, or a switch; `commands` are
// those it belongs to. Adding an option is adding a row (and its field).
struct OptionRow {
    const char* name;
    char shortName; // 0: none
    std::optional<std::string> CliOptions::*value;
    bool CliOptions::*flag;
    unsigned commands;
};

constexpr unsigned kAll = kExtract | kFind | kFetch | kCode;

constexpr OptionRow kOptions[] = {
    {"--left", 0, &CliOptions::left, nullptr, kExtract},
    {"--right", 0, &CliOptions::right, nullptr, kExtract},
    {"--text", 0, &CliOptions::text, nullptr, kFind},
    {"--gbk", 0, nullptr, &CliOptions::gbk, kAll},
    {"--all", 0, nullptr, &CliOptions::all, kExtract},
    {"--null", '0', nullptr, &CliOptions::zero, kExtract},
    {"--newline", 0, nullptr, &CliOptions::newline, kExtract},
    {"--raw", 0, nullptr, &CliOptions::raw, kFetch},
    {"--max-time", 0, &CliOptions::maxTime, nullptr, kFetch},
    {"--lang", 0, &CliOptions::lang, nullptr, kCode},
};

const OptionRow* FindOption(std::string_view arg)
{
    for (const OptionRow& row : kOptions) {
        if (arg == row.name || (row.shortName && arg.size() == 2 && arg[0] == '-' && arg[1] == row.shortName))
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
            return fail("unknown option " + std::string(name));
        const size_t index = static_cast<size_t>(row - kOptions);
        if (seen_ & (1u << index))
            return fail(std::string(row->name) + " given twice");
        seen_ |= 1u << index;
        given_ |= row->commands == kAll ? 0 : 1u << index;
        if (row->flag) {
            if (equals != std::string_view::npos)
                return fail(std::string(row->name) + " takes no value");
            o_->*row->flag = true;
        } else if (equals != std::string_view::npos) {
            o_->*row->value = std::string(a.substr(equals + 1));
        } else if (*i + 1 < argc) {
            o_->*row->value = std::string(argv[++*i]);
        } else {
            return fail(std::string(row->name) + " needs a value");
        }
        return true;
    }

    bool operand(std::string_view a)
    {
        if (!command_) {
            command_ = FindCommand(a);
            if (!command_)
                return fail("unknown command " + std::string(a));
            o_->command = command_->name;
            return true;
        }
        if (!command_->operand || o_->file)
            return fail("unexpected argument " + std::string(a));
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
        if (command_->operandRequired && !o_->file)
            return fail(std::string(command_->name) + " needs " + command_->operand);
        if (o_->zero && !o_->all)
            return fail("-0 belongs to --all");
        if (o_->newline && o_->all)
            return fail("--newline is for a single text; --all ends every text");
        if (o_->maxTime && MaxSeconds(*o_->maxTime) == 0)
            return fail("--max-time needs a whole number of seconds from 1");
        if (o_->lang && !CodeInLanguage(*o_->lang))
            return fail("--lang takes " + std::string(kCodeLanguageNames) + ", not " + *o_->lang);
        return true;
    }

    CliOptions* o_;
    std::string* error_;
    const CommandRow* command_ = nullptr;
    unsigned seen_ = 0;  // options given, by row
    unsigned given_ = 0; // of those, the ones that belong to some commands only
};

} // namespace

int32_t MaxSeconds(const std::string& value)
{
    if (value.empty() || value.size() > 9 || value.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return static_cast<int32_t>(std::stol(value));
}

bool ParseCliOptions(int argc, char** argv, CliOptions* o, std::string* error)
{
    return Parser(o, error).run(argc, argv);
}

} // namespace app
