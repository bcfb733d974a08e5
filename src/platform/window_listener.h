// How a platform window tells its owner what happened to it, in the
// runtime's terms: virtual key codes, client coordinates in pixels, the key
// state word (1 Ctrl, 2 Shift, 4 Alt). Every call arrives on the GUI thread.
#pragma once

#include <cstdint>

#include "platform/window_handle.h"

namespace mt::platform {

enum class InputKind {
    kLeftDown,
    kLeftUp,
    kDoubleClick,
    kRightDown,
    kRightUp,
    kMouseMove,
    kKeyDown,
    kKeyUp,
    kCharacter,
    kWheel,
};

inline constexpr int32_t kKeyStateCtrl = 1;
inline constexpr int32_t kKeyStateShift = 2;
inline constexpr int32_t kKeyStateAlt = 4;

// Virtual key codes the runtime names.
enum VirtualKey : int32_t {
    kVkBack = 0x08,
    kVkTab = 0x09,
    kVkReturn = 0x0D,
    kVkShift = 0x10,
    kVkControl = 0x11,
    kVkMenu = 0x12,
    kVkEscape = 0x1B,
    kVkSpace = 0x20,
    kVkLeft = 0x25,
    kVkUp = 0x26,
    kVkRight = 0x27,
    kVkDown = 0x28,
    kVkF1 = 0x70,
};

// One mouse, key or character message as the window's pre-translation sees
// it, before the target window does.
struct InputEvent {
    InputKind kind = InputKind::kMouseMove;
    int32_t x = 0; // client coordinates of the target window
    int32_t y = 0;
    int32_t keyState = 0; // kKeyState* bits
    int32_t key = 0;      // virtual key (KeyDown, KeyUp); character code (Character)
    int32_t wheel = 0;    // signed wheel distance in notches
};

// Notices from one platform window to the object that made it. Defaults do
// nothing; the top-level window answers the window-only calls.
class WindowListener {
public:
    // The window is being destroyed: no more notices follow except
    // windowDeleted. Called once.
    virtual void windowDestroyed() {}
    // The platform object is gone; the listener may delete itself now.
    virtual void windowDeleted() {}

    virtual void focusIn() {}
    virtual void focusOut() {}
    // A push button was clicked (mouse, space bar or mnemonic).
    virtual void clicked() {}
    virtual void timerTick() {}

    // Top-level windows: input addressed to `target` (this window or one of
    // its descendants) before it is delivered. Return true to consume it; a
    // Character event may change `key` to replace the character.
    virtual bool preTranslate(WindowHandle /*target*/, InputEvent& /*event*/) { return false; }
    // A close request (close box, Alt+F4, RequestClose): true lets it close.
    virtual bool closeRequested() { return true; }
    virtual void moved() {}
    virtual void resized() {}
    virtual void activated(bool /*active*/) {}
    // Called just before the window is shown or hidden.
    virtual void visibilityChanging(bool /*shown*/) {}

protected:
    ~WindowListener() = default;
};

} // namespace mt::platform
