// The loaded-window list and the engine operations that need no live window.
// Loading, routing to live components and event dispatch build on this.
#include "windows/window_engine.h"

#include "frame/service_calls.h"
#include "windows/windows_texts.h"

namespace mt::engine {
namespace {

struct EngineState {
    std::vector<WindowDescription> descriptions;
    int32_t blockCount = 0;
    bool loopEntered = false;
};

EngineState& State()
{
    static EngineState s;
    return s;
}

} // namespace

void InstallDescriptions(std::vector<WindowDescription> descriptions) { State().descriptions = std::move(descriptions); }
std::vector<WindowDescription>& Descriptions() { return State().descriptions; }
void ReleaseDescriptions() { State().descriptions.clear(); }

bool IsWindowLive(uint32_t) { return false; }
bool AnyWindowLive() { return false; }

int32_t LoadWindow(WindowDescription&, bool, bool, platform::WindowHandle) { return 0; }

void LoadStartupWindow(uint32_t windowId)
{
    WindowDescription* d = FindWindow(Descriptions(), windowId);
    if (!d || !LoadWindow(*d, false, false, nullptr))
        svc::Error(gb::kErrStartupWindowFailed);
}

uint64_t ReadProperty(uint32_t windowId, uint32_t, int32_t, int32_t)
{
    if (!FindWindow(Descriptions(), windowId))
        svc::Error(gb::kErrWindowNotLoaded);
    svc::Error(gb::kErrWindowNotLive);
}

void WriteProperty(uint32_t windowId, uint32_t, int32_t, int32_t, uint64_t)
{
    if (!FindWindow(Descriptions(), windowId))
        svc::Error(gb::kErrWindowNotLoaded);
    svc::Error(gb::kErrWindowNotLive);
}

int32_t RaiseEvent(EventRecord*) { return 0; }
int32_t RaiseTypedEvent(TypedEventRecord*) { return 0; }
void ComponentDestroyed(uint32_t, uint32_t) {}
void* FindComponent(uint32_t, uint32_t) { return nullptr; }
platform::WindowHandle ComponentWindow(void*) { return nullptr; }

void BlockEvents() { ++State().blockCount; }
void UnblockEvents()
{
    if (State().blockCount > 0)
        --State().blockCount;
}
void BlockEventsForGood() { State().blockCount += 0x10000; }
int32_t EventBlockCount() { return State().blockCount; }

bool CurrentEventSource(uint32_t*, uint32_t*) { return false; }
void SetMessageLoopEntered(bool entered) { State().loopEntered = entered; }

} // namespace mt::engine
