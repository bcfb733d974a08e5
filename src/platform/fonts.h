// Fonts for platform windows, made from logical-font records.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/logical_font.h"
#include "platform/window_handle.h"

class QFont;

namespace mt::platform {

// The record of the platform's default GUI font.
LogicalFont DefaultGuiFont();
// Sets the window's font: a 60-byte record, or the default GUI font for
// anything else (null, other lengths).
void SetWindowFont(WindowHandle handle, const uint8_t* bytes, size_t size);
QFont ToQFont(const LogicalFont& font);

} // namespace mt::platform
