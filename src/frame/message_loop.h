// The runtime's message loop.
#pragma once

#include <functional>

namespace mt {

// Records that the loop has been entered (from then on the destruction of the
// last live window ends it); returns at once when no loaded window is live.
// Otherwise dispatches messages, running the idle callbacks and the
// framework's idle work whenever none is waiting, until the quit message.
void RunMessageLoop();

// The framework's idle processing: called with a count from 0 that rises by
// one per call within an idle period; it answers true for more idle work.
void SetFrameworkIdle(std::function<bool(int idleCount)> idle);

} // namespace mt
