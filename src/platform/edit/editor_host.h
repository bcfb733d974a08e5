// What an edit control tells the component that hosts it: focus, the room a
// user insertion has, and edits by the user.
#pragma once

#include <cstddef>

#include "platform/dropped_file.h"
#include "platform/native_window.h"

namespace mt::platform {

// What an editor widget asks of the control that made it.
class EditorHost {
public:
    // The focus came (in) or went; a context menu's coming and going is not
    // reported.
    virtual void editorFocusChanged(bool in, FocusCause cause) = 0;
    // How many bytes a user insertion may add in place of the selection.
    virtual size_t editorInsertRoom() const = 0;
    // The user changed the text (multi-line boxes report each edit here).
    virtual void editorTextEdited() {}
    // A file was dropped onto a multi-line box (its bytes, or why not).
    virtual void editorFileDropped(const DroppedFile& /*file*/) {}

protected:
    ~EditorHost() = default;
};

} // namespace mt::platform
