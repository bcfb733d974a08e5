#include "platform/window_registry.h"

#include "platform/native_window.h"

namespace mt::platform {

// The layer's registry knows every window it made and forgets a window the
// moment it is destroyed, before Qt deletes the object.
bool WindowExists(WindowHandle window) { return IsWindow(window); }

} // namespace mt::platform
