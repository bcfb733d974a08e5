// The window-manager hint Qt has no flag for: the window's functions without
// "Move" (the window cannot be dragged by its title bar). On X11 it is written
// as the window's Motif hints through the connection Qt holds; other
// platforms keep it without applying it.
#pragma once

#include <array>
#include <cstdint>

class QWidget;

namespace mt::platform {

// Motif hint words.
inline constexpr uint32_t kMwmHintsFunctions = 1;
inline constexpr uint32_t kMwmHintsDecorations = 2;
inline constexpr uint32_t kMwmFuncAll = 1; // with it, the other function bits are the ones taken away
inline constexpr uint32_t kMwmFuncMove = 4;

// The hints (flags, functions, decorations, input mode, status) for a top
// window with these Qt window flags, as Qt writes them, with the move
// function taken away when the window is not movable.
std::array<uint32_t, 5> MotifHints(uint32_t qtWindowFlags, bool movable);
// Whether a window with these hints can be moved by the user.
bool HintsAllowMove(const std::array<uint32_t, 5>& hints);
// Writes the hints to the window on X11; nothing elsewhere or before the
// window exists on the screen.
void ApplyMotifHints(QWidget* window, bool movable);

} // namespace mt::platform
