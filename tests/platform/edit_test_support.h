// Small helpers for the widget tests of the platform layer: a registered
// parent window, a listener that records, and typing into a widget as a
// user would.
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/edit_control.h"
#include "platform/native_window.h"

namespace mt::platform::test {

inline QWidget* Widget(WindowHandle h) { return reinterpret_cast<QWidget*>(h); }
inline WindowHandle Handle(QWidget* w) { return reinterpret_cast<WindowHandle>(w); }

// Records the notices of one or more windows.
struct Recorder : WindowListener, EditNotices {
    std::string events;
    int changes = 0;
    std::vector<int> presses;
    std::function<void()> onChange;

    void focusIn() override { events += "in "; }
    void focusOut() override { events += "out "; }
    void windowDestroyed() override { events += "gone "; }
    void textChanged() override
    {
        ++changes;
        if (onChange)
            onChange();
    }
    void spinnerPressed(int direction) override { presses.push_back(direction); }
};

// A shown, active, registered top-level window to put controls in.
inline std::unique_ptr<QWidget> MakeWindow(int width = 400, int height = 300)
{
    static Recorder ignored;
    EnsureApplication();
    auto window = std::make_unique<QWidget>();
    RegisterWindow(window.get(), &ignored);
    window->resize(width, height);
    window->show();
    QApplication::setActiveWindow(window.get());
    QApplication::processEvents();
    return window;
}

// A shown edit control in `window`.
inline EditControl* MakeEdit(QWidget* window, Recorder* recorder, const EditOptions& options = {},
                             std::string_view text = {}, const Rect& rect = {10, 10, 200, 24})
{
    const WindowHandle h = CreateEditControl(Handle(window), rect, options, text, recorder, recorder);
    ShowWindow(h, true);
    return EditControlOf(h);
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

inline void Type(EditControl* edit, const QString& text) { Type(Widget(edit->handle()), text); }

} // namespace mt::platform::test
