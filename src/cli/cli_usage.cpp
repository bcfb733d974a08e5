// The usage of the command line: the whole of it, or one command's, from
// the pieces written from the option help at build time.
#include <cstring>
#include <string>

#include "cli/cli_usage_text.h" // written from option_help.txt
#include "cli_command_masks.h"
#include "cli_options.h"

namespace app {

std::string CliUsage(const std::string& command)
{
    const unsigned bit = cli::CommandBit(command);
    std::string usage;
    for (const cli::UsagePiece& piece : cli::kUsage) {
        if (!bit || (piece.commands & bit))
            usage += piece.text;
    }
    if (bit) // the command's own line leads
        usage.replace(0, std::strlen("Usage:") + 1, "Usage: ");
    return usage;
}

} // namespace app
