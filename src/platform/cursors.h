// Mouse cursors: the fifteen standard cursor numbers of the runtime, the
// platform's identifiers for them, and cursors made from mouse-pointer data.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/window_handle.h"

namespace mt::platform {

struct NativeCursor; // a QCursor inside the layer
using CursorHandle = NativeCursor*;

// Cursor number (0 none, 1 arrow ... 14 hand) <-> platform cursor
// identifier. Values outside the table pass unchanged.
int32_t CursorIdentifier(int32_t number);
int32_t CursorNumber(int32_t identifier);

// A cursor from mouse-pointer data: the number in the first byte (fewer than
// 4 bytes) or the first word; 1..14 (or their identifiers) are standard
// cursors; -1 means the bytes after the first word are a cursor file; longer
// data is first tried as a cursor file. Null for none or undecodable data.
CursorHandle MakeCursor(const uint8_t* data, size_t size);
void DestroyCursor(CursorHandle cursor);
// The cursor shown over the window; null gives the window's default.
void SetWindowCursor(WindowHandle handle, CursorHandle cursor);
// Moves the mouse cursor to where it is, so that a new shape shows at once.
void RefreshMouseCursor();
// The standard cursor number a window shows, 0 when it has its default.
int32_t WindowCursorNumber(WindowHandle handle);

} // namespace mt::platform
