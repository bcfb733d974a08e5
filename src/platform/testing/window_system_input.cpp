#include "platform/testing/window_system_input.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

#include "platform/native_window.h"
#include "platform/text_codec.h"
#include "platform/window_listener.h"

#include <memory>

namespace mt::test {
namespace {

QWidget* ProgressWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("transferProgress") && w->isVisible())
            return w;
    }
    return nullptr;
}

// Makes sure the top-level window of `widget` has its QWindow and returns
// both that and the widget's point (x, y) in its coordinates.
QWindow* Surface(QWidget* widget, QPoint* at)
{
    QWidget* top = widget->window();
    top->winId(); // the QWindow exists once the window has a native handle
    if (at)
        *at = widget->mapTo(top, *at);
    return top->windowHandle();
}

void Escape(QWidget* widget)
{
    if (QWindow* surface = widget ? Surface(widget, nullptr) : nullptr) {
        QTest::sendKeyEvent(QTest::Press, surface, Qt::Key_Escape, QChar(0x1b), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, surface, Qt::Key_Escape, QChar(0x1b), Qt::NoModifier);
    }
}

// Through the platform window, as a close box asks.
void Close(QWidget* widget)
{
    if (QWindow* surface = widget ? Surface(widget, nullptr) : nullptr)
        surface->close();
}

void Click(QWidget* widget, QPoint at)
{
    if (QWindow* surface = Surface(widget, &at))
        QTest::mouseClick(surface, Qt::LeftButton, Qt::NoModifier, at);
}

Qt::Key KeyOf(int32_t vk)
{
    if (vk >= 'A' && vk <= 'Z')
        return static_cast<Qt::Key>(Qt::Key_A + (vk - 'A'));
    if (vk >= '0' && vk <= '9')
        return static_cast<Qt::Key>(Qt::Key_0 + (vk - '0'));
    if (vk >= platform::kVkF1 && vk < platform::kVkF1 + 24)
        return static_cast<Qt::Key>(Qt::Key_F1 + (vk - platform::kVkF1));
    switch (vk) {
    case platform::kVkTab: return Qt::Key_Tab;
    case platform::kVkReturn: return Qt::Key_Return;
    case platform::kVkEscape: return Qt::Key_Escape;
    case platform::kVkSpace: return Qt::Key_Space;
    case platform::kVkBack: return Qt::Key_Backspace;
    }
    return Qt::Key_unknown;
}

Qt::KeyboardModifiers ModifiersOf(int32_t keyState)
{
    Qt::KeyboardModifiers m;
    if (keyState & platform::kKeyStateCtrl)
        m |= Qt::ControlModifier;
    if (keyState & platform::kKeyStateShift)
        m |= Qt::ShiftModifier;
    if (keyState & platform::kKeyStateAlt)
        m |= Qt::AltModifier;
    return m;
}

void Key(QWindow* surface, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    QTest::sendKeyEvent(QTest::Press, surface, key, text, modifiers);
    QTest::sendKeyEvent(QTest::Release, surface, key, text, modifiers);
}

// A key as the window system hands it to the focused widget of the window
// (spontaneous, through the application's hooks).
void KeyAtFocus(QWidget* top, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    QWidget* target = top->focusWidget() ? top->focusWidget() : top;
    QTest::sendKeyEvent(QTest::Press, target, key, text, modifiers);
    if (QWidget* now = top->focusWidget() ? top->focusWidget() : top)
        QTest::sendKeyEvent(QTest::Release, now, key, text, modifiers);
}

} // namespace

void RightClickThroughWindowSystem(platform::WindowHandle handle, int32_t x, int32_t y)
{
    QWidget* widget = platform::ToWidget(handle);
    QPoint at(x, y);
    QWindow* surface = widget ? Surface(widget, &at) : nullptr;
    if (!surface)
        return;
    // The window system's press brings the context menu request with it.
    QTest::mousePress(surface, Qt::RightButton, Qt::NoModifier, at);
    QTest::mouseRelease(surface, Qt::RightButton, Qt::NoModifier, at);
}

void PressKeyThroughWindowSystem(platform::WindowHandle handle, int32_t virtualKey, int32_t keyState)
{
    QWidget* widget = platform::ToWidget(handle);
    if (!widget)
        return;
    Qt::Key key = KeyOf(virtualKey);
    if (key == Qt::Key_Tab && (keyState & platform::kKeyStateShift))
        key = Qt::Key_Backtab;
    QString text;
    if (!(keyState & (platform::kKeyStateCtrl | platform::kKeyStateAlt))) {
        if (virtualKey >= 'A' && virtualKey <= 'Z')
            text = QChar((keyState & platform::kKeyStateShift) ? virtualKey : virtualKey + 32);
        else if ((virtualKey >= '0' && virtualKey <= '9') || virtualKey == platform::kVkSpace)
            text = QChar(virtualKey);
        else if (virtualKey == platform::kVkReturn)
            text = QStringLiteral("\r");
        else if (virtualKey == platform::kVkTab)
            text = QStringLiteral("\t");
    }
    KeyAtFocus(widget->window(), key, ModifiersOf(keyState), text);
}

void TypeThroughWindowSystem(platform::WindowHandle handle, const char* ascii)
{
    QWidget* widget = platform::ToWidget(handle);
    for (const char* c = ascii; widget && *c; ++c)
        KeyAtFocus(widget->window(), Qt::Key_unknown, Qt::NoModifier, QString(QChar(*c)));
}

void ActivateThroughWindowSystem(platform::WindowHandle handle)
{
    QWidget* widget = platform::ToWidget(handle);
    QWindow* surface = widget ? Surface(widget, nullptr) : nullptr;
    if (!surface)
        return;
    surface->requestActivate();
    QApplication::processEvents();
}

OtherProgramWindow::OtherProgramWindow() : window_(new QWidget)
{
    auto* w = static_cast<QWidget*>(window_);
    w->setWindowTitle(QStringLiteral("another program"));
    w->resize(200, 100);
    w->show();
}

OtherProgramWindow::~OtherProgramWindow() { delete static_cast<QWidget*>(window_); }

void OtherProgramWindow::activate()
{
    auto* w = static_cast<QWidget*>(window_);
    w->winId();
    w->windowHandle()->requestActivate();
    QApplication::processEvents();
}

void DismissNextMessageBoxWithEnter()
{
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, tries] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box && ++*tries < 200)
            return;
        poll->stop();
        poll->deleteLater();
        if (QWindow* surface = box ? Surface(box, nullptr) : nullptr)
            Key(surface, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    });
    poll->start(10);
}

void ChooseInNextMenu(const std::string& itemGb, std::vector<std::string>* enabledItems)
{
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, tries, itemGb, enabledItems] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu && ++*tries < 200)
            return;
        poll->stop();
        poll->deleteLater();
        if (!menu)
            return;
        QAction* chosen = nullptr;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator())
                continue;
            if (enabledItems && a->isEnabled())
                enabledItems->push_back(platform::ToGb(a->text()));
            if (!itemGb.empty() && platform::ToGb(a->text()) == itemGb)
                chosen = a;
        }
        QWindow* surface = Surface(menu, nullptr);
        if (chosen && chosen->isEnabled()) {
            menu->setActiveAction(chosen);
            Key(surface, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        } else {
            Key(surface, Qt::Key_Escape, Qt::NoModifier, QString(QChar(0x1b)));
        }
    });
    poll->start(10);
}

std::string ToolTipAt(platform::WindowHandle handle, int32_t x, int32_t y)
{
    QWidget* widget = platform::ToWidget(handle);
    if (!widget)
        return {};
    QToolTip::hideText();
    QPoint at(x, y);
    QWidget* target = widget->childAt(at);
    if (target)
        at = target->mapFrom(widget, at);
    else
        target = widget;
    QHelpEvent help(QEvent::ToolTip, at, target->mapToGlobal(at));
    QApplication::sendEvent(target, &help);
    return QToolTip::isVisible() ? platform::ToGb(QToolTip::text()) : std::string();
}

void WheelThroughWindowSystem(platform::WindowHandle handle, int32_t x, int32_t y, int notches)
{
    QWidget* widget = platform::ToWidget(handle);
    QPoint at(x, y);
    QWindow* surface = widget ? Surface(widget, &at) : nullptr;
    if (!surface)
        return;
    const QPoint delta(0, 120 * notches);
    QWheelEvent wheel(QPointF(at), QPointF(surface->mapToGlobal(at)), QPoint(), delta, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(surface, &wheel);
    QApplication::processEvents();
}

void ClickThroughWindowSystem(platform::WindowHandle handle, int32_t x, int32_t y)
{
    if (QWidget* widget = platform::ToWidget(handle))
        Click(widget, QPoint(x, y));
}

void PressEscapeIn(platform::WindowHandle handle) { Escape(platform::ToWidget(handle)); }

void CloseThroughWindowSystem(platform::WindowHandle handle) { Close(platform::ToWidget(handle)); }

bool TransferWindowUp() { return ProgressWindow() != nullptr; }

void ClickTransferCancel()
{
    QWidget* window = ProgressWindow();
    auto* button = window ? window->findChild<QPushButton*>(QStringLiteral("cancel")) : nullptr;
    if (button)
        Click(button, button->rect().center());
}

void PressEscapeInTransferWindow() { Escape(ProgressWindow()); }

void CloseTransferWindow() { Close(ProgressWindow()); }

FrameButtons TransferWindowFrame()
{
    FrameButtons frame;
    QWidget* window = ProgressWindow();
    QWindow* surface = window ? Surface(window, nullptr) : nullptr;
    if (!surface)
        return frame;
    const Qt::WindowFlags flags = surface->flags();
    const Qt::WindowFlags type = flags & Qt::WindowType_Mask;
    frame.dialog = type == Qt::Dialog;
    // A plain window that does not choose its buttons gets them all.
    const bool allByDefault = type == Qt::Window && !flags.testFlag(Qt::CustomizeWindowHint);
    frame.close = allByDefault || flags.testFlag(Qt::WindowCloseButtonHint);
    frame.minimise = allByDefault || flags.testFlag(Qt::WindowMinimizeButtonHint);
    frame.maximise = allByDefault || flags.testFlag(Qt::WindowMaximizeButtonHint);
    return frame;
}

} // namespace mt::test
