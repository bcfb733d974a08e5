// Pre-translation of input for top-level windows: Qt's key, mouse and wheel
// events become InputEvents offered to the window's listener before the
// target widget sees them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class QKeyEvent;

namespace mt::platform {

// Installs the hook once; top-level windows call it when they are made.
void InstallPreTranslation();

// The virtual key code of a Qt key event, numeric keypad folded (keypad
// digits are the digit keys, keypad minus 189, point 190, divide 191).
int32_t VirtualKeyOf(const QKeyEvent* event);

// A character code from its GB18030 bytes (big-endian: one, two or four
// bytes) and back.
int32_t CharacterCode(std::string_view gb);
std::string CharacterBytes(int32_t code);

} // namespace mt::platform
