// Fonts for platform windows, made from logical-font records.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/logical_font.h"
#include "platform/window_handle.h"

class QFont;

namespace mt::platform {

// The record of the default GUI font: an installed Chinese face at nine
// points (12 pixels at 96 dpi), scaled with the screen's resolution.
LogicalFont DefaultGuiFont();
int32_t DefaultGuiFontPixels();
// The same font for Qt's own widgets (dialogs, menus); the application
// takes it as its font when it starts.
QFont GuiFont();
// Sets the window's font: a 60-byte record, or the default GUI font for
// anything else (null, other lengths).
void SetWindowFont(WindowHandle handle, const uint8_t* bytes, size_t size);
QFont ToQFont(const LogicalFont& font);

} // namespace mt::platform
