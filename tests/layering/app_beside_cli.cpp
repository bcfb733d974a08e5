// Planted: a handler of the window that includes a header of the command
// line. The window's handlers see the shared units alone; the build must
// refuse it.
#include "cli/cli_options.h"
#include "shared/runtime_calls.h"

int LayeringAppBesideCli() { return 0; }
