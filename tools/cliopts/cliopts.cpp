// Writes what is made from the command line's option table
// (src/cli/option_table.h) and its help (src/cli/option_help.txt):
//   cliopts completions OUTDIR   -> OUTDIR/middletext.bash, _middletext, middletext.fish
//   cliopts usage HELP OUT.h     -> the usage's pieces, for the program
//   cliopts manual HELP PAGE.in OUT.1 -> the manual page, its OPTIONS section from HELP
// The help must name every option of the table, and no other.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "cli/option_table.h"
#include "help_rows.h"

namespace {

using app::cli::CommandOffer;
using app::cli::kAll;
using app::cli::kCommandOffers;
using app::cli::kOptions;
using app::cli::Offer;
using app::cli::OptionRow;

constexpr const char* kHeading = "%s completion for middletext: commands, their options, the languages of\n"
                                 "# code --lang, and file names where a command reads a file (case files of\n"
                                 "# test and suggest --cases included). Written from src/cli/option_table.h\n"
                                 "# by tools/cliopts at build time.\n";

std::string Heading(const char* shell)
{
    char text[512];
    std::snprintf(text, sizeof text, kHeading, shell);
    return std::string("# ") + text;
}

std::string Upper(std::string text);

bool Common(const OptionRow& row) { return row.commands == kAll; }
bool TakesValue(const OptionRow& row) { return row.offer != Offer::kNone; }
std::string Short(const OptionRow& row) { return std::string("-") + row.shortName; }

// "-x --name" or "--name".
std::string Names(const OptionRow& row)
{
    return row.shortName ? Short(row) + " " + row.name : std::string(row.name);
}

// "-x | --name" for a case label.
std::string Labels(const OptionRow& row)
{
    return row.shortName ? Short(row) + " | " + row.name : std::string(row.name);
}

template <typename Pick>
std::string Joined(const char* between, Pick pick, std::string (*form)(const OptionRow&) = Names)
{
    std::string out;
    for (const OptionRow& row : kOptions) {
        if (!pick(row))
            continue;
        if (!out.empty())
            out += between;
        out += form(row);
    }
    return out;
}

std::string CommandNames(bool (*pick)(const CommandOffer&) = nullptr)
{
    std::string out;
    for (const CommandOffer& c : kCommandOffers) {
        if (pick && !pick(c))
            continue;
        if (!out.empty())
            out += " ";
        out += c.name;
    }
    return out;
}

std::string Bash()
{
    std::string s = Heading("bash");
    s += "\n_middletext()\n{\n"
         "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n";
    s += "    local commands=\"" + CommandNames() + "\"\n";
    s += "    local common=\"" + Joined(" ", Common) + " -h --help -V --version\"\n";
    s += "    # Options that take the next word as their value.\n";
    s += "    local valued=\"" +
         Joined(" ", [](const OptionRow& r) { return TakesValue(r) && r.offer != Offer::kJoined; }) + "\"\n";
    s += "\n"
         "    # --lang=py arrives as \"--lang\" \"=\" \"py\" (= breaks words).\n"
         "    local joined=\n"
         "    if [[ $cur == = ]]; then\n"
         "        prev=${COMP_WORDS[COMP_CWORD-1]}\n"
         "        cur=\n"
         "        joined=1\n"
         "    elif [[ $prev == = ]]; then\n"
         "        prev=${COMP_WORDS[COMP_CWORD-2]}\n"
         "        joined=1\n"
         "    fi\n";
    for (const OptionRow& row : kOptions) {
        if (row.offer != Offer::kJoined)
            continue;
        s += "\n    # " + std::string(row.name) + " takes its value only as " + row.name + "=" + Upper(row.valueName) + ".\n";
        s += "    if [[ $prev == " + std::string(row.name) + " && $joined ]]; then\n";
        s += "        COMPREPLY=($(compgen -W \"" + std::string(row.words) + "\" -- \"$cur\"))\n";
        s += "        return\n    fi\n";
    }
    s += "\n"
         "    # The command: the first word that is neither an option nor an option's value.\n"
         "    local command= word i ended=\n"
         "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
         "        word=${COMP_WORDS[i]}\n"
         "        if [[ $ended ]]; then\n"
         "            command=$word\n"
         "            break\n"
         "        elif [[ $word == -- ]]; then\n"
         "            ended=1\n"
         "        elif [[ $word == -* && ${COMP_WORDS[i+1]} == = ]]; then\n"
         "            ((i += 2)) # --option = value\n"
         "        elif [[ \" $valued \" == *\" $word \"* ]]; then\n"
         "            ((i += 1))\n"
         "        elif [[ $word != -* ]]; then\n"
         "            command=$word\n"
         "            break\n"
         "        fi\n"
         "    done\n\n"
         "    case $prev in\n";
    for (const OptionRow& row : kOptions) {
        if (row.offer != Offer::kWords)
            continue;
        s += "        " + Labels(row) + ")\n";
        s += "            COMPREPLY=($(compgen -W \"" + std::string(row.words) + "\" -- \"$cur\"))\n";
        s += "            return\n            ;;\n";
    }
    s += "        " + Joined(
                          " | ", [](const OptionRow& r) { return r.offer == Offer::kFile; }, Labels) +
         ")\n";
    s += "            local IFS=$'\\n'\n"
         "            compopt -o filenames 2>/dev/null\n"
         "            COMPREPLY=($(compgen -f -- \"$cur\"))\n"
         "            return\n"
         "            ;;\n";
    s += "        " +
         Joined(
             " | ", [](const OptionRow& r) { return r.offer == Offer::kText || r.offer == Offer::kUrl; }, Labels) +
         ")\n";
    s += "            COMPREPLY=() # a value the user types\n"
         "            return\n"
         "            ;;\n"
         "    esac\n\n"
         "    if [[ $cur == -* ]]; then\n"
         "        local options=$common\n"
         "        case $command in\n";
    for (const CommandOffer& c : kCommandOffers) {
        const unsigned bit = c.command;
        std::string own;
        for (const OptionRow& row : kOptions) {
            if (!Common(row) && (row.commands & bit))
                own.append(" ").append(Names(row)); // appended: GCC 12 at -O3 warns falsely on " " + a string
        }
        s += "            " + std::string(c.name) + ") options+=\"" + own + "\" ;;\n";
    }
    s += "        esac\n"
         "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
         "        return\n"
         "    fi\n\n"
         "    case $command in\n"
         "        \"\")\n"
         "            COMPREPLY=($(compgen -W \"$commands\" -- \"$cur\"))\n"
         "            ;;\n";
    std::string files;
    for (const CommandOffer& c : kCommandOffers) {
        if (c.operands == Offer::kFile)
            files += (files.empty() ? "" : " | ") + std::string(c.name);
    }
    s += "        " + files + ")\n";
    s += "            # FILEs and directories (URLs are typed), or - for standard input;\n"
         "            # test's case files.\n"
         "            local IFS=$'\\n'\n"
         "            compopt -o filenames 2>/dev/null\n"
         "            COMPREPLY=($(compgen -f -- \"$cur\"))\n"
         "            ;;\n"
         "        *)\n"
         "            COMPREPLY=() # a URL, or nothing more\n"
         "            ;;\n"
         "    esac\n"
         "}\n\n"
         "complete -F _middletext middletext\n";
    return s;
}

// A zsh description or value name: a colon is escaped.
std::string ZshText(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        if (c == ':')
            out += '\\';
        out += c;
    }
    return out;
}

std::string ZshAction(const OptionRow& row)
{
    switch (row.offer) {
    case Offer::kFile: return "_files";
    case Offer::kUrl: return "_urls";
    case Offer::kWords:
    case Offer::kJoined: return "(" + std::string(row.words) + ")";
    default: return " ";
    }
}

// One argument of _arguments for an option, as one shell word.
std::string ZshArgument(const OptionRow& row)
{
    const bool list = row.list != nullptr;
    std::string excluded = row.excludes;
    if (row.shortName && !list)
        excluded = Short(row) + " " + row.name + (excluded.empty() ? "" : " " + excluded);
    const std::string lead = list ? "*" : excluded.empty() ? ""
                                                           : "(" + excluded + ")";
    const std::string help = "[" + std::string(row.summary) + "]";
    if (row.offer == Offer::kJoined)
        return "'" + lead + row.name + "=-" + help + "::" + ZshText(row.valueName) + ":" + ZshAction(row) + "'";
    const bool value = TakesValue(row);
    const std::string what = value ? ":" + ZshText(row.valueName) + ":" + ZshAction(row) : "";
    if (!row.shortName)
        return "'" + lead + row.name + (value ? "=" : "") + help + what + "'";
    const std::string names = "{" + Short(row) + (value ? "+" : "") + "," + row.name + (value ? "=" : "") + "}";
    return (lead.empty() ? "" : "'" + lead + "'") + names + "'" + help + what + "'";
}

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string Capital(std::string text)
{
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

std::string Zsh()
{
    std::string s = "#compdef middletext\n" + Heading("zsh");
    s += "\nlocal curcontext=$curcontext state line ret=1\n"
         "typeset -A opt_args\n\n"
         "local -a common=(\n";
    for (const OptionRow& row : kOptions) {
        if (Common(row))
            s += "  " + ZshArgument(row) + "\n";
    }
    s += "  '(- *)'{-h,--help}'[print the usage]'\n"
         "  '(- *)'{-V,--version}'[print the version]'\n"
         ")\n\n"
         "_arguments -C $common \\\n"
         "  '1:command:->command' \\\n"
         "  '*::argument:->argument' && ret=0\n\n"
         "case $state in\n"
         "  command)\n"
         "    local -a commands=(\n";
    for (const CommandOffer& c : kCommandOffers)
        s += "      '" + std::string(c.name) + ":" + ZshText(c.summary) + "'\n";
    s += "    )\n"
         "    _describe -t commands 'middletext command' commands && ret=0\n"
         "    ;;\n"
         "  argument)\n"
         "    curcontext=${curcontext%:*:*}:middletext-$words[1]:\n"
         "    case $words[1] in\n";
    for (const CommandOffer& c : kCommandOffers) {
        s += "      " + std::string(c.name) + ")\n        _arguments $common";
        for (const OptionRow& row : kOptions) {
            if (!Common(row) && (row.commands & c.command))
                s += " \\\n          " + ZshArgument(row);
        }
        if (c.operands == Offer::kFile)
            s += " \\\n          '*:" + std::string(c.operandName) + ":_files'";
        else if (c.operands == Offer::kUrl)
            s += " \\\n          '*:" + std::string(c.operandName) + ":_urls'";
        s += " && ret=0\n        ;;\n";
    }
    s += "    esac\n"
         "    ;;\n"
         "esac\n\n"
         "return ret\n";
    return s;
}

std::string FishOption(const OptionRow& row)
{
    std::string s;
    if (row.shortName)
        s += " -s " + std::string(1, row.shortName);
    s += " -l " + std::string(row.name + 2);
    switch (row.offer) {
    case Offer::kNone: break;
    case Offer::kFile: s += " -r -F"; break;
    case Offer::kWords:
    case Offer::kJoined: s += " -x -a '" + std::string(row.words) + "'"; break;
    default: s += " -x"; break;
    }
    return s + " -d '" + Capital(row.summary) + "'";
}

std::string Fish()
{
    std::string s = Heading("fish");
    s += "\nset -l commands " + CommandNames() + "\n\n";
    s += "# Nothing but what is listed here: file names only where a command reads a file.\n"
         "complete -c middletext -f\n\n";
    for (const CommandOffer& c : kCommandOffers) {
        s += "complete -c middletext -n \"not __fish_seen_subcommand_from $commands\" -a " + std::string(c.name) +
             " -d '" + Capital(c.summary) + "'\n";
    }
    s += "\n";
    for (const OptionRow& row : kOptions) {
        if (Common(row))
            s += "complete -c middletext" + FishOption(row) + "\n";
    }
    s += "complete -c middletext -s h -l help -d 'Print the usage'\n"
         "complete -c middletext -s V -l version -d 'Print the version'\n\n";
    for (const OptionRow& row : kOptions) {
        if (Common(row))
            continue;
        std::string names;
        for (const CommandOffer& c : kCommandOffers) {
            if (row.commands & c.command)
                names.append(names.empty() ? "" : " ").append(c.name);
        }
        s += "complete -c middletext -n '__fish_seen_subcommand_from " + names + "'" + FishOption(row) + "\n";
    }
    s += "\n# The commands that read files: FILEs and directories (or - for standard\n"
         "# input), and test's case files.\n";
    s += "complete -c middletext -n '__fish_seen_subcommand_from " +
         CommandNames([](const CommandOffer& c) { return c.operands == Offer::kFile; }) + "' -F\n";
    return s;
}

// The texts go into single-quoted shell words: none may hold a quote.
bool Quotable()
{
    for (const OptionRow& row : kOptions) {
        for (const char* text : {row.summary, row.valueName, row.words, row.excludes}) {
            if (std::string(text).find('\'') != std::string::npos) {
                std::cerr << "cliopts: " << row.name << " has a quote in its texts\n";
                return false;
            }
        }
    }
    return true;
}

bool Write(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "cliopts: cannot write " << path << "\n";
        return false;
    }
    return true;
}

bool Read(const std::string& path, std::string* text)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    if (!in) {
        std::cerr << "cliopts: cannot read " << path << "\n";
        return false;
    }
    *text = all.str();
    return true;
}

// The help rows of HELP, checked against the table.
bool ReadHelp(const std::string& path, std::vector<cliopts::HelpRow>* rows)
{
    std::string text, error;
    if (!Read(path, &text))
        return false;
    if (!cliopts::ParseHelp(text, rows, &error) || !cliopts::CheckHelp(*rows, &error)) {
        std::cerr << path << ": " << error << "\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    std::vector<cliopts::HelpRow> rows;
    if (mode == "completions" && argc == 3) {
        if (!Quotable())
            return 1;
        const std::string dir = argv[2];
        const bool ok = Write(dir + "/middletext.bash", Bash()) && Write(dir + "/_middletext", Zsh()) &&
                        Write(dir + "/middletext.fish", Fish());
        return ok ? 0 : 1;
    }
    if (mode == "usage" && argc == 4)
        return ReadHelp(argv[2], &rows) && Write(argv[3], cliopts::UsageHeader(rows)) ? 0 : 1;
    if (mode == "manual" && argc == 5) {
        std::string page;
        if (!ReadHelp(argv[2], &rows) || !Read(argv[3], &page))
            return 1;
        const std::string mark = "@OPTIONS@\n";
        const size_t at = page.find(mark);
        if (at == std::string::npos) {
            std::cerr << argv[3] << ": no " << mark;
            return 1;
        }
        page.replace(at, mark.size(), cliopts::ManualSection(rows));
        return Write(argv[4], page) ? 0 : 1;
    }
    std::cerr << "usage: cliopts completions OUTDIR | usage HELP OUT.h | manual HELP PAGE.in OUT.1\n";
    return 2;
}
