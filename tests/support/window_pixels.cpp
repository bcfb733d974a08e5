#include "support/window_pixels.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <algorithm>

#include "platform/native_window.h"

namespace mt::test {
namespace {

// The part of r inside a picture of w by h pixels, as [x0, x1) by [y0, y1).
struct Span {
    int32_t x0, y0, x1, y1;
};

Span Clip(const platform::Rect& r, int32_t w, int32_t h)
{
    return {std::clamp(r.left, 0, w), std::clamp(r.top, 0, h), std::clamp(r.left + r.width, 0, w),
            std::clamp(r.top + r.height, 0, h)};
}

} // namespace

WindowPixels WindowPixels::crop(const platform::Rect& r) const
{
    const Span s = Clip(r, width, height);
    WindowPixels out;
    out.width = std::max(0, s.x1 - s.x0);
    out.height = std::max(0, s.y1 - s.y0);
    for (int32_t y = s.y0; y < s.y1; ++y)
        for (int32_t x = s.x0; x < s.x1; ++x)
            out.colors.push_back(at(x, y));
    return out;
}

int32_t WindowPixels::count(const platform::Rect& r, uint32_t color) const
{
    const Span s = Clip(r, width, height);
    int32_t n = 0;
    for (int32_t y = s.y0; y < s.y1; ++y)
        for (int32_t x = s.x0; x < s.x1; ++x)
            n += at(x, y) == color ? 1 : 0;
    return n;
}

platform::Rect WindowPixels::box(const platform::Rect& r, uint32_t color) const
{
    const Span s = Clip(r, width, height);
    int32_t x0 = s.x1, y0 = s.y1, x1 = -1, y1 = -1;
    for (int32_t y = s.y0; y < s.y1; ++y) {
        for (int32_t x = s.x0; x < s.x1; ++x) {
            if (at(x, y) != color)
                continue;
            x0 = std::min(x0, x);
            y0 = std::min(y0, y);
            x1 = std::max(x1, x);
            y1 = std::max(y1, y);
        }
    }
    if (x1 < 0)
        return {};
    return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

WindowPixels GrabWindow(platform::WindowHandle top)
{
    QWidget* widget = platform::ToWidget(top);
    const QImage img =
        QGuiApplication::primaryScreen()->grabWindow(widget->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    WindowPixels out;
    out.width = img.width();
    out.height = img.height();
    out.colors.reserve(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
    for (int32_t y = 0; y < out.height; ++y) {
        for (int32_t x = 0; x < out.width; ++x) {
            const QRgb c = img.pixel(x, y);
            out.colors.push_back(static_cast<uint32_t>(qRed(c) | qGreen(c) << 8 | qBlue(c) << 16));
        }
    }
    return out;
}

} // namespace mt::test
