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
    // Each idle pass walks the idle callbacks, then runs the framework's idle
    // work until that reports no more; idling goes on while either asks for
    // more.
    bool frameworkWantsMore = false;
    RuntimeState().lastQuitCode = platform::RunEventLoop([&frameworkWantsMore](int idleCount) {
        const bool callbacksWantMore = RunIdleCallbacks();
        const auto& idle = FrameworkIdle();
        if (idleCount == 0 || frameworkWantsMore)
            frameworkWantsMore = idle && idle(idleCount);
        return callbacksWantMore || frameworkWantsMore;
    });
}

} // namespace mt
