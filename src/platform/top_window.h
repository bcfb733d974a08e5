// Top-level windows in the runtime's terms: frame styles, outer geometry
// with nominal frame metrics, background, icon, show states, activation and
// close requests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/window_handle.h"
#include "platform/window_listener.h"

namespace mt::platform {

struct FrameStyle {
    int32_t border = 2; // 0 none, 1 sizable, 2 fixed, 3 sizable tool, 4 fixed tool, 5/6 sizable/fixed client edge
    bool caption = true;
    bool systemMenu = true;
    bool minimizeBox = false;
    bool maximizeBox = false;
    bool alwaysOnTop = false;
    friend bool operator==(const FrameStyle&, const FrameStyle&) = default;
};

enum class ShowState { kNormal,
                       kMinimized,
                       kMaximized };

// A new hidden top-level window; with an owner it is a pop-up owned by it.
// `outer` is the outer rectangle on the screen, frame included.
WindowHandle CreateTopWindow(WindowHandle owner, const Rect& outer, const FrameStyle& style,
                             std::string_view title, WindowListener* listener);
bool IsTopWindow(WindowHandle handle);
// The live top-level windows this layer made.
std::vector<WindowHandle> TopWindows();

// Changes the frame only when it differs; a shown window stays shown.
void SetFrameStyle(WindowHandle handle, const FrameStyle& style);
FrameStyle GetFrameStyle(WindowHandle handle);
// Whether the user may move the window by its title bar (a window-manager
// hint); the second reads the hint as the window manager gets it.
void SetWindowMovable(WindowHandle handle, bool movable);
bool WindowHintsAllowMove(WindowHandle handle);
// The background: a colour (0x00BBGGRR or kDefaultColor) under an optional
// picture laid out by mode (0 top-left, 1 tiled, 2 centred, 3 stretched).
void SetBackground(WindowHandle handle, uint32_t color, const uint8_t* picture, size_t size, int32_t mode);
// The window icon from icon-directory (or other picture) bytes; false when
// the bytes cannot be decoded (the icon is then cleared).
bool SetWindowIcon(WindowHandle handle, const uint8_t* bytes, size_t size);
bool HasWindowIcon(WindowHandle handle);

// The state a hidden window will show in (a window created minimised or
// maximised reports that state from now on).
void SetInitialState(WindowHandle handle, ShowState state);
// Shows the window in a state and activates it.
void ShowTopWindow(WindowHandle handle, ShowState state);
ShowState TopWindowState(WindowHandle handle);
void ActivateWindow(WindowHandle handle);
WindowHandle ActiveWindow();
// Asks the window to close as its close box would: the listener decides.
void RequestClose(WindowHandle handle);

} // namespace mt::platform
