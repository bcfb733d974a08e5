#include "platform/timer_window.h"

#include <QBasicTimer>
#include <QTimerEvent>
#include <QWidget>

#include "platform/application.h"
#include "platform/native_window.h"

namespace mt::platform {
namespace {

class TimerWindow : public QWidget {
public:
    TimerWindow(QWidget* parent, WindowListener* listener) : QWidget(parent), listener_(listener)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

    void start(int32_t ms)
    {
        timer_.start(ms, this);
        ++starts_;
    }
    void stop() { timer_.stop(); }
    bool running() const { return timer_.isActive(); }
    int32_t starts() const { return starts_; }

protected:
    void timerEvent(QTimerEvent* event) override
    {
        if (event->timerId() == timer_.timerId() && IsWindow(ToHandle(this)))
            listener_->timerTick();
    }

private:
    WindowListener* listener_;
    QBasicTimer timer_;
    int32_t starts_ = 0;
};

TimerWindow* ToTimer(WindowHandle handle) { return dynamic_cast<TimerWindow*>(ToWidget(handle)); }

} // namespace

WindowHandle CreateTimerWindow(WindowHandle parent, const Rect& rect, WindowListener* listener)
{
    EnsureApplication();
    auto* w = new TimerWindow(ToWidget(parent), listener);
    w->hide();
    w->setGeometry(rect.left, rect.top, std::max(rect.width, 0), std::max(rect.height, 0));
    RegisterWindow(w, listener);
    return ToHandle(w);
}

void StartTimer(WindowHandle handle, int32_t milliseconds)
{
    if (TimerWindow* w = ToTimer(handle); w && milliseconds > 0)
        w->start(milliseconds);
}

void StopTimer(WindowHandle handle)
{
    if (TimerWindow* w = ToTimer(handle))
        w->stop();
}

bool IsTimerRunning(WindowHandle handle)
{
    TimerWindow* w = ToTimer(handle);
    return w && w->running();
}

int32_t TimerStarts(WindowHandle handle)
{
    TimerWindow* w = ToTimer(handle);
    return w ? w->starts() : 0;
}

} // namespace mt::platform
