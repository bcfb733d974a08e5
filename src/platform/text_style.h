// Fonts and colours as the runtime stores them, made into Qt's.
//
// A colour is 0x00BBGGRR; 0xFF000000 stands for the button-face colour and
// is resolved each time it is made, so it follows the current palette.
// A font is a 60-byte record in the classic logical-font layout (five 32-bit
// little-endian fields height, width, escapement, orientation, weight; eight
// bytes italic, underline, strikeout, character set, output precision, clip
// precision, quality, pitch and family; a 32-byte GB18030 face name) or
// anything else, which means the default GUI font.
#pragma once

#include <QColor>
#include <QFont>

#include <cstdint>
#include <string_view>

namespace mt::platform {

inline constexpr uint32_t kButtonFaceColorRef = 0xFF000000;
inline constexpr size_t kLogFontSize = 60;

QColor ColorFromRef(uint32_t colorRef);

QFont DefaultGuiFont();
// The font a 60-byte record describes (height < 0: character height in
// pixels; > 0: cell height; 0: the default size). Width, escapement and
// orientation are not used; the precision fields do not apply. A face that
// is not installed falls back to a CJK-capable face.
QFont FontFromLogFont(std::string_view blob);

// The dialog font of the input box: 9-point "宋体", or a CJK face in its place.
QFont DialogFont();

} // namespace mt::platform
