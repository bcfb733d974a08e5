// Property reads and writes from application code: find the window and the
// component, serve menu items and the common properties here, hand own
// properties to the kind, and rebuild a component that asks for it.
#include <cstdio>

#include "abi/service_calls.h"
#include "abi/text_value.h"
#include "components/component.h"
#include "components/property_conversion.h"
#include "components/property_types.h"
#include "platform/cursors.h"
#include "platform/native_window.h"
#include "windows/common_properties.h"
#include "windows/engine_state.h"
#include "windows/window_engine.h"
#include "windows/windows_texts.h"

namespace mt::engine {
namespace {

struct Target {
    WindowDescription* d;
    ComponentRecord* r;
};

// A component id the window does not contain is a mistake of the caller:
// reported as a run-time error before any record is touched.
[[noreturn]] void ComponentMissing(uint32_t windowId, uint32_t componentId)
{
    char message[128];
    std::snprintf(message, sizeof message, gb::kErrComponentNotInWindow, windowId, componentId);
    svc::Error(message);
}

Target Route(uint32_t windowId, uint32_t componentId)
{
    WindowDescription* d = FindWindow(Descriptions(), windowId);
    if (!d)
        svc::Error(gb::kErrWindowNotLoaded);
    ComponentRecord* r = d->find(componentId);
    if (!r)
        ComponentMissing(windowId, componentId);
    return {d, r};
}

// Menu items: 0 caption, 1 bit 2, 2 bit 1, 3 set when bit 0 is clear.
uint64_t ReadMenuItem(const ComponentRecord& r, int32_t index)
{
    switch (index) {
    case 0: return reinterpret_cast<uintptr_t>(NewText(r.menuCaption));
    case 1: return (r.menuState >> 2) & 1;
    case 2: return (r.menuState >> 1) & 1;
    case 3: return (r.menuState & 1) == 0;
    }
    return 0;
}

void WriteMenuItem(ComponentRecord& r, int32_t index, uint64_t value)
{
    const bool on = static_cast<uint32_t>(value) != 0;
    auto set = [&r](uint32_t bit, bool b) { r.menuState = b ? r.menuState | bit : r.menuState & ~bit; };
    switch (index) {
    case 0: {
        const char* t = reinterpret_cast<const char*>(static_cast<uintptr_t>(value));
        r.menuCaption = t ? t : "";
        break;
    }
    case 1: set(4, on); break;
    case 2: set(2, on); break;
    case 3: set(1, !on); break;
    }
}

Component* LiveOrFail(const ComponentRecord& r)
{
    Component* c = LiveObject(r);
    if (!c)
        svc::Error(gb::kErrWindowNotLive);
    return c;
}

// Creates the component again from its saved properties, in the same place,
// and puts it where the old one was. Events wait meanwhile.
void Rebuild(ComponentRecord& r, Component* old)
{
    auto create = KindRoutineOf<CreateRoutine>(old->kind(), kRoutineCreate);
    auto save = KindRoutineOf<SavePropertiesRoutine>(old->kind(), kRoutineSaveProperties);
    if (!create || !save)
        return;
    const platform::WindowHandle oldHandle = old->handle();
    BlockEvents();
    ++State().rebuilding;
    int32_t length = 0;
    uint8_t* saved = save(old, &length);
    const platform::Rect rect = platform::WindowRect(oldHandle);
    const uint32_t style = (old->tabStop() ? kStyleTabStop : 0) | (platform::IsEnabled(oldHandle) ? 0 : kStyleDisabled);
    Component* fresh = create(saved, length, style, platform::ParentOf(oldHandle), old->childId(), nullptr, rect.left,
                              rect.top, rect.width, rect.height, old->windowId(), old->componentId(), 0, 0);
    svc::Free(saved);
    if (fresh && platform::IsWindow(fresh->handle())) {
        const platform::WindowHandle focus = platform::FocusWindow();
        const bool hadFocus = focus == oldHandle || platform::IsDescendant(focus, oldHandle);
        if (old->kindFlags() & kKindContainer) {
            for (platform::WindowHandle child : platform::ChildWindows(oldHandle))
                platform::SetParentWindow(child, fresh->handle());
        }
        platform::PlaceBelow(fresh->handle(), oldHandle);
        platform::SetWindowCursor(fresh->handle(), static_cast<platform::CursorHandle>(r.cursor));
        platform::ShowWindow(fresh->handle(), platform::IsShown(oldHandle));
        r.object = fresh;
        platform::DestroyWindow(oldHandle);
        if (hadFocus)
            platform::SetFocusWindow(fresh->handle());
    }
    --State().rebuilding;
    UnblockEvents();
}

} // namespace

uint64_t ReadProperty(uint32_t windowId, uint32_t componentId, int32_t index, int32_t fontField)
{
    Target t = Route(windowId, componentId);
    if (t.r->isMenuItem())
        return ReadMenuItem(*t.r, index);
    if (index >= 0 && index < kCommonPropertyCount)
        return ReadCommonProperty(*t.d, *t.r, index);
    Component* c = LiveOrFail(*t.r);
    Component::Guard guard(c);
    return ReadOwnProperty(c, index, fontField);
}

void WriteProperty(uint32_t windowId, uint32_t componentId, int32_t index, int32_t fontField, uint64_t value)
{
    Target t = Route(windowId, componentId);
    if (t.r->isMenuItem()) {
        WriteMenuItem(*t.r, index, value);
        return;
    }
    if (index >= 0 && index < kCommonPropertyCount) {
        WriteCommonProperty(*t.d, *t.r, index, value);
        return;
    }
    Component* c = LiveOrFail(*t.r);
    Component::Guard guard(c);
    if (WriteOwnProperty(c, index, fontField, value) != 1 || !c->alive())
        return;
    // The write may have run handlers: find the record again.
    WindowDescription* d = FindWindow(Descriptions(), windowId);
    ComponentRecord* r = d ? d->find(componentId) : nullptr;
    if (r && r->object == c)
        Rebuild(*r, c);
}

} // namespace mt::engine
