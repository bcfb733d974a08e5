// Which platform windows exist right now.
#pragma once

#include "platform/window_handle.h"

namespace mt::platform {

// True while the window behind the handle has not been destroyed. Every
// window the platform layer creates is registered with it.
bool WindowExists(WindowHandle window);

} // namespace mt::platform
