// The common mouse and key events (-1 to -12) every component raises from
// its window's pre-translation.
#pragma once

#include "platform/window_listener.h"

namespace mt {

class Component;

enum CommonEvent : int32_t {
    kEventLeftDown = -1,
    kEventLeftUp = -2,
    kEventDoubleClick = -3,
    kEventRightDown = -4,
    kEventRightUp = -5,
    kEventMouseMove = -6,
    kEventGainsFocus = -7,
    kEventLosesFocus = -8,
    kEventKeyDown = -9,
    kEventKeyUp = -10,
    kEventCharacter = -11,
    kEventWheel = -12,
};

// Raises the common event for this input on the component. Returns true
// when the handler returned 0 (the input is swallowed); a character
// handler's other values replace event.key.
bool RaiseCommonEvent(Component& component, platform::InputEvent& event);

} // namespace mt
