#include "platform/text_style.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPalette>
#include <QStringList>

#include <algorithm>
#include <cstring>

#include "platform/platform_texts.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

// Faces that carry the double-byte characters when the named face is absent.
const QStringList& CjkFallbacks()
{
    static const QStringList faces{QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                                   QStringLiteral("Noto Sans SC"), QStringLiteral("Droid Sans Fallback")};
    return faces;
}

constexpr int64_t kMaxPixelHeight = 1000;

int32_t Field32(std::string_view blob, size_t offset)
{
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(static_cast<uint8_t>(blob[offset + i])) << (8 * i);
    return static_cast<int32_t>(v);
}

// The face name: up to its first zero byte, at most 32 bytes.
QString FaceName(std::string_view blob)
{
    std::string_view face = blob.substr(28, 32);
    face = face.substr(0, std::min(face.size(), face.find('\0')));
    return FromGb(face);
}

void SetFace(QFont* font, const QString& face)
{
    QStringList families{face};
    families += CjkFallbacks();
    font->setFamilies(families);
}

// A positive height asks for the cell height (ascent plus descent): scale the
// pixel size by how the face's cell compares with its em.
void SetCellHeight(QFont* font, int cell)
{
    font->setPixelSize(cell);
    const int measured = QFontMetrics(*font).height();
    if (measured > 0 && measured != cell)
        font->setPixelSize(std::max(1, static_cast<int>(static_cast<int64_t>(cell) * cell / measured)));
}

} // namespace

QColor ColorFromRef(uint32_t colorRef)
{
    if (colorRef == kButtonFaceColorRef)
        return QApplication::palette().color(QPalette::Active, QPalette::Button);
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

QFont DefaultGuiFont()
{
    QFont font = QApplication::font();
    QStringList families = font.families();
    if (families.isEmpty())
        families << font.family();
    families += CjkFallbacks();
    font.setFamilies(families);
    return font;
}

QFont FontFromLogFont(std::string_view blob)
{
    QFont font = DefaultGuiFont();
    if (blob.size() != kLogFontSize)
        return font;
    const QString face = FaceName(blob);
    if (!face.isEmpty())
        SetFace(&font, face);
    // Heights beyond kMaxPixelHeight would only make the glyph cache choke.
    const int64_t height = std::clamp<int64_t>(Field32(blob, 0), -kMaxPixelHeight, kMaxPixelHeight);
    if (height < 0)
        font.setPixelSize(static_cast<int>(-height));
    else if (height > 0)
        SetCellHeight(&font, static_cast<int>(height));
    const int32_t weight = Field32(blob, 16);
    if (weight > 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
    font.setItalic(blob[20] != 0);
    font.setUnderline(blob[21] != 0);
    font.setStrikeOut(blob[22] != 0);
    return font;
}

QFont DialogFont()
{
    QFont font;
    SetFace(&font, FromGb(std::string_view(gb::kSongTiFace, gb::kSongTiFaceSize)));
    font.setPointSize(9);
    return font;
}

} // namespace mt::platform
