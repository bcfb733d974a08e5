// The input dialog: one line of input in a small modal dialog, laid out from
// one of two dialog templates in dialog units. With a prompt (template
// 1037) a sunken frame holds the prompt above the field; without one
// (template 1150) the dialog is the field and its buttons. Two fields lie on
// top of each other, 1001 plain and 1002 masked; the one in use shows, holds
// the initial text fully selected and has the focus. OK ("确认输入(&O)") is the
// default button; Cancel ("取消(&C)"), Esc and the close box cancel.
//
// Tests answer the dialog through a dialog hook (dialog_hook.h).
#pragma once

#include <string>
#include <vector>

namespace mt::platform {

inline constexpr int kInputTemplateWithPrompt = 1037;
inline constexpr int kInputTemplateShort = 1150;

struct InputDialogRequest {
    std::string prompt; // GB18030; empty: the short template
    std::string title;  // empty: the caption "请输入："
    std::string initial;
    int mode = 1; // 1 text, 2 integer, 3 decimal number, 4 password;
                  // above 4 counts as 4, below 1 as 1
};

struct InputDialogAnswer {
    bool ok = false;
    std::string text; // GB18030, what the field held at OK
};

struct ShownInputDialog {
    std::string prompt;
    std::string title;
    std::string initial;
    int mode = 1;                         // after clamping
    int templateId = 0;                   // kInputTemplateWithPrompt or kInputTemplateShort
    std::vector<std::string> completions; // offered under the field (GB18030)
};

// Runs the dialog modally (the event loop keeps running) and returns how it
// was closed.
InputDialogAnswer ShowInputDialog(const InputDialogRequest& request);
// Texts the next input dialog alone offers as a completion list under its
// field (GB18030); the dialogs after it offer none.
void OfferCompletionsOnce(std::vector<std::string> completions);

} // namespace mt::platform
