// Waiting for a transfer without freezing the program: the work runs on a
// worker thread while the GUI thread keeps its event loop going in a local
// loop, so that the windows repaint and the clipboard is served. From the
// start the program's windows take no input. After half a second a small
// progress window appears over the active window, showing the address,
// the bytes received (of the announced length), the rate and a "取消"
// button; the button, Esc and its close box cancel. Esc in any of the
// program's windows cancels too, also before the progress window is up. A
// close request for another window cancels the transfer as well, and that
// window is closed once the caller has returned to the event loop, never
// under it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace mt::platform {

struct TransferWatch {
    std::string url;                    // GB18030, shown in the window
    std::function<int64_t()> received;  // bytes so far; asked on the GUI thread
    std::function<int64_t()> announced; // the announced length, -1 for none
    std::function<void()> cancel;       // asks the work to end soon; called on the GUI thread
};

// Runs `work` and returns when it has ended. Without an application object,
// or off the GUI thread, `work` simply runs here.
void RunTransfer(const std::function<void()>& work, const TransferWatch& watch);

// Test seam: what a user does while the next transfer runs. `atStart` runs
// in the wait's event loop as soon as the wait begins (before the progress
// window), `whenShown` once the progress window is up.
void ScriptTransfer(std::function<void()> atStart, std::function<void()> whenShown = {});
// Progress windows shown since the program started.
int TransferWindowsShown();

} // namespace mt::platform
