#include "frame/message_loop.h"

#include "frame/idle_callbacks.h"
#include "frame/runtime_state.h"
#include "platform/application.h"
#include "windows/window_engine.h"

namespace mt {
namespace {

std::function<bool(int)>& FrameworkIdle()
{
    static auto* idle = new std::function<bool(int)>;
    return *idle;
}

} // namespace

void SetFrameworkIdle(std::function<bool(int)> idle) { FrameworkIdle() = std::move(idle); }

void RunMessageLoop()
{
    engine::SetMessageLoopEntered(true);
    if (!engine::AnyWindowLive())
        return;
    RuntimeState().lastQuitCode = platform::RunEventLoop([](int idleCount) {
        if (idleCount == 0)
            RunIdleCallbacks();
        const auto& idle = FrameworkIdle();
        return idle ? idle(idleCount) : false;
    });
}

} // namespace mt
