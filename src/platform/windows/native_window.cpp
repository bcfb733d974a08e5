#include "platform/native_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHash>
#include <QWidget>

#include "platform/text_codec.h"
#include "platform/windows/focus_cause.h"
#include "platform/windows/placed_rect.h"
#include "platform/windows/top_window_widget.h"

namespace mt::platform {
namespace {

struct Entry {
    WindowListener* listener = nullptr;
    bool live = true;
};

// Every window this layer made, keyed by address so that a stale handle can
// be looked up without touching it.
QHash<const QObject*, Entry>& Registry()
{
    static QHash<const QObject*, Entry> registry;
    return registry;
}

const QObject* Key(WindowHandle handle) { return reinterpret_cast<const QObject*>(handle); }

void WindowDeleted(const QObject* object)
{
    auto it = Registry().find(object);
    if (it == Registry().end())
        return;
    Entry entry = *it;
    Registry().erase(it);
    if (entry.live)
        entry.listener->windowDestroyed();
    entry.listener->windowDeleted();
}

// Marks the window and its registered descendants destroyed, the window
// first (its listener may still look at its children).
void MarkDestroyed(QWidget* widget)
{
    auto it = Registry().find(widget);
    if (it != Registry().end() && it->live) {
        it->live = false;
        it->listener->windowDestroyed();
    }
    // A copy: the list is walked while windows under it are marked.
    const QObjectList children = widget->children(); // NOLINT(performance-unnecessary-copy-initialization)
    for (QObject* child : children) {
        if (child->isWidgetType())
            MarkDestroyed(static_cast<QWidget*>(child));
    }
}

} // namespace

void RegisterWindow(QWidget* widget, WindowListener* listener)
{
    Registry().insert(widget, Entry{listener, true});
    QObject::connect(widget, &QObject::destroyed, [](QObject* object) { WindowDeleted(object); });
}

QWidget* ToWidget(WindowHandle handle) { return IsWindow(handle) ? reinterpret_cast<QWidget*>(handle) : nullptr; }
WindowHandle ToHandle(QWidget* widget) { return reinterpret_cast<WindowHandle>(widget); }

bool IsWindow(WindowHandle handle)
{
    auto it = Registry().constFind(Key(handle));
    return handle && it != Registry().constEnd() && it->live;
}

WindowHandle RegisteredAncestor(QWidget* widget)
{
    for (; widget; widget = widget->parentWidget()) {
        if (IsWindow(ToHandle(widget)))
            return ToHandle(widget);
    }
    return nullptr;
}

WindowListener* ListenerOf(WindowHandle handle)
{
    return IsWindow(handle) ? Registry().value(Key(handle)).listener : nullptr;
}

Rect WindowRect(WindowHandle handle)
{
    QWidget* w = ToWidget(handle);
    if (!w)
        return {};
    if (auto* top = dynamic_cast<TopWindow*>(w))
        return top->outerRect();
    const QRect g = dynamic_cast<PlacedRect*>(w) ? dynamic_cast<PlacedRect*>(w)->placedRect() : w->geometry();
    return {g.x(), g.y(), g.width(), g.height()};
}

void SetWindowRect(WindowHandle handle, const Rect& rect)
{
    QWidget* w = ToWidget(handle);
    if (!w)
        return;
    if (auto* top = dynamic_cast<TopWindow*>(w))
        top->setOuterRect(rect);
    else if (auto* placed = dynamic_cast<PlacedRect*>(w))
        placed->place(QRect(rect.left, rect.top, std::max(rect.width, 0), std::max(rect.height, 0)));
    else
        w->setGeometry(rect.left, rect.top, std::max(rect.width, 0), std::max(rect.height, 0));
}

bool IsVisible(WindowHandle handle)
{
    QWidget* w = ToWidget(handle);
    return w && w->isVisible();
}

void ShowWindow(WindowHandle handle, bool show)
{
    QWidget* w = ToWidget(handle);
    if (!w)
        return;
    if (w->isWindow() && show)
        w->setAttribute(Qt::WA_ShowWithoutActivating, true);
    w->setVisible(show);
    if (w->isWindow())
        w->setAttribute(Qt::WA_ShowWithoutActivating, false);
}

bool IsShown(WindowHandle handle)
{
    QWidget* w = ToWidget(handle);
    return w && !w->isHidden();
}

bool IsEnabled(WindowHandle handle)
{
    QWidget* w = ToWidget(handle);
    return w && !w->testAttribute(Qt::WA_ForceDisabled);
}

void EnableWindow(WindowHandle handle, bool enable)
{
    if (QWidget* w = ToWidget(handle))
        w->setEnabled(enable);
}

WindowHandle ParentOf(WindowHandle handle)
{
    QWidget* w = ToWidget(handle);
    return w && !w->isWindow() ? RegisteredAncestor(w->parentWidget()) : nullptr;
}

void SetParentWindow(WindowHandle child, WindowHandle parent)
{
    QWidget* c = ToWidget(child);
    QWidget* p = ToWidget(parent);
    if (!c || !p || c->parentWidget() == p || c == p)
        return;
    const bool shown = !c->isHidden();
    const QRect g = c->geometry();
    c->setParent(p);
    c->setGeometry(g);
    c->setVisible(shown);
}

std::vector<WindowHandle> ChildWindows(WindowHandle handle)
{
    std::vector<WindowHandle> out;
    if (QWidget* w = ToWidget(handle)) {
        for (QObject* child : w->children()) {
            if (child->isWidgetType() && IsWindow(ToHandle(static_cast<QWidget*>(child))))
                out.push_back(ToHandle(static_cast<QWidget*>(child)));
        }
    }
    return out;
}

bool IsDescendant(WindowHandle handle, WindowHandle ancestor)
{
    QWidget* w = ToWidget(handle);
    QWidget* a = ToWidget(ancestor);
    return w && a && w != a && a->isAncestorOf(w);
}

void RaiseToTop(WindowHandle handle)
{
    if (QWidget* w = ToWidget(handle))
        w->raise();
}

void PlaceBelow(WindowHandle handle, WindowHandle sibling)
{
    QWidget* w = ToWidget(handle);
    QWidget* s = ToWidget(sibling);
    if (w && s && w != s && w->parentWidget() == s->parentWidget())
        w->stackUnder(s);
}

WindowHandle FocusWindow()
{
    if (!QCoreApplication::instance())
        return nullptr;
    // An active window with no focused part holds the focus itself.
    if (QWidget* focus = QApplication::focusWidget())
        return RegisteredAncestor(focus);
    return RegisteredAncestor(QApplication::activeWindow());
}

void SetFocusWindow(WindowHandle handle, FocusCause cause)
{
    QWidget* w = ToWidget(handle);
    if (!w)
        return;
    if (QWidget* proxy = w->focusProxy())
        w = proxy;
    w->setFocus(QtFocusReason(cause));
}

std::string WindowText(WindowHandle handle)
{
    QWidget* w = ToWidget(handle);
    if (!w)
        return {};
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return ToGb(button->text());
    return ToGb(w->windowTitle());
}

void SetAccessibleTexts(WindowHandle handle, std::string_view nameGb, std::string_view descriptionGb)
{
    if (QWidget* w = ToWidget(handle)) {
        w->setAccessibleName(FromGb(nameGb));
        w->setAccessibleDescription(FromGb(descriptionGb));
    }
}

void SetWindowText(WindowHandle handle, std::string_view gb)
{
    QWidget* w = ToWidget(handle);
    if (!w)
        return;
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(FromGb(gb));
    else
        w->setWindowTitle(FromGb(gb));
}

void Repaint(WindowHandle handle)
{
    if (QWidget* w = ToWidget(handle))
        w->update();
}

void DestroyWindow(WindowHandle handle)
{
    QWidget* w = ToWidget(handle);
    if (!w)
        return;
    MarkDestroyed(w);
    w->hide();
    w->deleteLater();
}

void FlushDestroyedWindows()
{
    if (QCoreApplication::instance())
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace mt::platform
