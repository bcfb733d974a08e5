// The system clipboard, text only. The runtime's GB18030 text is handed to
// the clipboard as Unicode text, so other applications read it as UTF-8,
// and as the exact bytes beside it (text_mime.h), which we read back first.
#pragma once

#include <string>
#include <string_view>

namespace mt::platform {

// Puts the text on the clipboard (the empty text too, as an empty text).
// False when there is no clipboard to put it on.
bool SetClipboardText(std::string_view gb);
// The clipboard's text as GB18030; empty when it holds none.
std::string ClipboardText();
// Whether the clipboard holds a text at all (an empty one included).
bool ClipboardHasText();

} // namespace mt::platform
