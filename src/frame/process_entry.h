// The process's start and end around the application's entry routine.
#pragma once

namespace mt {

using ApplicationEntryRoutine = int (*)();

// Creates the platform's application object, records where the program
// lives, runs `entry`, then shuts down with exit code 0. Returns the exit
// code of the quit message that ended the message loop.
int RunProcess(ApplicationEntryRoutine entry);

} // namespace mt
