// What the window's saved cases need of the desktop: the file dialog that
// names a case file, a list to pick one case from, the SHA-256 of a page's
// bytes, and the case file remembered in the configuration file
// ([cases] file=, beside the address history). Texts shown are GB18030;
// paths are in the file system's own encoding.
//
// Tests answer both dialogs through a dialog hook (dialog_hook.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mt::platform {

struct FileDialogRequest {
    bool save = false;     // the save dialog (else the open dialog)
    std::string title;     // GB18030
    std::string directory; // where it starts; empty: the folder the program was started in
    std::string filter;    // GB18030, as "Cases (*.jsonl)"; empty: every file
};
using ShownFileDialog = FileDialogRequest;

struct FileDialogAnswer {
    bool ok = false;
    std::string path;
};

// The desktop's file dialog, modal; the path chosen or, cancelled, none.
FileDialogAnswer AskForFile(const FileDialogRequest& request);

struct PickListRequest {
    std::string title;              // GB18030
    std::string prompt;             // GB18030, above the list
    std::vector<std::string> items; // GB18030, one row each
};
using ShownPickList = PickListRequest;

// A small modal dialog with the list, the first row chosen; the index of
// the row accepted (OK, Enter or a double click), or -1.
int PickFromList(const PickListRequest& request);

// The SHA-256 of the bytes as 64 lower-case hex digits.
std::string Sha256Hex(std::string_view bytes);

// The case file the window saves to; empty when none was chosen yet.
std::string RememberedCaseFile();
void RememberCaseFile(std::string_view path);

} // namespace mt::platform
