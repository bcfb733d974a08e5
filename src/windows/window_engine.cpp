// The loaded-window list, liveness, the event-blocking counter and what the
// engine does when a component or a window reports its destruction.
#include "windows/window_engine.h"

#include "abi/service_calls.h"
#include "components/component.h"
#include "platform/application.h"
#include "platform/cursors.h"
#include "platform/native_window.h"
#include "windows/engine_state.h"

namespace mt::engine {
namespace {

void DestroyCursor(ComponentRecord& record)
{
    platform::DestroyCursor(static_cast<platform::CursorHandle>(record.cursor));
    record.cursor = nullptr;
}

// Re-enables what a modal window disabled, with the states they had.
void EndModal(LiveWindow& live)
{
    for (auto& [handle, wasEnabled] : live.disabledByModal)
        platform::EnableWindow(handle, wasEnabled);
    live.disabledByModal.clear();
}

void WindowGone(WindowDescription& d)
{
    for (auto& r : d.records)
        DestroyCursor(r);
    auto it = State().live.find(d.id);
    if (it != State().live.end()) {
        EndModal(it->second);
        d.records = std::move(it->second.savedRecords);
        State().live.erase(it);
    }
    for (auto& r : d.records)
        r.object = r.cursor = nullptr;
    if (State().loopEntered && !AnyWindowLive())
        platform::PostQuit(0);
}

} // namespace

EngineState& State()
{
    static EngineState s;
    return s;
}

const ComponentKind* KindFor(uint32_t kindCode)
{
    return reinterpret_cast<const ComponentKind*>(svc::Call(kSvcKindByCode, static_cast<intptr_t>(kindCode)));
}

Component* LiveObject(const ComponentRecord& record)
{
    auto* c = static_cast<Component*>(record.object);
    return c && c->alive() ? c : nullptr;
}

Component* LiveWindowObject(const WindowDescription& d) { return d.records.empty() ? nullptr : LiveObject(d.records[0]); }

void InstallDescriptions(std::vector<WindowDescription> descriptions) { State().descriptions = std::move(descriptions); }
std::vector<WindowDescription>& Descriptions() { return State().descriptions; }

void ReleaseDescriptions()
{
    for (auto& d : State().descriptions) {
        if (Component* w = LiveWindowObject(d))
            platform::DestroyWindow(w->handle());
        for (auto& r : d.records)
            DestroyCursor(r);
    }
    State().descriptions.clear();
    State().live.clear();
}

bool IsWindowLive(uint32_t windowId)
{
    const WindowDescription* d = FindWindow(Descriptions(), windowId);
    return d && LiveWindowObject(*d);
}

bool IsWindowModal(uint32_t windowId)
{
    const auto it = State().live.find(windowId);
    return it != State().live.end() && it->second.modal;
}

bool AnyWindowLive()
{
    for (const auto& d : Descriptions()) {
        if (LiveWindowObject(d))
            return true;
    }
    return false;
}

void ComponentDestroyed(uint32_t windowId, uint32_t componentId)
{
    if (State().rebuilding > 0)
        return;
    WindowDescription* d = FindWindow(Descriptions(), windowId);
    const int i = d ? d->indexOf(componentId, true) : -1;
    if (i < 0)
        return;
    if (i == 0) {
        WindowGone(*d);
        return;
    }
    ComponentRecord& r = d->records[static_cast<size_t>(i)];
    DestroyCursor(r);
    r.object = nullptr;
}

void* FindComponent(uint32_t windowId, uint32_t componentId)
{
    WindowDescription* d = FindWindow(Descriptions(), windowId);
    const int i = d ? d->indexOf(componentId, true) : -1;
    if (i < 0 || d->records[static_cast<size_t>(i)].isMenuItem())
        return nullptr;
    return LiveObject(d->records[static_cast<size_t>(i)]);
}

platform::WindowHandle ComponentWindow(void* component)
{
    return component ? static_cast<Component*>(component)->handle() : nullptr;
}

void BlockEvents() { ++State().blockCount; }

void UnblockEvents()
{
    if (State().blockCount > 0)
        --State().blockCount;
}

void BlockEventsForGood() { State().blockCount += 0x10000; }
int32_t EventBlockCount() { return State().blockCount; }

bool CurrentEventSource(uint32_t* windowId, uint32_t* componentId)
{
    if (State().sourceWindow == 0)
        return false;
    *windowId = State().sourceWindow;
    *componentId = State().sourceComponent;
    return true;
}

void SetMessageLoopEntered(bool entered) { State().loopEntered = entered; }

} // namespace mt::engine
