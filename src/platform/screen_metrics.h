// Screen size, resolution, system colours and the nominal frame metrics that
// stand in for the window manager's frame.
#pragma once

#include <cstdint>

namespace mt::platform {

int32_t ScreenWidth();
int32_t ScreenHeight();
// Vertical pixels per logical inch of the primary screen.
int32_t ScreenDpiY();

// 0x00BBGGRR colours.
inline constexpr uint32_t kDefaultColor = 0xFF000000; // the button-face colour, resolved when used
uint32_t ButtonFaceColor();
uint32_t ResolveColor(uint32_t color);

// Frame styles of a top-level window, as the window kind asks for them.
enum class FrameBorder { kNone,
                         kSizable,
                         kFixed };

struct FrameMetrics {
    int32_t frame = 0;   // each side
    int32_t caption = 0; // title bar height
};

// The nominal frame: what a classic desktop frame would take from the outer
// rectangle, so that stored layouts keep their margins.
FrameMetrics NominalFrame(FrameBorder border, bool caption, bool toolWindow, bool clientEdge);

} // namespace mt::platform
