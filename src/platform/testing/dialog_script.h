// Scripted answers for the program's dialogs, for tests. While a script is
// active no dialog appears: each message box and input dialog is recorded and
// answered from its script in order. When a script runs out, a message box
// answers with its default button and an input dialog as Enter would (OK with
// the initial text). A script of either kind keeps both kinds of dialog from
// appearing; EndDialogScript ends both.
#pragma once

#include <functional>
#include <vector>

#include "platform/case_dialogs.h"
#include "platform/input_dialog.h"
#include "platform/message_box.h"

namespace mt::platform {

void ScriptMessageBoxes(std::vector<int> answers);
void ScriptInputDialogs(std::vector<InputDialogAnswer> answers);
void EndDialogScript();
void EndInputDialogScript();
bool DialogScriptActive();
bool InputDialogScriptActive();
const std::vector<ShownMessageBox>& ShownMessageBoxes();
const std::vector<ShownInputDialog>& ShownInputDialogs();
// File dialogs and pick-lists are scripted on their own: while one is,
// each is recorded and answered in order; when the script runs out, a file
// dialog is cancelled and a pick-list accepts its first row.
void ScriptFileDialogs(std::vector<FileDialogAnswer> answers);
void ScriptPickLists(std::vector<int> answers);
const std::vector<ShownFileDialog>& ShownFileDialogs();
const std::vector<ShownPickList>& ShownPickLists();
// Called with every box shown or answered, scripted or not.
void SetMessageBoxObserver(std::function<void(const ShownMessageBox&)> observer);

} // namespace mt::platform
