// Input as the window system hands it over, for tests above the platform
// layer: each event enters at the QWindow of a top-level window and takes
// the whole road from there (the application's hooks, the window, the widget
// under the pointer or with the focus). Also what the progress window of a
// transfer looks like to the window manager.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window_handle.h"

namespace mt::test {

// A left click at client (x, y) of `handle`, entering at its top-level window.
void ClickThroughWindowSystem(platform::WindowHandle handle, int32_t x, int32_t y);
// A right click there (the press brings the context menu request).
void RightClickThroughWindowSystem(platform::WindowHandle handle, int32_t x, int32_t y);
// A key (virtual key code, kKeyState* modifiers) pressed and released in the
// top-level window of `handle`; letters, digits, space and Enter carry text.
void PressKeyThroughWindowSystem(platform::WindowHandle handle, int32_t virtualKey, int32_t keyState = 0);
// Printable ASCII typed there, key by key.
void TypeThroughWindowSystem(platform::WindowHandle handle, const char* ascii);
// The window system makes the top-level window of `handle` the active one,
// as when the user clicks its title bar after another program's window.
void ActivateThroughWindowSystem(platform::WindowHandle handle);
// Another program's window takes the activation (a window of its own, shown
// while it lives).
class OtherProgramWindow {
public:
    OtherProgramWindow();
    ~OtherProgramWindow();
    OtherProgramWindow(const OtherProgramWindow&) = delete;
    OtherProgramWindow& operator=(const OtherProgramWindow&) = delete;
    void activate();

private:
    void* window_;
};
// From inside the modal loop of the next message box: Enter pressed in its
// window, through the window system. Returns at once; the box closes when
// the loop runs.
void DismissNextMessageBoxWithEnter();
// From inside the next context menu's loop: the item with this text (GB18030)
// chosen with Enter, or the menu closed with Esc when it has no such enabled
// item (empty: just closed). The enabled items' texts go to *enabledItems
// when given.
void ChooseInNextMenu(const std::string& itemGb, std::vector<std::string>* enabledItems = nullptr);
// The text of the tooltip at client (x, y) of `handle` (empty for none), as
// the pointer resting there asks for it.
std::string ToolTipAt(platform::WindowHandle handle, int32_t x, int32_t y);
// A wheel turn (notches, positive away from the user) at client (x, y) of
// `handle`, entering at its top-level window.
void WheelThroughWindowSystem(platform::WindowHandle handle, int32_t x, int32_t y, int notches);
// Esc pressed and released in the top-level window of `handle`.
void PressEscapeIn(platform::WindowHandle handle);
// A close request for the top-level window of `handle`, as its close box gives.
void CloseThroughWindowSystem(platform::WindowHandle handle);

// Whether the progress window of a transfer is up.
bool TransferWindowUp();
// A left click at the middle of the progress window's "取消" button.
void ClickTransferCancel();
// Esc pressed and released in the progress window.
void PressEscapeInTransferWindow();
// A close request for the progress window from the window system: its close box.
void CloseTransferWindow();

// What the progress window asks of the window manager's frame (the window
// manager has the last word: some give every dialog a minimise button).
struct FrameButtons {
    bool dialog = false;
    bool close = false;
    bool minimise = false;
    bool maximise = false;
};
FrameButtons TransferWindowFrame();

} // namespace mt::test
