// The idle-callback table: one entry per window, run while the message loop
// has nothing to do.
#pragma once

#include <cstdint>

#include "platform/window_handle.h"

namespace mt {

// Answers non-zero to ask for more idle calls.
using IdleCallback = int32_t (*)(intptr_t argument);

struct IdleEntry {
    platform::WindowHandle window;
    IdleCallback callback;
    intptr_t argument;
};

// Ignored when the window is null or not a window, already has an entry, or
// the callback is null.
void AddIdleCallback(const IdleEntry& entry);
void RemoveIdleCallback(platform::WindowHandle window);
void ClearIdleCallbacks();
// Walks the table from its last entry to its first, dropping entries whose
// window no longer exists and calling the others; true when one of them asks
// for more idle calls.
bool RunIdleCallbacks();
int IdleCallbackCount();

} // namespace mt
