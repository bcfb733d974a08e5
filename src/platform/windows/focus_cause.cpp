#include "platform/windows/focus_cause.h"

#include <QFocusEvent>
#include <QGuiApplication>

namespace mt::platform {
namespace {

Qt::MouseButton g_pressing = Qt::NoButton;

} // namespace

PressingButton::PressingButton(Qt::MouseButton button) : before_(g_pressing) { g_pressing = button; }
PressingButton::~PressingButton() { g_pressing = before_; }

Qt::FocusReason QtFocusReason(FocusCause cause)
{
    switch (cause) {
    case FocusCause::kLeftClick:
    case FocusCause::kOtherClick: return Qt::MouseFocusReason;
    case FocusCause::kTab: return Qt::TabFocusReason;
    case FocusCause::kBacktab: return Qt::BacktabFocusReason;
    case FocusCause::kActivation: return Qt::ActiveWindowFocusReason;
    case FocusCause::kProgram: break;
    }
    return Qt::OtherFocusReason;
}

FocusCause FocusCauseOf(const QFocusEvent& event)
{
    switch (event.reason()) {
    case Qt::MouseFocusReason: {
        const Qt::MouseButtons buttons = g_pressing != Qt::NoButton ? Qt::MouseButtons(g_pressing)
                                                                    : QGuiApplication::mouseButtons();
        return buttons & Qt::LeftButton ? FocusCause::kLeftClick : FocusCause::kOtherClick;
    }
    case Qt::TabFocusReason: return FocusCause::kTab;
    case Qt::BacktabFocusReason: return FocusCause::kBacktab;
    case Qt::ActiveWindowFocusReason: return FocusCause::kActivation;
    default: return FocusCause::kProgram;
    }
}

bool IsMenuFocusChange(const QFocusEvent& event) { return event.reason() == Qt::PopupFocusReason; }

} // namespace mt::platform
