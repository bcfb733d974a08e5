// The runtime's name for a platform window. Above the platform layer it is an
// opaque pointer; inside, it is the QWidget that implements the window.
#pragma once

#include <cstdint>

namespace mt::platform {

struct NativeWindow; // never defined: a WindowHandle is a QWidget* in disguise
using WindowHandle = NativeWindow*;

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

} // namespace mt::platform
