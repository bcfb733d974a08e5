#include "platform/testing/input_simulation.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolButton>
#include <QWidget>

#include "platform/edit/edit_spinner.h"
#include "platform/edit_control.h"
#include "platform/native_window.h"
#include "platform/text_codec.h"
#include "platform/windows/focus_cause.h"

namespace mt::platform {
namespace {

Qt::Key QtKey(int32_t vk)
{
    if (vk >= 'A' && vk <= 'Z')
        return static_cast<Qt::Key>(Qt::Key_A + (vk - 'A'));
    if (vk >= '0' && vk <= '9')
        return static_cast<Qt::Key>(Qt::Key_0 + (vk - '0'));
    if (vk >= kVkF1 && vk < kVkF1 + 24)
        return static_cast<Qt::Key>(Qt::Key_F1 + (vk - kVkF1));
    switch (vk) {
    case kVkBack: return Qt::Key_Backspace;
    case kVkTab: return Qt::Key_Tab;
    case kVkReturn: return Qt::Key_Return;
    case kVkEscape: return Qt::Key_Escape;
    case kVkSpace: return Qt::Key_Space;
    case kVkLeft: return Qt::Key_Left;
    case kVkUp: return Qt::Key_Up;
    case kVkRight: return Qt::Key_Right;
    case kVkDown: return Qt::Key_Down;
    }
    return Qt::Key_unknown;
}

Qt::KeyboardModifiers Modifiers(int32_t keyState)
{
    Qt::KeyboardModifiers m;
    if (keyState & kKeyStateCtrl)
        m |= Qt::ControlModifier;
    if (keyState & kKeyStateShift)
        m |= Qt::ShiftModifier;
    if (keyState & kKeyStateAlt)
        m |= Qt::AltModifier;
    return m;
}

QString TextOf(int32_t vk, int32_t keyState)
{
    if (keyState & (kKeyStateCtrl | kKeyStateAlt))
        return {};
    if (vk >= 'A' && vk <= 'Z')
        return QChar((keyState & kKeyStateShift) ? vk : vk + 32);
    if ((vk >= '0' && vk <= '9') || vk == kVkSpace)
        return QChar(vk);
    switch (vk) {
    case kVkReturn: return QStringLiteral("\r");
    case kVkTab: return QStringLiteral("\t");
    case kVkEscape: return QStringLiteral("\x1b");
    case kVkBack: return QStringLiteral("\b");
    }
    return {};
}

QWidget* KeyTarget()
{
    if (QWidget* w = QApplication::focusWidget())
        return w;
    return QApplication::activeWindow();
}

void SendKey(Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    if (QWidget* target = KeyTarget()) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(target, &press);
    }
    if (QWidget* target = KeyTarget()) {
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(target, &release);
    }
}

} // namespace

void SimulateKey(int32_t virtualKey, int32_t keyState)
{
    Qt::Key key = QtKey(virtualKey);
    if (key == Qt::Key_Tab && (keyState & kKeyStateShift))
        key = Qt::Key_Backtab;
    SendKey(key, Modifiers(keyState), TextOf(virtualKey, keyState));
}

void SimulateCharacter(std::string_view gb) { SendKey(Qt::Key_unknown, Qt::NoModifier, FromGb(gb)); }

void SimulateInputMethod(std::string_view preeditGb, std::string_view commitGb)
{
    if (QWidget* target = KeyTarget()) {
        QInputMethodEvent compose(FromGb(preeditGb), {});
        QApplication::sendEvent(target, &compose);
    }
    if (QWidget* target = KeyTarget()) {
        QInputMethodEvent commit;
        commit.setCommitString(FromGb(commitGb));
        QApplication::sendEvent(target, &commit);
    }
}

void SimulateMouse(WindowHandle target, InputKind kind, int32_t x, int32_t y, int32_t keyState)
{
    QWidget* w = ToWidget(target);
    if (!w)
        return;
    QEvent::Type type = QEvent::MouseMove;
    Qt::MouseButton button = Qt::NoButton;
    switch (kind) {
    case InputKind::kLeftDown:
        type = QEvent::MouseButtonPress;
        button = Qt::LeftButton;
        break;
    case InputKind::kLeftUp:
        type = QEvent::MouseButtonRelease;
        button = Qt::LeftButton;
        break;
    case InputKind::kDoubleClick:
        type = QEvent::MouseButtonDblClick;
        button = Qt::LeftButton;
        break;
    case InputKind::kRightDown:
        type = QEvent::MouseButtonPress;
        button = Qt::RightButton;
        break;
    case InputKind::kRightUp:
        type = QEvent::MouseButtonRelease;
        button = Qt::RightButton;
        break;
    default: break;
    }
    // A real click lands on the innermost widget under the pointer (the
    // viewport of a text box, say), and focus-on-click starts from there.
    QPointF local(x, y);
    if (QWidget* inner = w->childAt(local.toPoint())) {
        local = inner->mapFrom(w, local);
        w = inner;
    }
    // Focus-on-click is given only for the window system's own events, so
    // do what it does: the first widget upwards that takes click focus.
    if (type == QEvent::MouseButtonPress) {
        const PressingButton pressing(button);
        for (QWidget* f = w; f && !f->isWindow(); f = f->parentWidget()) {
            if (f->isEnabled() && (f->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus) {
                f->setFocus(Qt::MouseFocusReason);
                break;
            }
        }
    }
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, local, w->mapToGlobal(local), button, buttons, Modifiers(keyState));
    QApplication::sendEvent(w, &event);
}

void SimulateSpinnerArrow(WindowHandle editControl, int direction)
{
    EditControl* edit = EditControlOf(editControl);
    auto* spinner = edit ? dynamic_cast<SpinnerWidget*>(reinterpret_cast<QWidget*>(edit->spinnerHandle())) : nullptr;
    if (!spinner)
        return;
    QToolButton* arrow = direction < 0 ? spinner->downButton() : spinner->upButton();
    const QPointF centre(arrow->width() / 2.0, arrow->height() / 2.0);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent event(type, centre, arrow->mapToGlobal(centre), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(arrow, &event);
    }
}

void SimulateActivation(WindowHandle handle)
{
    QWidget* w = ToWidget(handle);
    if (!w)
        return;
    QApplication::setActiveWindow(w->window());
    QApplication::processEvents();
}

} // namespace mt::platform
