#include "platform/fonts.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/application.h"
#include "platform/native_window.h"
#include "platform/screen_metrics.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

// Chinese faces in the order they are tried for the default GUI font: those
// whose Latin letters and digits come closest to half the em, as the
// window layouts assume (a nine-point face, 12 pixels at 96 dpi, ASCII about
// 6 pixels wide).
constexpr const char* kGuiFaces[] = {
    "WenQuanYi Micro Hei",
    "Noto Sans CJK SC",
    "Source Han Sans SC",
    "Noto Sans SC",
    "WenQuanYi Zen Hei",
    "AR PL UMing CN",
    "Droid Sans Fallback",
};

QString GuiFamily()
{
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        for (const char* face : kGuiFaces) {
            QString name = QString::fromLatin1(face);
            if (installed.contains(name, Qt::CaseInsensitive))
                return name;
        }
        return QApplication::font().family(); // fontconfig finds the glyphs
    }();
    return family;
}

constexpr int64_t kLargestFontPixels = 1000;

} // namespace

int32_t DefaultGuiFontPixels()
{
    EnsureApplication();
    return (9 * ScreenDpiY() + 36) / 72; // nine points, rounded
}

LogicalFont DefaultGuiFont()
{
    LogicalFont lf;
    lf.height = -DefaultGuiFontPixels();
    lf.weight = 400;
    lf.charSet = 1;
    lf.faceName = ToGb(GuiFamily());
    if (lf.faceName.size() >= kFaceNameSize)
        lf.faceName.resize(kFaceNameSize - 1);
    return lf;
}

QFont ToQFont(const LogicalFont& lf)
{
    EnsureApplication();
    QFont f = QApplication::font();
    // A face that is not installed falls back to the default GUI face.
    if (!lf.faceName.empty())
        f.setFamilies({FromGb(lf.faceName), GuiFamily()});
    // A stored record may hold any height; beyond 1000 pixels (or at
    // INT32_MIN, whose magnitude has no int) nothing readable is drawn anyway.
    if (lf.height != 0)
        f.setPixelSize(static_cast<int>(std::min<int64_t>(std::abs(int64_t{lf.height}), kLargestFontPixels)));
    if (lf.weight > 0)
        f.setWeight(static_cast<QFont::Weight>(std::clamp(lf.weight, 1, 1000)));
    f.setItalic(lf.italic != 0);
    f.setUnderline(lf.underline != 0);
    f.setStrikeOut(lf.strikeOut != 0);
    // Full hinting widens small digits by a pixel each; vertical hinting
    // keeps the advances the layouts were measured with.
    f.setHintingPreference(QFont::PreferVerticalHinting);
    return f;
}

QFont GuiFont()
{
    QFont f(GuiFamily());
    f.setPixelSize(DefaultGuiFontPixels());
    f.setHintingPreference(QFont::PreferVerticalHinting);
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
