#include "platform/keyboard_focus.h"

#include <QApplication>
#include <QWidget>

namespace mt::platform {

void SetKeyboardFocus(WindowHandle window)
{
    if (auto* widget = reinterpret_cast<QWidget*>(window))
        widget->setFocus(Qt::OtherFocusReason);
}

WindowHandle KeyboardFocus()
{
    return reinterpret_cast<WindowHandle>(QApplication::focusWidget());
}

} // namespace mt::platform
