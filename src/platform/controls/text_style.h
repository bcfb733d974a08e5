// Colours and fonts as the runtime stores them, made into Qt's for the
// controls that paint text themselves (edit control, label).
#pragma once

#include <QColor>
#include <QFont>

#include <cstdint>
#include <string_view>

namespace mt::platform {

// A 0x00BBGGRR colour; kDefaultColor is the button face at this moment.
QColor ToQColor(uint32_t color);

// The font of a 60-byte logical-font record, or the default GUI font for
// anything else. Heights beyond 1000 pixels are taken as 1000.
QFont FontFromRecord(std::string_view record);

} // namespace mt::platform
