// The window's keyboard handling: Tab and Shift+Tab focus movement, Enter on
// the default button (or moving the focus), Esc closing, F1 opening the help
// file, Alt mnemonics, and keys the program bound to a component
// (platform/key_shortcuts.h), which click it.
#pragma once

#include <vector>

#include "platform/window_listener.h"

namespace mt {

class Component;
class WindowComponent;

// Handles a key-down addressed to the window or one of its components.
// True when the key was consumed.
bool HandleWindowKey(WindowComponent& window, const platform::InputEvent& event);

// The components that take part in focus movement, in tab order.
std::vector<Component*> TabOrder(const WindowComponent& window);
// Moves the focus to the next (or previous) component in tab order.
void MoveFocus(const WindowComponent& window, bool forward);

} // namespace mt
