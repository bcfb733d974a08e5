// SetClipboardText (core command 2): puts a text on the system clipboard.
#pragma once

#include <cstdint>

#include "abi/value_record.h"

namespace mt {

// Argument: the text. Result: true when it is on the clipboard (the empty
// text puts an empty text there).
void SetClipboardText(ValueRecord* result, int32_t argc, ValueRecord* args);

} // namespace mt
