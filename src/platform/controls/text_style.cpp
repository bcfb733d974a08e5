#include "platform/controls/text_style.h"

#include <algorithm>

#include "platform/fonts.h"
#include "platform/screen_metrics.h"

namespace mt::platform {

QColor ToQColor(uint32_t color)
{
    const uint32_t c = ResolveColor(color);
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

QFont FontFromRecord(std::string_view record)
{
    constexpr int32_t kMaxHeight = 1000; // beyond, glyph rendering only chokes
    LogicalFont font = record.size() == kLogicalFontSize
                           ? LogicalFont::FromBytes(reinterpret_cast<const uint8_t*>(record.data()))
                           : DefaultGuiFont();
    font.height = std::clamp(font.height, -kMaxHeight, kMaxHeight);
    return ToQFont(font);
}

} // namespace mt::platform
