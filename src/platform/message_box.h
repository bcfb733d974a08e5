// The platform's standard message box, in the runtime's terms: GB18030 texts
// and the classic style word (button set, icon, default button, modality).
// Tests answer the boxes through a dialog hook (dialog_hook.h).
#pragma once

#include <cstdint>
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

// The buttons of a style, in order, and the one that answers by default.
std::vector<int> MessageBoxButtons(uint32_t style);
int DefaultMessageBoxAnswer(uint32_t style);

} // namespace mt::platform
