// Keyboard focus by platform window.
#pragma once

#include "platform/window_handle.h"

namespace mt::platform {

// Gives the window the keyboard focus (a window that cannot take it, or a
// null handle, is left alone).
void SetKeyboardFocus(WindowHandle window);
// The window that has the keyboard focus, or null.
WindowHandle KeyboardFocus();

} // namespace mt::platform
