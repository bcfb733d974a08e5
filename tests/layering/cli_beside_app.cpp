// Planted: code of the command line that includes a header of the window's
// handlers. The command line sees the shared units alone; the build must
// refuse it.
#include "app/live_results.h"
#include "shared/runtime_calls.h"

int LayeringCliBesideApp() { return 0; }
