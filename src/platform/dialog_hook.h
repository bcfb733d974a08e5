// A stand-in for the user at the program's dialogs. While a hook is set,
// every message box, input dialog, file dialog and pick-list is offered to
// it first; what it answers is the dialog's answer and no dialog appears.
// The program itself never sets one: the tests' scripted answers do (platform/testing/dialog_script.h).
#pragma once

#include <optional>

#include "platform/case_dialogs.h"
#include "platform/input_dialog.h"
#include "platform/message_box.h"

namespace mt::platform {

class DialogHook {
public:
    virtual ~DialogHook() = default;
    // The button that answers the box, or none to show it.
    virtual std::optional<int> answerMessageBox(const ShownMessageBox& box) = 0;
    // The dialog's answer, or none to show it.
    virtual std::optional<InputDialogAnswer> answerInputDialog(const ShownInputDialog& dialog) = 0;
    // The file dialog's and the pick-list's answers, or none to show them.
    virtual std::optional<FileDialogAnswer> answerFileDialog(const ShownFileDialog&) { return std::nullopt; }
    virtual std::optional<int> answerPickList(const ShownPickList&) { return std::nullopt; }
};

// Null: the dialogs appear.
void SetDialogHook(DialogHook* hook);
DialogHook* CurrentDialogHook();

} // namespace mt::platform
