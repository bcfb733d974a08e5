// The window kind's routines, handed out by number.
#include <cstring>

#include "abi/service_calls.h"
#include "components/kind_helpers.h"
#include "components/kind_tables.h"
#include "components/window_component.h"

namespace mt {
namespace {

WindowComponent* AsWindow(Component* c) { return static_cast<WindowComponent*>(c); }

Component* Create(const uint8_t* record, int32_t length, uint32_t style, platform::WindowHandle parent, int32_t,
                  void*, int32_t left, int32_t top, int32_t width, int32_t height, uint32_t windowId,
                  uint32_t componentId, int32_t childWindow, int32_t)
{
    return WindowComponent::Create(record, length, style, parent, left, top, width, height, windowId, componentId,
                                   childWindow != 0);
}

int32_t SetProperty(Component* c, int32_t own, RawPropertyValue value) { return AsWindow(c)->setProperty(own, value); }

uint8_t* SaveProperties(Component* c, int32_t* length) { return AsWindow(c)->properties().write().release(length); }

int32_t GetProperty(Component* c, int32_t own, RawPropertyValue* out) { return AsWindow(c)->getProperty(own, out); }

uint8_t* IconBytes(const uint8_t* record, int32_t length, int32_t* outLength)
{
    WindowProperties p;
    *outLength = 0;
    if (!p.read(record, RecordSize(length)) || p.icon.empty())
        return nullptr;
    auto* block = static_cast<uint8_t*>(svc::Allocate(p.icon.size()));
    std::memcpy(block, p.icon.data(), p.icon.size());
    *outLength = static_cast<int32_t>(p.icon.size());
    return block;
}

uint8_t* VisitTexts(const uint8_t* record, int32_t length, TextVisitor visitor, void* user, int32_t* outLength)
{
    WindowProperties p;
    *outLength = 0;
    if (!p.read(record, RecordSize(length)))
        return nullptr;
    for (std::string* text : {&p.caption, &p.helpFile, &p.windowClassName})
        visitor(text, user);
    return p.write().release(outLength);
}

} // namespace

KindRoutine WindowKindInterface(int32_t number)
{
    switch (number) {
    case kRoutineCreate: return reinterpret_cast<KindRoutine>(&Create);
    case kRoutineSetProperty: return reinterpret_cast<KindRoutine>(&SetProperty);
    case kRoutineSaveProperties: return reinterpret_cast<KindRoutine>(&SaveProperties);
    case kRoutineGetProperty: return reinterpret_cast<KindRoutine>(&GetProperty);
    case kRoutineIconBytes: return reinterpret_cast<KindRoutine>(&IconBytes);
    case kRoutineVisitTexts: return reinterpret_cast<KindRoutine>(&VisitTexts);
    }
    return nullptr;
}

} // namespace mt
