// The multi-line box's text size: steps of a tenth up or down from the
// font its owner set, for as long as the program runs.
#include "platform/text_view/text_view.h"

#include <QKeyEvent>

#include <algorithm>
#include <cmath>

namespace mt::platform {
namespace {

constexpr int kMinSteps = -6;
constexpr int kMaxSteps = 15;

} // namespace

void TextView::zoom(int step)
{
    if (!zoomable_)
        return;
    const int next = step == 0 ? 0 : std::clamp(zoom_ + step, kMinSteps, kMaxSteps);
    if (next == zoom_)
        return;
    if (zoom_ == 0)
        baseFont_ = font();
    zoom_ = next;
    applyZoom();
}

void TextView::applyZoom()
{
    QFont f = baseFont_;
    const qreal factor = std::pow(1.1, zoom_);
    if (baseFont_.pixelSize() > 0)
        f.setPixelSize(std::max(4, static_cast<int>(std::lround(baseFont_.pixelSize() * factor))));
    else
        f.setPointSizeF(std::max<qreal>(3, baseFont_.pointSizeF() * factor));
    zooming_ = true;
    setFont(f);
    zooming_ = false;
}

bool TextView::zoomKey(const QKeyEvent* event)
{
    if (!zoomable_ || !(event->modifiers() & Qt::ControlModifier) ||
        (event->modifiers() & (Qt::AltModifier | Qt::MetaModifier)))
        return false;
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: zoom(1); return true;
    case Qt::Key_Minus: zoom(-1); return true;
    case Qt::Key_0: zoom(0); return true;
    }
    return false;
}

} // namespace mt::platform
