// Planted: a handler of the window that includes a header of the command
// line. The window's handlers see the shared units alone; the build must
// refuse it.
#include "shared/runtime_calls.h"
#include "cli/cli_options.h"

int LayeringAppBesideCli() { return 0; }
