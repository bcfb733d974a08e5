// The platform's standard message box, in the runtime's terms: GB18030 texts
// and the classic style word (button set, icon, default button, modality).
// Tests can script the answers and read back what was shown.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mt::platform {

// Style bits.
inline constexpr uint32_t kMbButtonMask = 0x0F;   // 0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore,
                                                  // 3 Yes/No/Cancel, 4 Yes/No, 5 Retry/Cancel
inline constexpr uint32_t kMbIconMask = 0xF0;     // 0x10 stop, 0x20 question, 0x30 warning, 0x40 information
inline constexpr uint32_t kMbDefaultMask = 0xF00; // 0x000 first, 0x100 second, 0x200 third button
inline constexpr uint32_t kMbSystemModal = 0x1000;
inline constexpr uint32_t kMbTaskModal = 0x2000;

// Which button closed the box.
enum DialogResult : int {
    kIdOk = 1,
    kIdCancel = 2,
    kIdAbort = 3,
    kIdRetry = 4,
    kIdIgnore = 5,
    kIdYes = 6,
    kIdNo = 7,
};

struct ShownMessageBox {
    std::string text;    // GB18030
    std::string caption; // GB18030
    uint32_t style = 0;
};

// Shows a modal message box and returns the button pressed. Task-modal boxes
// disable the program's windows while shown.
int ShowMessageBox(std::string_view text, std::string_view caption, uint32_t style);

// Test seam. While a script is active no box appears: each call is recorded
// and answered from the script in order; when the script runs out the box's
// default button answers. A script of input dialogs (input_dialog.h) keeps
// the boxes from appearing too; EndDialogScript ends both scripts.
void ScriptMessageBoxes(std::vector<int> answers);
void EndDialogScript();
bool DialogScriptActive();
const std::vector<ShownMessageBox>& ShownMessageBoxes();
// Called with every box shown or answered, scripted or not.
void SetMessageBoxObserver(std::function<void(const ShownMessageBox&)> observer);

// The buttons of a style, in order, and the one that answers by default.
std::vector<int> MessageBoxButtons(uint32_t style);
int DefaultMessageBoxAnswer(uint32_t style);

} // namespace mt::platform
