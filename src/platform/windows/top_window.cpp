#include "platform/top_window.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QPainter>
#include <QWindow>

#include "platform/application.h"
#include "platform/application/input_translation.h"
#include "platform/native_window.h"
#include "platform/text_codec.h"
#include "platform/windows/icon_images.h"
#include "platform/windows/top_window_widget.h"
#include "platform/windows/window_manager_hints.h"

namespace mt::platform {
namespace {

FrameBorder BorderKind(int32_t border)
{
    switch (border) {
    case 0: return FrameBorder::kNone;
    case 1:
    case 3:
    case 5: return FrameBorder::kSizable;
    }
    return FrameBorder::kFixed;
}

// A top window is a frame to assistive tools, named by its title (Qt's
// plain widget would be a nameless client area).
QAccessibleInterface* TopWindowAccessible(const QString&, QObject* object)
{
    if (auto* w = dynamic_cast<TopWindow*>(object))
        return new QAccessibleWidget(w, QAccessible::Window);
    return nullptr;
}

void InstallTopWindowAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(TopWindowAccessible);
        return true;
    }();
    (void)installed;
}

bool IsToolBorder(int32_t border) { return border == 3 || border == 4; }
bool IsClientEdge(int32_t border) { return border == 5 || border == 6; }

Qt::WindowFlags FlagsFor(const FrameStyle& s)
{
    Qt::WindowFlags f = IsToolBorder(s.border) ? Qt::Tool : Qt::Window;
    if (s.border == 0) {
        f |= Qt::FramelessWindowHint;
    } else {
        f |= Qt::CustomizeWindowHint;
        if (s.caption)
            f |= Qt::WindowTitleHint;
        if (s.caption && s.systemMenu)
            f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (s.caption && s.minimizeBox)
            f |= Qt::WindowMinimizeButtonHint;
        if (s.caption && s.maximizeBox)
            f |= Qt::WindowMaximizeButtonHint;
    }
    if (s.alwaysOnTop)
        f |= Qt::WindowStaysOnTopHint;
    return f;
}

TopWindow* ToTop(WindowHandle handle) { return dynamic_cast<TopWindow*>(ToWidget(handle)); }

QPixmap Decode(const uint8_t* bytes, size_t size)
{
    QPixmap pixmap;
    if (bytes && size > 0 && size <= 0x7FFFFFFF)
        pixmap.loadFromData(bytes, static_cast<uint>(size));
    return pixmap;
}

// Every image of an icon file (a window manager picks the size it shows),
// or the one image of any other picture.
QIcon DecodeIcon(const uint8_t* bytes, size_t size)
{
    QIcon icon;
    for (const QImage& image : IconImages(bytes, size))
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

} // namespace

TopWindow::TopWindow(QWidget* owner, WindowListener* listener)
    : QWidget(owner, FlagsFor(FrameStyle{})), listener_(listener)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

bool TopWindow::live() const { return IsWindow(ToHandle(const_cast<TopWindow*>(this))); }

FrameMetrics TopWindow::metrics() const
{
    return NominalFrame(BorderKind(style_.border), style_.border != 0 && style_.caption, IsToolBorder(style_.border),
                        IsClientEdge(style_.border));
}

Rect TopWindow::outerRect() const
{
    const FrameMetrics m = metrics();
    return {pos().x(), pos().y(), width() + 2 * m.frame, height() + 2 * m.frame + m.caption};
}

void TopWindow::setOuterRect(const Rect& rect)
{
    const FrameMetrics m = metrics();
    const QSize client(std::max(rect.width - 2 * m.frame, 1), std::max(rect.height - 2 * m.frame - m.caption, 1));
    if (BorderKind(style_.border) != FrameBorder::kSizable)
        setFixedSize(client);
    else
        resize(client);
    move(rect.left, rect.top);
    if (!isVisible()) {
        lastPos_ = pos();
        lastSize_ = size();
    }
}

void TopWindow::applyFixedSize()
{
    if (BorderKind(style_.border) != FrameBorder::kSizable) {
        setFixedSize(size());
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
}

void TopWindow::setFrameStyle(const FrameStyle& style)
{
    if (style == style_)
        return;
    const Rect outer = outerRect();
    style_ = style;
    const Qt::WindowFlags flags = FlagsFor(style);
    if (flags != windowFlags()) {
        // A window that exists on the screen takes its new frame in place:
        // setWindowFlags would hide and show it (events 11 and 10) and leave
        // it inactive.
        if (QWindow* native = windowHandle()) {
            overrideWindowFlags(flags);
            native->setFlags(flags);
            ApplyMotifHints(this, movable_); // the new flags rewrote them
        } else {
            setWindowFlags(flags);
        }
    }
    applyFixedSize();
    setOuterRect(outer);
}

void TopWindow::setMovable(bool movable)
{
    movable_ = movable;
    ApplyMotifHints(this, movable_);
}

void TopWindow::setBackground(uint32_t color, const QPixmap& picture, int32_t mode)
{
    backColor_ = color;
    picture_ = picture;
    pictureMode_ = mode;
    update();
}

void TopWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const uint32_t c = ResolveColor(backColor_);
    p.fillRect(rect(), QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    if (picture_.isNull())
        return;
    switch (pictureMode_) {
    case 1: p.drawTiledPixmap(rect(), picture_); break;
    case 2: p.drawPixmap((width() - picture_.width()) / 2, (height() - picture_.height()) / 2, picture_); break;
    case 3: p.drawPixmap(rect(), picture_); break;
    default: p.drawPixmap(0, 0, picture_); break;
    }
}

void TopWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (live() && listener_->closeRequested() && live())
        DestroyWindow(ToHandle(this));
}

void TopWindow::moveEvent(QMoveEvent*)
{
    if (pos() == lastPos_)
        return;
    lastPos_ = pos();
    if (live())
        listener_->moved();
}

void TopWindow::resizeEvent(QResizeEvent*)
{
    if (size() == lastSize_)
        return;
    lastSize_ = size();
    if (live())
        listener_->resized();
}

void TopWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && live())
        listener_->activated(isActiveWindow());
    QWidget::changeEvent(event);
}

void TopWindow::showEvent(QShowEvent* event)
{
    if (!movable_)
        ApplyMotifHints(this, false); // before the window manager sees the window
    if (!event->spontaneous() && live())
        listener_->visibilityChanging(true);
}

void TopWindow::hideEvent(QHideEvent* event)
{
    if (!event->spontaneous() && live())
        listener_->visibilityChanging(false);
}

void TopWindow::focusInEvent(QFocusEvent*)
{
    if (live())
        listener_->focusIn();
}

void TopWindow::focusOutEvent(QFocusEvent*)
{
    if (live())
        listener_->focusOut();
}

WindowHandle CreateTopWindow(WindowHandle owner, const Rect& outer, const FrameStyle& style, std::string_view title,
                             WindowListener* listener)
{
    EnsureApplication();
    InstallPreTranslation();
    InstallTopWindowAccessibility();
    auto* w = new TopWindow(ToWidget(owner), listener);
    w->setWindowTitle(FromGb(title));
    w->setFrameStyle(style);
    w->applyFixedSize();
    w->setOuterRect(outer);
    RegisterWindow(w, listener);
    return ToHandle(w);
}

bool IsTopWindow(WindowHandle handle) { return ToTop(handle) != nullptr; }

std::vector<WindowHandle> TopWindows()
{
    std::vector<WindowHandle> out;
    if (!HasApplication())
        return out;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (dynamic_cast<TopWindow*>(w) && IsWindow(ToHandle(w)))
            out.push_back(ToHandle(w));
    }
    return out;
}

void SetFrameStyle(WindowHandle handle, const FrameStyle& style)
{
    if (TopWindow* w = ToTop(handle))
        w->setFrameStyle(style);
}

FrameStyle GetFrameStyle(WindowHandle handle)
{
    TopWindow* w = ToTop(handle);
    return w ? w->frameStyle() : FrameStyle{};
}

void SetWindowMovable(WindowHandle handle, bool movable)
{
    if (TopWindow* w = ToTop(handle))
        w->setMovable(movable);
}

bool WindowHintsAllowMove(WindowHandle handle)
{
    TopWindow* w = ToTop(handle);
    return !w || HintsAllowMove(MotifHints(static_cast<uint32_t>(w->windowFlags().toInt()), w->movable()));
}

void SetBackground(WindowHandle handle, uint32_t color, const uint8_t* picture, size_t size, int32_t mode)
{
    if (TopWindow* w = ToTop(handle))
        w->setBackground(color, Decode(picture, size), mode);
}

bool SetWindowIcon(WindowHandle handle, const uint8_t* bytes, size_t size)
{
    TopWindow* w = ToTop(handle);
    if (!w)
        return false;
    const QIcon icon = DecodeIcon(bytes, size);
    w->setWindowIcon(icon);
    return !icon.isNull();
}

bool HasWindowIcon(WindowHandle handle)
{
    TopWindow* w = ToTop(handle);
    return w && !w->windowIcon().isNull();
}

void ShowTopWindow(WindowHandle handle, ShowState state)
{
    TopWindow* w = ToTop(handle);
    if (!w)
        return;
    // As on a classic desktop, a window whose components have no focus
    // holds it itself once active (no component is picked for it).
    if (!w->focusWidget())
        w->setFocus(Qt::ActiveWindowFocusReason);
    switch (state) {
    case ShowState::kMinimized: w->showMinimized(); return;
    case ShowState::kMaximized: w->showMaximized(); break;
    case ShowState::kNormal: w->showNormal(); break;
    }
    if (IsWindow(handle))
        w->activateWindow();
}

void SetInitialState(WindowHandle handle, ShowState state)
{
    TopWindow* w = ToTop(handle);
    if (!w)
        return;
    switch (state) {
    case ShowState::kMinimized: w->setWindowState(Qt::WindowMinimized); break;
    case ShowState::kMaximized: w->setWindowState(Qt::WindowMaximized); break;
    case ShowState::kNormal: w->setWindowState(Qt::WindowNoState); break;
    }
}

ShowState TopWindowState(WindowHandle handle)
{
    TopWindow* w = ToTop(handle);
    if (w && w->isMinimized())
        return ShowState::kMinimized;
    if (w && w->isMaximized())
        return ShowState::kMaximized;
    return ShowState::kNormal;
}

void ActivateWindow(WindowHandle handle)
{
    TopWindow* w = ToTop(handle);
    if (!w)
        return;
    if (w->isMinimized())
        w->showNormal();
    w->raise();
    w->activateWindow();
}

WindowHandle ActiveWindow() { return HasApplication() ? RegisteredAncestor(QApplication::activeWindow()) : nullptr; }

void RequestClose(WindowHandle handle)
{
    if (TopWindow* w = ToTop(handle))
        w->close();
}

} // namespace mt::platform
