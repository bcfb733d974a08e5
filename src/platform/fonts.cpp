#include "platform/fonts.h"

#include <QApplication>
#include <QFont>
#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/application.h"
#include "platform/native_window.h"
#include "platform/screen_metrics.h"
#include "platform/text_codec.h"

namespace mt::platform {

LogicalFont DefaultGuiFont()
{
    EnsureApplication();
    const QFont f = QApplication::font();
    LogicalFont lf;
    const int pixels = f.pixelSize() > 0 ? f.pixelSize() : qRound(f.pointSizeF() * ScreenDpiY() / 72.0);
    lf.height = -pixels;
    lf.weight = 400;
    lf.charSet = 1;
    lf.faceName = ToGb(f.family());
    if (lf.faceName.size() >= kFaceNameSize)
        lf.faceName.resize(kFaceNameSize - 1);
    return lf;
}

constexpr int64_t kLargestFontPixels = 1000;

QFont ToQFont(const LogicalFont& lf)
{
    EnsureApplication();
    QFont f = QApplication::font();
    if (!lf.faceName.empty())
        f.setFamilies({FromGb(lf.faceName)});
    // A stored record may hold any height; beyond 1000 pixels (or at
    // INT32_MIN, whose magnitude has no int) nothing readable is drawn anyway.
    if (lf.height != 0)
        f.setPixelSize(static_cast<int>(std::min<int64_t>(std::abs(int64_t{lf.height}), kLargestFontPixels)));
    if (lf.weight > 0)
        f.setWeight(static_cast<QFont::Weight>(std::clamp(lf.weight, 1, 1000)));
    f.setItalic(lf.italic != 0);
    f.setUnderline(lf.underline != 0);
    f.setStrikeOut(lf.strikeOut != 0);
    return f;
}

void SetWindowFont(WindowHandle handle, const uint8_t* bytes, size_t size)
{
    QWidget* w = ToWidget(handle);
    if (!w)
        return;
    const LogicalFont lf = bytes && size == kLogicalFontSize ? LogicalFont::FromBytes(bytes) : DefaultGuiFont();
    w->setFont(ToQFont(lf));
}

} // namespace mt::platform
