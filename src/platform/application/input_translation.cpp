#include "platform/application/input_translation.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include "platform/application/input_hook.h"
#include "platform/native_window.h"
#include "platform/text_codec.h"
#include "platform/windows/top_window_widget.h"

namespace mt::platform {
namespace {

bool g_resending = false;

int32_t KeyState(Qt::KeyboardModifiers m)
{
    return (m & Qt::ControlModifier ? kKeyStateCtrl : 0) | (m & Qt::ShiftModifier ? kKeyStateShift : 0) |
           (m & Qt::AltModifier ? kKeyStateAlt : 0);
}

int32_t KeyStateFor(int32_t vk, Qt::KeyboardModifiers m)
{
    int32_t state = KeyState(m);
    if (vk == kVkControl)
        state &= ~kKeyStateCtrl;
    if (vk == kVkShift)
        state &= ~kKeyStateShift;
    if (vk == kVkMenu)
        state &= ~kKeyStateAlt;
    return state;
}

int32_t PunctuationKey(int key)
{
    static const struct {
        int key;
        int32_t vk;
    } table[] = {
        {Qt::Key_Semicolon, 186},
        {Qt::Key_Colon, 186},
        {Qt::Key_Equal, 187},
        {Qt::Key_Plus, 187},
        {Qt::Key_Comma, 188},
        {Qt::Key_Less, 188},
        {Qt::Key_Minus, 189},
        {Qt::Key_Underscore, 189},
        {Qt::Key_Period, 190},
        {Qt::Key_Greater, 190},
        {Qt::Key_Slash, 191},
        {Qt::Key_Question, 191},
        {Qt::Key_QuoteLeft, 192},
        {Qt::Key_AsciiTilde, 192},
        {Qt::Key_BracketLeft, 219},
        {Qt::Key_BraceLeft, 219},
        {Qt::Key_Backslash, 220},
        {Qt::Key_Bar, 220},
        {Qt::Key_BracketRight, 221},
        {Qt::Key_BraceRight, 221},
        {Qt::Key_Apostrophe, 222},
        {Qt::Key_QuoteDbl, 222},
        {Qt::Key_Exclam, '1'},
        {Qt::Key_At, '2'},
        {Qt::Key_NumberSign, '3'},
        {Qt::Key_Dollar, '4'},
        {Qt::Key_Percent, '5'},
        {Qt::Key_AsciiCircum, '6'},
        {Qt::Key_Ampersand, '7'},
        {Qt::Key_Asterisk, '8'},
        {Qt::Key_ParenLeft, '9'},
        {Qt::Key_ParenRight, '0'},
    };
    for (const auto& row : table) {
        if (row.key == key)
            return row.vk;
    }
    return 0;
}

int32_t KeypadKey(int key)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return '0' + (key - Qt::Key_0);
    switch (key) {
    case Qt::Key_Minus: return 189;
    case Qt::Key_Period: return 190;
    case Qt::Key_Slash: return 191;
    case Qt::Key_Asterisk: return 106;
    case Qt::Key_Plus: return 107;
    case Qt::Key_Enter: return kVkReturn;
    }
    return -1;
}

int32_t ControlKey(int key)
{
    static const struct {
        int key;
        int32_t vk;
    } table[] = {
        {Qt::Key_Backspace, kVkBack},
        {Qt::Key_Tab, kVkTab},
        {Qt::Key_Backtab, kVkTab},
        {Qt::Key_Return, kVkReturn},
        {Qt::Key_Enter, kVkReturn},
        {Qt::Key_Shift, kVkShift},
        {Qt::Key_Control, kVkControl},
        {Qt::Key_Alt, kVkMenu},
        {Qt::Key_Pause, 0x13},
        {Qt::Key_CapsLock, 0x14},
        {Qt::Key_Escape, kVkEscape},
        {Qt::Key_Space, kVkSpace},
        {Qt::Key_PageUp, 0x21},
        {Qt::Key_PageDown, 0x22},
        {Qt::Key_End, 0x23},
        {Qt::Key_Home, 0x24},
        {Qt::Key_Left, kVkLeft},
        {Qt::Key_Up, kVkUp},
        {Qt::Key_Right, kVkRight},
        {Qt::Key_Down, kVkDown},
        {Qt::Key_Print, 0x2C},
        {Qt::Key_Insert, 0x2D},
        {Qt::Key_Delete, 0x2E},
        {Qt::Key_Meta, 0x5B},
        {Qt::Key_Menu, 0x5D},
        {Qt::Key_NumLock, 0x90},
        {Qt::Key_ScrollLock, 0x91},
    };
    for (const auto& row : table) {
        if (row.key == key)
            return row.vk;
    }
    return -1;
}

bool Offer(QWidget* receiver, InputEvent& e)
{
    auto* top = dynamic_cast<TopWindow*>(receiver->window());
    if (!top || !IsWindow(ToHandle(top)))
        return false;
    WindowHandle target = RegisteredAncestor(receiver);
    if (QWidget* t = ToWidget(target); t && t != receiver && e.kind != InputKind::kKeyDown &&
                                       e.kind != InputKind::kKeyUp && e.kind != InputKind::kCharacter) {
        const QPoint p = receiver->mapTo(t, QPoint(e.x, e.y));
        e.x = p.x();
        e.y = p.y();
    }
    return top->listener()->preTranslate(target, e);
}

bool MouseInput(QWidget* w, QEvent* event)
{
    auto* me = static_cast<QMouseEvent*>(event);
    const bool right = me->button() == Qt::RightButton;
    if (me->button() != Qt::LeftButton && !right && event->type() != QEvent::MouseMove)
        return false;
    InputEvent e;
    switch (event->type()) {
    case QEvent::MouseButtonPress: e.kind = right ? InputKind::kRightDown : InputKind::kLeftDown; break;
    case QEvent::MouseButtonRelease: e.kind = right ? InputKind::kRightUp : InputKind::kLeftUp; break;
    case QEvent::MouseButtonDblClick: e.kind = right ? InputKind::kRightDown : InputKind::kDoubleClick; break;
    default: e.kind = InputKind::kMouseMove; break;
    }
    const QPoint p = me->position().toPoint();
    e.x = p.x();
    e.y = p.y();
    e.keyState = KeyState(me->modifiers());
    return Offer(w, e);
}

bool WheelInput(QWidget* w, QWheelEvent* we)
{
    InputEvent e;
    e.kind = InputKind::kWheel;
    const QPoint p = we->position().toPoint();
    e.x = p.x();
    e.y = p.y();
    e.wheel = we->angleDelta().y() / 120;
    e.keyState = KeyState(we->modifiers());
    return Offer(w, e);
}

// A character replaced by the window: the same key with the new text.
void Resend(QWidget* w, const QKeyEvent* original, int32_t code)
{
    QKeyEvent replaced(QEvent::KeyPress, original->key(), original->modifiers(), FromGb(CharacterBytes(code)),
                       original->isAutoRepeat());
    g_resending = true;
    QCoreApplication::sendEvent(w, &replaced);
    g_resending = false;
}

bool KeyInput(QWidget* w, QKeyEvent* ke)
{
    const bool press = ke->type() == QEvent::KeyPress;
    if (!press && ke->isAutoRepeat())
        return false;
    InputEvent e;
    e.kind = press ? InputKind::kKeyDown : InputKind::kKeyUp;
    e.key = VirtualKeyOf(ke);
    e.keyState = KeyStateFor(e.key, ke->modifiers());
    if (Offer(w, e))
        return true;
    if (!press || ke->text().isEmpty())
        return false;
    const std::string gb = ToGb(ke->text());
    InputEvent c;
    c.kind = InputKind::kCharacter;
    c.key = CharacterCode(gb);
    const int32_t before = c.key;
    if (Offer(w, c))
        return true;
    if (c.key == before)
        return false;
    Resend(w, ke, c.key);
    return true;
}

bool PreTranslate(QObject* receiver, QEvent* event)
{
    if (g_resending || !receiver->isWidgetType())
        return false;
    auto* w = static_cast<QWidget*>(receiver);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return w->isEnabled() && MouseInput(w, event);
    case QEvent::Wheel:
        return w->isEnabled() && WheelInput(w, static_cast<QWheelEvent*>(event));
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return KeyInput(w, static_cast<QKeyEvent*>(event));
    default:
        return false;
    }
}

} // namespace

void InstallPreTranslation() { SetInputHook(&PreTranslate); }

int32_t VirtualKeyOf(const QKeyEvent* event)
{
    const int key = event->key();
    if (event->modifiers() & Qt::KeypadModifier) {
        if (int32_t vk = KeypadKey(key); vk >= 0)
            return vk;
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return kVkF1 + (key - Qt::Key_F1);
    if (int32_t vk = ControlKey(key); vk >= 0)
        return vk;
    return PunctuationKey(key);
}

int32_t CharacterCode(std::string_view gb)
{
    uint32_t code = 0;
    for (size_t i = 0; i < gb.size() && i < 4; ++i)
        code = code << 8 | static_cast<uint8_t>(gb[i]);
    return static_cast<int32_t>(code);
}

std::string CharacterBytes(int32_t code)
{
    const auto u = static_cast<uint32_t>(code);
    std::string out;
    if (u > 0xFFFF) {
        out.push_back(static_cast<char>(u >> 24));
        out.push_back(static_cast<char>(u >> 16));
    }
    if (u > 0xFF)
        out.push_back(static_cast<char>(u >> 8));
    out.push_back(static_cast<char>(u));
    return out;
}

} // namespace mt::platform
