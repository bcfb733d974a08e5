// The timer's window: an invisible child window that owns a periodic
// platform timer and reports each tick to its listener.
#pragma once

#include <cstdint>

#include "platform/window_handle.h"
#include "platform/window_listener.h"

namespace mt::platform {

WindowHandle CreateTimerWindow(WindowHandle parent, const Rect& rect, WindowListener* listener);
// Starts (or restarts) the timer with this period in milliseconds.
void StartTimer(WindowHandle handle, int32_t milliseconds);
void StopTimer(WindowHandle handle);
bool IsTimerRunning(WindowHandle handle);
// How often the timer has been started since the window was made.
int32_t TimerStarts(WindowHandle handle);

} // namespace mt::platform
