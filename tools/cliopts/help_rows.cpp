#include "help_rows.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <sstream>

#include "cli/option_table.h"

namespace cliopts {
namespace {

using app::cli::kOptions;

// Where a row's usage lines go, as the program's command masks.
const std::map<std::string, std::string> kWhere = {
    {"extract", "kExtract"},
    {"find", "kFind"},
    {"fetch", "kFetch"},
    {"code", "kCode"},
    {"test", "kTest"},
    {"suggest", "kSuggest"},
    {"rule", "kRule"},
    {"request", "kRequest"},
    {"all", "kAll"},
    {"whole", "kWhole"},
    {"manual", ""},
};

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

std::string CString(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\n')
            out += "\\n\"\n     \"";
        else if (c == '\\' || c == '"')
            out += std::string("\\") + c;
        else
            out += c;
    }
    out += "\"";
    // A piece ends in a line break: no empty literal behind it.
    const std::string tail = "\n     \"\"";
    if (out.size() >= tail.size() && out.compare(out.size() - tail.size(), tail.size(), tail) == 0)
        out.erase(out.size() - tail.size());
    return out;
}

// Whether `text` holds `name` as a whole option name.
bool Names(const std::string& text, const std::string& name)
{
    const auto part = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-'; };
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
        const size_t end = at + name.size();
        if ((at == 0 || !part(text[at - 1])) && (end == text.size() || !part(text[end])))
            return true;
    }
    return false;
}

} // namespace

bool ParseHelp(const std::string& text, std::vector<HelpRow>* rows, std::string* error)
{
    std::istringstream in(text);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.rfind("==", 0) == 0) {
            const size_t colon = line.find(':');
            if (colon == std::string::npos) {
                *error = std::to_string(number) + ": a row needs \"== COMMANDS : OPTIONS\"";
                return false;
            }
            HelpRow row;
            row.line = number;
            row.where = Words(line.substr(2, colon - 2));
            row.options = Words(line.substr(colon + 1));
            for (const std::string& w : row.where) {
                if (!kWhere.count(w)) {
                    *error = std::to_string(number) + ": no such place of the usage: " + w;
                    return false;
                }
            }
            rows->push_back(row);
        } else if (rows->empty()) {
            if (!line.empty() && line[0] != '#') {
                *error = std::to_string(number) + ": text before the first row";
                return false;
            }
        } else if (line.rfind('|', 0) == 0) {
            if (!rows->back().manual.empty()) {
                *error = std::to_string(number) + ": usage lines come before the manual entry";
                return false;
            }
            rows->back().usage += line.substr(line.size() > 1 ? 2 : 1) + "\n";
        } else {
            rows->back().manual += line + "\n";
        }
    }
    return true;
}

bool CheckHelp(const std::vector<HelpRow>& rows, std::string* error)
{
    std::set<std::string> known = {"-h", "--help", "-V", "--version", "--"};
    for (const auto& row : kOptions) {
        known.insert(row.name);
        if (row.shortName)
            known.insert(std::string("-") + row.shortName);
    }
    std::set<std::string> manual;
    for (const HelpRow& row : rows) {
        for (const std::string& o : row.options) {
            if (!known.count(o)) {
                *error = std::to_string(row.line) + ": " + o + " is not an option of the table";
                return false;
            }
            if (!row.manual.empty())
                manual.insert(o);
        }
        const bool placed = std::any_of(row.where.begin(), row.where.end(),
                                        [](const std::string& w) { return w != "manual"; });
        if (!row.usage.empty() && !placed) {
            *error = std::to_string(row.line) + ": usage lines need a command to show under";
            return false;
        }
    }
    std::string usageText;
    for (const HelpRow& row : rows)
        usageText += row.usage;
    for (const auto& row : kOptions) {
        if (!manual.count(row.name)) {
            *error = std::string(row.name) + " has no entry in the manual page";
            return false;
        }
        if (!Names(usageText, row.name)) {
            *error = std::string(row.name) + " is not in the usage";
            return false;
        }
    }
    return true;
}

std::string UsageHeader(const std::vector<HelpRow>& rows)
{
    std::string out = "// The usage of the command line, piece by piece with the commands each\n"
                      "// belongs to. Written by tools/cliopts from src/cli/option_help.txt.\n"
                      "#pragma once\n\n"
                      "#include \"cli/cli_command_masks.h\"\n\n"
                      "namespace app::cli {\n\n"
                      "struct UsagePiece {\n"
                      "    unsigned commands;\n"
                      "    const char* text;\n"
                      "};\n\n"
                      "inline constexpr UsagePiece kUsage[] = {\n";
    for (const HelpRow& row : rows) {
        if (row.usage.empty())
            continue;
        std::string mask;
        for (const std::string& w : row.where) {
            if (kWhere.at(w).empty())
                continue;
            mask += (mask.empty() ? "" : " | ") + kWhere.at(w);
        }
        out += "    {" + mask + ",\n     " + CString(row.usage) + "},\n";
    }
    out += "};\n\n} // namespace app::cli\n";
    return out;
}

std::string ManualSection(const std::vector<HelpRow>& rows)
{
    std::string out;
    for (const HelpRow& row : rows)
        out += row.manual;
    return out;
}

} // namespace cliopts
