// The push button: caption with mnemonic, default-push style, alignment, an
// icon or bitmap picture instead of the caption, and its click notice.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/window_handle.h"
#include "platform/window_listener.h"

namespace mt::platform {

enum class HorizontalAlign { kLeft,
                             kCentre,
                             kRight };
enum class VerticalAlign { kTop,
                           kCentre,
                           kBottom };

// A new hidden push button, a child of `parent`.
WindowHandle CreatePushButton(WindowHandle parent, const Rect& rect, std::string_view caption,
                              WindowListener* listener);
void SetDefaultPush(WindowHandle button, bool isDefault);
bool IsDefaultPush(WindowHandle button);
void SetButtonAlignment(WindowHandle button, HorizontalAlign horizontal, VerticalAlign vertical);
// Shows the picture instead of the caption; false (and the caption shows)
// when the bytes cannot be decoded. Empty bytes clear the picture.
bool SetButtonPicture(WindowHandle button, const uint8_t* bytes, size_t size);
bool HasButtonPicture(WindowHandle button);
bool IsPushButton(WindowHandle handle);
// Clicks as the mouse would (tests, keyboard shortcuts).
void ClickButton(WindowHandle button);

} // namespace mt::platform
