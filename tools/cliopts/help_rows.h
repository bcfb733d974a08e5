// The help of the command line's options (src/cli/option_help.txt): rows of
// usage lines and manual entries, each naming the options it describes.
#pragma once

#include <string>
#include <vector>

namespace cliopts {

struct HelpRow {
    int line = 0;                   // of its "==" line, for messages
    std::vector<std::string> where; // extract ... suggest, rule, request, all, whole, manual
    std::vector<std::string> options;
    std::string usage;  // its lines of the usage, each ending in a line break
    std::string manual; // its roff lines, each ending in a line break
};

// The rows of the help file; false with "LINE: reason" in *error.
bool ParseHelp(const std::string& text, std::vector<HelpRow>* rows, std::string* error);
// Every option of the table is named by a row, every named option is one
// of the table's (or -h, --help, -V, --version, --), and a row of usage
// lines shows where they go; false with the reason in *error.
bool CheckHelp(const std::vector<HelpRow>& rows, std::string* error);

// The usage's pieces as a header for the program: app::cli::kUsage.
std::string UsageHeader(const std::vector<HelpRow>& rows);
// The manual page's OPTIONS section: every row's entry in order.
std::string ManualSection(const std::vector<HelpRow>& rows);

} // namespace cliopts
