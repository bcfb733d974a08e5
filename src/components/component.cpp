#include "components/component.h"

#include "abi/service_calls.h"
#include "platform/native_window.h"

namespace mt {

Component::Component(const ComponentKind* kind, uint32_t windowId, uint32_t componentId, int32_t childId,
                     uint32_t style)
    : kind_(kind), windowId_(windowId), componentId_(componentId), childId_(childId), style_(style)
{
}

Component::Guard::~Guard()
{
    if (--c_->busy_ == 0 && c_->deleted_)
        delete c_;
}

bool Component::alive() const { return !destroyed_ && platform::IsWindow(handle_); }

void Component::attach(platform::WindowHandle handle) { handle_ = handle; }

bool Component::raise(int32_t index, std::initializer_list<int32_t> args, int32_t* result, bool* hasResult)
{
    Guard guard(this);
    EventRecord record;
    record.windowId = windowId_;
    record.componentId = componentId_;
    record.eventIndex = index;
    for (int32_t a : args) {
        if (record.argCount < 5)
            record.args[record.argCount++] = a;
    }
    const bool ran = svc::Call(kSvcRaiseEvent, reinterpret_cast<intptr_t>(&record)) != 0;
    if (hasResult)
        *hasResult = ran && record.hasResult;
    if (result && ran && record.hasResult)
        *result = record.result;
    return ran;
}

void Component::windowDestroyed()
{
    if (destroyed_)
        return;
    destroyed_ = true;
    Guard guard(this);
    destroying();
    svc::Call(kSvcComponentDestroyed, static_cast<intptr_t>(windowId_), static_cast<intptr_t>(componentId_));
}

void Component::windowDeleted()
{
    destroyed_ = true;
    deleted_ = true;
    if (busy_ == 0)
        delete this;
}

void Component::focusIn() { focusDelivered_ = raise(-7); }

void Component::focusOut()
{
    focusDelivered_ = false;
    raise(-8);
}

void Component::focusShown()
{
    if (!focusDelivered_)
        focusDelivered_ = raise(-7);
}

Component* Component::FromHandle(platform::WindowHandle handle)
{
    return dynamic_cast<Component*>(platform::ListenerOf(handle));
}

} // namespace mt
