// What a window shows, read back from its backing store, for pixel tests
// above the platform layer: colours as 0x00BBGGRR, rectangles as the
// runtime's own, so those tests need no Qt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/window_handle.h"

namespace mt::test {

struct WindowPixels {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> colors; // row by row, 0x00BBGGRR

    uint32_t at(int32_t x, int32_t y) const { return colors[static_cast<size_t>(y) * width + x]; }
    // The pixels inside r (clipped to the picture), as a picture of their own.
    WindowPixels crop(const platform::Rect& r) const;
    // How many pixels inside r have this colour.
    int32_t count(const platform::Rect& r, uint32_t color) const;
    // The smallest rectangle holding every pixel of this colour inside r
    // (all zero when there is none).
    platform::Rect box(const platform::Rect& r, uint32_t color) const;
    friend bool operator==(const WindowPixels&, const WindowPixels&) = default;
};

// The top-level window `top` as it is on the screen now, in its client
// coordinates. Pending paints are not run first: what shows is what the
// last call left.
WindowPixels GrabWindow(platform::WindowHandle top);

} // namespace mt::test
