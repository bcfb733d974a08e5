// Input as the window system hands it over, for tests above the platform
// layer: each event enters at the QWindow of a top-level window and takes
// the whole road from there (the application's hooks, the window, the widget
// under the pointer or with the focus). Also what the progress window of a
// transfer looks like to the window manager.
#pragma once

#include <cstdint>

#include "platform/window_handle.h"

namespace mt::test {

// A left click at client (x, y) of `handle`, entering at its top-level window.
void ClickThroughWindowSystem(platform::WindowHandle handle, int32_t x, int32_t y);
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
