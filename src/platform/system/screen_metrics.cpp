#include "platform/screen_metrics.h"

#include <QApplication>
#include <QPalette>
#include <QScreen>

#include "platform/application.h"

namespace mt::platform {
namespace {

QScreen* Screen()
{
    EnsureApplication();
    return QGuiApplication::primaryScreen();
}

} // namespace

int32_t ScreenWidth()
{
    QScreen* s = Screen();
    return s ? s->geometry().width() : 0;
}

int32_t ScreenHeight()
{
    QScreen* s = Screen();
    return s ? s->geometry().height() : 0;
}

int32_t ScreenDpiY()
{
    QScreen* s = Screen();
    const int dpi = s ? qRound(s->logicalDotsPerInchY()) : 96;
    return dpi > 0 ? dpi : 96;
}

uint32_t ButtonFaceColor()
{
    EnsureApplication();
    const QColor c = QApplication::palette().color(QPalette::Button);
    return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 | static_cast<uint32_t>(c.blue()) << 16;
}

uint32_t ResolveColor(uint32_t color) { return color == kDefaultColor ? ButtonFaceColor() : color & 0x00FFFFFFu; }

FrameMetrics NominalFrame(FrameBorder border, bool caption, bool toolWindow, bool clientEdge)
{
    FrameMetrics m;
    switch (border) {
    case FrameBorder::kNone: return m;
    case FrameBorder::kSizable: m.frame = 4; break;
    case FrameBorder::kFixed: m.frame = 3; break;
    }
    if (clientEdge)
        m.frame += 2;
    if (caption)
        m.caption = toolWindow ? 15 : 19;
    return m;
}

} // namespace mt::platform
