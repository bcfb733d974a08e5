#include "platform/testing/window_system_input.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include "platform/native_window.h"

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

} // namespace

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
