// Operations every platform window supports, on opaque handles: liveness,
// geometry, visibility, enabling, z-order, parenting, focus and destruction.
// A handle stays safe to pass after its window is gone: the operations then
// do nothing and the queries answer as for no window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window_handle.h"
#include "platform/window_listener.h"

class QWidget;

namespace mt::platform {

// Registers a window made by this layer with the listener that hears from
// it. From now on the handle is live until DestroyWindow or deletion.
void RegisterWindow(QWidget* widget, WindowListener* listener);
QWidget* ToWidget(WindowHandle handle);
WindowHandle ToHandle(QWidget* widget);

// Whether the handle names a live window made by this layer.
bool IsWindow(WindowHandle handle);
// The listener of the nearest live registered window at or above `widget`.
WindowHandle RegisteredAncestor(QWidget* widget);
WindowListener* ListenerOf(WindowHandle handle);

// Outer rectangle: in the parent's client coordinates, or on the screen for
// a window without a parent. Top-level windows include their nominal frame.
Rect WindowRect(WindowHandle handle);
// Moves and sizes without activating or changing the z-order.
void SetWindowRect(WindowHandle handle, const Rect& rect);

// Visible: shown and every ancestor shown. Shown: the window's own flag.
bool IsVisible(WindowHandle handle);
bool IsShown(WindowHandle handle);
// Shows or hides without activating.
void ShowWindow(WindowHandle handle, bool show);
// The window's own enabled state (not its ancestors').
bool IsEnabled(WindowHandle handle);
void EnableWindow(WindowHandle handle, bool enable);

WindowHandle ParentOf(WindowHandle handle);
// Makes `child` a child window of `parent`, keeping its position, size and
// visibility.
void SetParentWindow(WindowHandle child, WindowHandle parent);
// The live registered child windows, bottom of the z-order first.
std::vector<WindowHandle> ChildWindows(WindowHandle handle);
bool IsDescendant(WindowHandle handle, WindowHandle ancestor);

// Z-order among siblings.
void RaiseToTop(WindowHandle handle);
void PlaceBelow(WindowHandle handle, WindowHandle sibling);

// How a window came to hold the keyboard focus.
enum class FocusCause : int32_t {
    kProgram = 0,    // the program gave it (or nothing else says)
    kLeftClick = 1,  // a left-button press in it
    kOtherClick = 2, // a press of another button (a right click for the context menu)
    kTab = 3,        // Tab
    kBacktab = 4,    // Shift+Tab
    kActivation = 5, // its window was activated again (after a dialog, another program)
};

// The registered window holding the keyboard focus (or the one that
// contains the focused part), or null.
WindowHandle FocusWindow();
// Gives `handle` the focus; `cause` says on whose behalf (the window's Tab
// handling passes kTab and kBacktab).
void SetFocusWindow(WindowHandle handle, FocusCause cause = FocusCause::kProgram);

std::string WindowText(WindowHandle handle);
void SetWindowText(WindowHandle handle, std::string_view gb);
// What assistive tools (screen readers) call the window and say of it,
// GB18030; empty: what the window shows names it.
void SetAccessibleTexts(WindowHandle handle, std::string_view nameGb, std::string_view descriptionGb);

void Repaint(WindowHandle handle);

// Destroys the window and its children at once: they are no longer live and
// their listeners hear windowDestroyed (children first). The objects are
// deleted when control returns to the event loop.
void DestroyWindow(WindowHandle handle);
// Deletes what DestroyWindow left for the event loop (tests, shutdown).
void FlushDestroyedWindows();

} // namespace mt::platform
