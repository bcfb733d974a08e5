// Handler lookup and the two raise operations. A handler runs synchronously;
// its component is kept alive across the call, and the event source is
// reported to the runtime while it runs.
#include <algorithm>
#include <optional>

#include "abi/runtime_entry_table.h"
#include "abi/service_calls.h"
#include "components/component.h"
#include "components/kind_routines.h"
#include "windows/engine_state.h"
#include "windows/window_engine.h"
#include "windows/windows_texts.h"

namespace mt::engine {
namespace {

struct Handler {
    const void* address = nullptr;
    uint32_t componentId = 0; // the source's id (record 0's id for 0)
    Component* object = nullptr;
};

// Follows shared-handler sources while they name a record of the same kind.
const ComponentRecord* HandlerRecord(const WindowDescription& d, const ComponentRecord* r)
{
    for (size_t steps = 0; r->sharedSource != 0 && steps < d.records.size(); ++steps) {
        const ComponentRecord* source = d.find(r->sharedSource);
        if (!source || source->kind != r->kind)
            break;
        r = source;
    }
    return r;
}

const void* HandlerFor(const ComponentRecord& r, int32_t index)
{
    if (r.isMenuItem())
        return r.menuHandler.handler;
    for (const auto& e : r.events) {
        if (e.index == index)
            return e.handler;
    }
    return nullptr;
}

bool FindHandler(uint32_t windowId, uint32_t componentId, int32_t index, Handler* out)
{
    if (State().blockCount > 0)
        return false;
    const WindowDescription* d = FindWindow(Descriptions(), windowId);
    if (!d)
        svc::Error(gb::kErrEventWindowMissing);
    const int i = d->indexOf(componentId, true);
    if (i < 0)
        svc::Error(gb::kErrEventComponentMissing);
    const ComponentRecord& own = d->records[static_cast<size_t>(i)];
    const ComponentRecord* r = HandlerRecord(*d, &own);
    if (!r->isMenuItem()) {
        const ComponentKind* kind = KindFor(r->kind);
        if (!kind || !(kind->flags & (kKindRaisesEvents | kKindRaisesEventsAlt)))
            svc::Error(gb::kErrEventComponentInvalid);
    }
    out->address = HandlerFor(*r, index);
    out->componentId = own.id;
    out->object = static_cast<Component*>(own.object);
    return out->address != nullptr;
}

// Runs the handler with the event's source recorded; a nested event's
// source gives way to the outer one again when it returns.
void Call(const Handler& h, uint32_t windowId, EventCall* call)
{
    std::optional<Component::Guard> guard;
    if (h.object)
        guard.emplace(h.object);
    const uint32_t outerWindow = State().sourceWindow;
    const uint32_t outerComponent = State().sourceComponent;
    State().sourceWindow = windowId;
    State().sourceComponent = h.componentId;
    (*static_cast<const EventHandler*>(h.address))(call);
    State().sourceWindow = outerWindow;
    State().sourceComponent = outerComponent;
}

// One typed argument as the handler receives it.
ValueRecord TypedArgument(const TypedEventArgument& a)
{
    const auto low = static_cast<uint32_t>(a.payload);
    if (a.flags & 1)
        return {low, a.type};
    if ((a.flags & 2) || a.type == 0x00010003)
        return {a.payload, a.type};
    switch (a.type) {
    case kTypeByte: return {static_cast<uint8_t>(low), a.type};
    case kTypeShort: return {static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(low))), a.type};
    case kTypeDateTime:
    case kTypeOpaque64:
    case kTypeLong:
    case kTypeDouble: return {a.payload, a.type};
    }
    return {low, a.type};
}

} // namespace

int32_t RaiseEvent(EventRecord* record)
{
    Handler h;
    if (!FindHandler(record->windowId, record->componentId, record->eventIndex, &h))
        return 0;
    EventCall call;
    call.argc = std::clamp(record->argCount, 0, 5);
    for (int32_t i = 0; i < call.argc; ++i)
        call.args[i] = MakeInt(record->args[i]);
    Call(h, record->windowId, &call);
    if (call.hasResult) {
        record->hasResult = 1;
        record->result = static_cast<int32_t>(call.result);
    }
    return 1;
}

int32_t RaiseTypedEvent(TypedEventRecord* record)
{
    Handler h;
    if (!FindHandler(record->windowId, record->componentId, record->eventIndex, &h))
        return 0;
    EventCall call;
    call.argc = std::clamp(record->argCount, 0, 12);
    for (int32_t i = 0; i < call.argc; ++i)
        call.args[i] = TypedArgument(record->args[i]);
    Call(h, record->windowId, &call);
    if (call.hasResult) {
        record->hasResult = 1;
        record->result = call.result;
    }
    return 1;
}

} // namespace mt::engine
