// Small helpers for the widget tests of the platform layer: a parent
// window, and typing into a widget as a user would.
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <memory>

#include "platform/application.h"
#include "platform/window_handle.h"

namespace mt::platform::test {

inline QWidget* Widget(WindowHandle h) { return reinterpret_cast<QWidget*>(h); }
inline WindowHandle Handle(QWidget* w) { return reinterpret_cast<WindowHandle>(w); }

// A shown, active top-level window to put controls in.
inline std::unique_ptr<QWidget> MakeWindow(int width = 400, int height = 300)
{
    EnsureApplication();
    auto window = std::make_unique<QWidget>();
    window->resize(width, height);
    window->show();
    QApplication::setActiveWindow(window.get());
    QApplication::processEvents();
    return window;
}

// One key press carrying `text`, as the keyboard sends it.
inline void Press(QWidget* w, int key, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &release);
}

// Types each character of `text` as its own key press.
inline void Type(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        const int key = c.unicode() < 0x80 ? int(c.toUpper().unicode()) : int(Qt::Key_unknown);
        Press(w, key, QString(c));
    }
}

} // namespace mt::platform::test
