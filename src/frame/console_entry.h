// The process's start and end for the command-line mode: no window, and a
// run-time error is reported on standard error instead of in a dialog.
#pragma once

namespace mt {

using ConsoleEntryRoutine = int (*)(int argc, char** argv);

// Records where the program lives, runs `entry` and shuts down. Returns the
// entry's result; a run-time error prints its text and exits with 255.
int RunConsoleProcess(ConsoleEntryRoutine entry, int argc, char** argv);

} // namespace mt
