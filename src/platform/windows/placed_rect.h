// A child window whose widget may reach beyond the rectangle it was placed
// at: a label whose text spills into the free room beside it. The window
// operations (native_window.h) report and move the placed rectangle; the
// widget's own geometry is the window's business.
#pragma once

#include <QRect>

namespace mt::platform {

class PlacedRect {
public:
    virtual QRect placedRect() const = 0;
    virtual void place(const QRect& rect) = 0;

protected:
    ~PlacedRect() = default;
};

} // namespace mt::platform
