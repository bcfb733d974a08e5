// Input as a user would give it, for tests: each event is delivered to the
// widget that would get it and passes through the window's pre-translation.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/window_handle.h"
#include "platform/window_listener.h"

namespace mt::platform {

// Presses and releases a key (virtual key code, kKeyState* modifiers) at
// the keyboard focus. Letters, digits, space and Enter carry their text.
void SimulateKey(int32_t virtualKey, int32_t keyState = 0);
// Types one character (GB18030 bytes) at the keyboard focus.
void SimulateCharacter(std::string_view gb);
// An input method at the keyboard focus: shows `preeditGb` as the text
// being composed, then commits `commitGb` (GB18030 bytes) in its place.
void SimulateInputMethod(std::string_view preeditGb, std::string_view commitGb);
// A mouse button press/release/double click or move at client (x, y).
void SimulateMouse(WindowHandle target, InputKind kind, int32_t x, int32_t y, int32_t keyState = 0);
// Clicks an arrow of an edit control's spinner: +1 the up arrow, -1 the
// down arrow. Nothing happens without a spinner.
void SimulateSpinnerArrow(WindowHandle editControl, int direction);
// Gives the top-level window of `handle` the activation, as a click would.
void SimulateActivation(WindowHandle handle);

} // namespace mt::platform
