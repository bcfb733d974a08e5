#include "platform/window_registry.h"

#include <QApplication>
#include <QWidget>

namespace mt::platform {

bool WindowExists(WindowHandle window)
{
    if (!window || !QApplication::instance())
        return false;
    // A handle is a QWidget*; only compare it against live widgets, never
    // dereference a handle that may be stale.
    const QWidgetList all = QApplication::allWidgets();
    for (QWidget* w : all) {
        if (reinterpret_cast<WindowHandle>(w) == window)
            return true;
    }
    return false;
}

} // namespace mt::platform
