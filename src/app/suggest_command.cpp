// suggest: a left and a right text that extract the wanted text.
#include "cli_context.h"

namespace app {

int RunSuggest(const CliContext&)
{
    PrintError("suggest is not available in this build");
    return kExitUsage;
}

} // namespace app
