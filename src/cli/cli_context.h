// What every command of the command-line mode works with.
#pragma once

#include <string>

#include "cli_options.h"
#include "console_output.h"
#include "shared/cli_diagnostics.h"
#include "shared/console_text.h"

namespace app {

struct CliContext {
    const CliOptions& options;
    const ConsoleText& console;
    ConsoleOutput& out;
    int startDirectory; // where relative paths are found: the directory the program started in

    // The window's not-found message on standard error, about `source`
    // (empty: none named): exit status 1.
    int message(uint32_t literal, const std::string& source = {}) const
    {
        out.flush(); // behind what came before it, on a terminal
        PrintSourceError(source, console.encode(Lit(literal)));
        return kExitMessage;
    }
    // Another message of the window's (a refused URL, say), in English.
    int refuse(const std::string& text, const std::string& source = {}) const
    {
        out.flush();
        PrintSourceError(source, text);
        return kExitMessage;
    }
    // A runtime text for a terminal argument; false, with the message naming
    // the argument and exit status 2 in *status, when it does not decode.
    bool decodeArgument(const std::string& value, const char* name, Owned* text, int* status) const;
};

// The commands (fetch_command.cpp, sources.cpp).
int RunFetch(const CliContext& context);
// extract and find over their sources.
int RunOnInput(const CliContext& context);
// test over its case files (test_command.cpp), and suggest (suggest_command.cpp).
int RunTest(const CliContext& context);
int RunSuggest(const CliContext& context);
// code: the extraction subroutine (command_line.cpp).
int RunCode(const CliContext& context);
// The parsed command, run by its row of the command table (cli_options.cpp).
int RunCommand(const CliContext& context);
// Whether the sources need the start directory: a relative path among them,
// or a list that may hold one.
bool NeedsStartDirectory(const CliOptions& options);

} // namespace app
