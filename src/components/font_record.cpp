#include "components/font_record.h"

#include <cstdlib>
#include <cstring>

#include "abi/text_value.h"
#include "components/components_texts.h"
#include "platform/fonts.h"
#include "platform/screen_metrics.h"

namespace mt {
namespace {

constexpr int32_t kBoldWeight = 700;

std::string FaceOrDefault(const char* name)
{
    const size_t n = name ? std::strlen(name) : 0;
    if (n == 0 || n >= platform::kFaceNameSize)
        return gb::kDefaultFaceName;
    return std::string(name, n);
}

int32_t HeightFromPoints(int32_t points)
{
    if (points < 0)
        points = 0;
    return -MulDiv(points, platform::ScreenDpiY(), 72);
}

int32_t NormalizedAngle(int32_t angle)
{
    int32_t a = angle % 3600;
    return a < 0 ? a + 3600 : a;
}

char* Text(const std::string& s) { return NewText(s); }

} // namespace

int32_t MulDiv(int32_t a, int32_t b, int32_t c)
{
    if (c == 0)
        return 0;
    const int64_t product = static_cast<int64_t>(a) * b;
    const int64_t half = std::llabs(c) / 2;
    const int64_t q = (product >= 0) == (c > 0) ? (std::llabs(product) + half) / std::llabs(c)
                                                : -((std::llabs(product) + half) / std::llabs(c));
    return static_cast<int32_t>(q);
}

platform::LogicalFont FontOrDefault(const uint8_t* blob, size_t size)
{
    if (blob && size == platform::kLogicalFontSize)
        return platform::LogicalFont::FromBytes(blob);
    return platform::DefaultGuiFont();
}

platform::LogicalFont ForDisplay(platform::LogicalFont font)
{
    font.charSet = 1;
    font.outPrecision = 0;
    font.clipPrecision = 0;
    font.quality = 2;
    font.pitchAndFamily = 0;
    return font;
}

uint64_t ReadFontField(const platform::LogicalFont& f, int32_t field)
{
    switch (field) {
    case kFontAngle: return static_cast<uint32_t>(f.orientation);
    case kFontBold: return f.weight >= kBoldWeight;
    case kFontItalic: return f.italic != 0;
    case kFontStrikeOut: return f.strikeOut != 0;
    case kFontUnderline: return f.underline != 0;
    case kFontSize: return static_cast<uint32_t>(MulDiv(std::abs(f.height), 72, platform::ScreenDpiY()));
    case kFontFaceName: return reinterpret_cast<uintptr_t>(Text(f.faceName));
    default: break;
    }
    auto* r = static_cast<FontRecord*>(svc::Allocate(sizeof(FontRecord)));
    r->angle = f.orientation;
    r->bold = f.weight >= kBoldWeight;
    r->italic = f.italic != 0;
    r->strikeOut = f.strikeOut != 0;
    r->underline = f.underline != 0;
    r->size = MulDiv(std::abs(f.height), 72, platform::ScreenDpiY());
    r->faceName = Text(f.faceName);
    return reinterpret_cast<uintptr_t>(r);
}

platform::LogicalFont FontFromRecord(const FontRecord& r)
{
    platform::LogicalFont f;
    f.escapement = f.orientation = r.angle;
    f.weight = r.bold ? kBoldWeight : 0;
    f.italic = r.italic != 0;
    f.underline = r.underline != 0;
    f.strikeOut = r.strikeOut != 0;
    f.height = HeightFromPoints(r.size);
    f.faceName = FaceOrDefault(r.faceName);
    return f;
}

void WriteFontField(platform::LogicalFont* f, int32_t field, uint64_t value)
{
    const auto v = static_cast<int32_t>(value);
    switch (field) {
    case kFontAngle: f->escapement = f->orientation = NormalizedAngle(v); break;
    case kFontBold: f->weight = v ? kBoldWeight : 0; break;
    case kFontItalic: f->italic = v != 0; break;
    case kFontStrikeOut: f->strikeOut = v != 0; break;
    case kFontUnderline: f->underline = v != 0; break;
    case kFontSize: f->height = HeightFromPoints(v); break;
    case kFontFaceName: f->faceName = FaceOrDefault(reinterpret_cast<const char*>(static_cast<uintptr_t>(value))); break;
    default: break;
    }
}

} // namespace mt
