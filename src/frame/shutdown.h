// The orderly end of the run.
#pragma once

#include <cstdint>

namespace mt {

// Runs the shutdown sequence with this exit code. Each step releases only
// what is still held, so running it again releases nothing twice. From
// another thread the request is forwarded to the GUI thread.
void Shutdown(int32_t exitCode);

// The exit operation: shutdown with the code, then the process ends with it.
[[noreturn]] void ExitProgram(int32_t exitCode);

} // namespace mt
