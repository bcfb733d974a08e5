// The timer kind: an invisible component that raises event 0 once per tick
// while its Interval is above 0.
#include "components/component.h"
#include "components/kind_helpers.h"
#include "components/kind_tables.h"
#include "components/timer_properties.h"
#include "platform/timer_window.h"

namespace mt {
namespace {

class TimerComponent : public Component {
public:
    TimerComponent(uint32_t style, uint32_t windowId, uint32_t componentId, int32_t childId)
        : Component(&kCoreKinds[31], windowId, componentId, childId, style)
    {
    }

    void build(platform::WindowHandle parent, const platform::Rect& rect)
    {
        attach(platform::CreateTimerWindow(parent, rect, this));
        if (interval > 0)
            platform::StartTimer(handle(), interval);
    }

    void setInterval(int32_t value)
    {
        if (value < 0)
            value = 0;
        if (value == interval)
            return;
        interval = value;
        platform::StopTimer(handle());
        if (interval > 0)
            platform::StartTimer(handle(), interval);
    }

    void timerTick() override { raise(0); }

    int32_t interval = 0;

protected:
    void destroying() override { platform::StopTimer(handle()); }
};

TimerComponent* AsTimer(Component* c) { return static_cast<TimerComponent*>(c); }

Component* Create(const uint8_t* record, int32_t length, uint32_t style, platform::WindowHandle parent,
                  int32_t childId, void*, int32_t left, int32_t top, int32_t width, int32_t height, uint32_t windowId,
                  uint32_t componentId, int32_t, int32_t)
{
    int32_t interval = 0;
    if (!ReadTimerRecord(record, RecordSize(length), &interval))
        return nullptr;
    auto* t = new TimerComponent(style, windowId, componentId, childId);
    t->interval = interval;
    t->build(parent, {left, top, width, height});
    return t;
}

int32_t SetProperty(Component* c, int32_t own, RawPropertyValue v)
{
    if (own == kTimerInterval)
        AsTimer(c)->setInterval(static_cast<int32_t>(v.value));
    return 0;
}

uint8_t* SaveProperties(Component* c, int32_t* length)
{
    return WriteTimerRecord(AsTimer(c)->interval).release(length);
}

int32_t GetProperty(Component* c, int32_t own, RawPropertyValue* out)
{
    if (own != kTimerInterval)
        return 0;
    out->value = static_cast<uint32_t>(AsTimer(c)->interval);
    return 1;
}

} // namespace

KindRoutine TimerKindInterface(int32_t number)
{
    switch (number) {
    case kRoutineCreate: return reinterpret_cast<KindRoutine>(&Create);
    case kRoutineSetProperty: return reinterpret_cast<KindRoutine>(&SetProperty);
    case kRoutineSaveProperties: return reinterpret_cast<KindRoutine>(&SaveProperties);
    case kRoutineGetProperty: return reinterpret_cast<KindRoutine>(&GetProperty);
    }
    return nullptr;
}

} // namespace mt
