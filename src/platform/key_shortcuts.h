// Keys a program binds to a component of a window: pressed anywhere in
// that window, such a key does what clicking the component does (the
// window's keyboard handling raises the click), or raises another event of
// the component that the binding names. Bindings of windows that are gone
// are dropped.
#pragma once

#include <cstdint>

#include "platform/window_handle.h"

namespace mt::platform {

// Binds the key (virtual key code with exactly these kKeyState* modifiers)
// to `target`, replacing what the key was bound to in its window before.
// `event` is the event index of the target's component the key raises (0:
// the click).
void BindKey(WindowHandle target, int32_t key, int32_t keyState, int32_t event = 0);
// The live, visible and enabled window inside `window` the key is bound
// to, or null; *event (when given) receives the event it raises.
WindowHandle BoundKeyTarget(WindowHandle window, int32_t key, int32_t keyState, int32_t* event = nullptr);

} // namespace mt::platform
