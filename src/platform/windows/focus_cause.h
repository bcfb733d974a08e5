// What a Qt focus event says about how the focus came: the platform's
// FocusCause (native_window.h). A press gives the focus before the widget
// sees the press, so the button is read from the pointer's state then.
#pragma once

#include <Qt>

#include "platform/native_window.h"

class QFocusEvent;

namespace mt::platform {

Qt::FocusReason QtFocusReason(FocusCause cause);
FocusCause FocusCauseOf(const QFocusEvent& event);
// A context menu opening or closing moves the focus to the menu and back:
// the box never lost it as far as its owner is concerned.
bool IsMenuFocusChange(const QFocusEvent& event);

// While one lives, a focus change for a mouse press counts as a press of
// `button` (input that does not come through the window system, whose
// pointer state Qt does not update).
class PressingButton {
public:
    explicit PressingButton(Qt::MouseButton button);
    ~PressingButton();
    PressingButton(const PressingButton&) = delete;
    PressingButton& operator=(const PressingButton&) = delete;

private:
    Qt::MouseButton before_;
};

} // namespace mt::platform
