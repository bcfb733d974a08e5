// The platform's application object and its event loop.
#pragma once

#include <cstdint>
#include <functional>

namespace mt::platform {

// Creates the application object once. Safe to call again.
void EnsureApplication();
bool HasApplication();

// Runs the event loop until PostQuit. `idle` runs each time the loop is about
// to wait for new messages, with a count starting at 0 that rises while it
// returns true (it asks for more idle calls: the loop then goes round again
// instead of waiting). A message ends the idle period. Returns the quit code.
int RunEventLoop(const std::function<bool(int idleCount)>& idle);
// Milliseconds since the current idle period of the running loop began (0
// outside one).
int64_t IdleMilliseconds();
// Ends the innermost running event loop with this code.
void PostQuit(int code);
// Dispatches the messages already waiting, then returns.
void ProcessPendingEvents();

// Thread checks and cross-thread requests to the GUI thread.
bool IsGuiThread();
// Runs fn on the GUI thread and waits for it.
void RunOnGuiThreadBlocking(const std::function<void()>& fn);

} // namespace mt::platform
