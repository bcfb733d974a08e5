// Loading a window from its description: components created in reverse
// template order, parented, z-ordered in template order, given their cursors
// and notices and shown; then the window's events 0, 3 and 4 and the show.
#include <vector>

#include "abi/service_calls.h"
#include "components/component.h"
#include "components/kind_routines.h"
#include "platform/cursors.h"
#include "platform/native_window.h"
#include "platform/top_window.h"
#include "windows/engine_state.h"
#include "windows/window_engine.h"
#include "windows/windows_texts.h"

namespace mt::engine {
namespace {

struct LoadContext {
    WindowDescription& d;
    bool reload;
    platform::WindowHandle parent;
    std::vector<bool> visible; // per record
    int32_t nextChildId = 100;
};

uint32_t StyleFor(const ComponentRecord& r, const ComponentKind& kind, bool isWindow, bool reload)
{
    uint32_t style = r.state & kStateTabStop ? kStyleTabStop : 0;
    const bool keepsEnabled = (kind.flags & kKindNeverShown) || (isWindow && reload);
    if ((r.state & kStateDisabled) && !keepsEnabled)
        style |= kStyleDisabled;
    return style;
}

bool VisibleFlag(const ComponentRecord& r, const ComponentKind& kind, bool isWindow, bool reload)
{
    if (kind.flags & kKindNeverShown)
        return false;
    if (isWindow && reload)
        return true;
    return r.state & kStateVisible;
}

// Creates record i; false ends loading.
bool CreateRecord(LoadContext& ctx, size_t i)
{
    ComponentRecord& r = ctx.d.records[i];
    const ComponentKind* kind = KindFor(r.kind);
    auto create = KindRoutineOf<CreateRoutine>(kind, kRoutineCreate);
    if (!create)
        return false;
    const bool isWindow = i == 0;
    const auto* props = reinterpret_cast<const uint8_t*>(r.properties.data());
    const auto length = static_cast<int32_t>(r.properties.size());
    platform::WindowHandle parent = ctx.parent;
    int32_t childId = 0;
    if (!isWindow) {
        parent = static_cast<Component*>(ctx.d.records[0].object)->handle();
        childId = ctx.nextChildId;
        ctx.nextChildId += 10;
    }
    Component* c = create(props, length, StyleFor(r, *kind, isWindow, ctx.reload), parent, childId, nullptr, r.left,
                          r.top, r.width, r.height, ctx.d.id, r.id, 0, 0);
    if (!c || !platform::IsWindow(c->handle()))
        return false;
    r.object = c;
    std::string_view role = r.name;
    if (kind->name && role.starts_with(kind->name))
        role.remove_prefix(std::string_view(kind->name).size());
    c->named(role);
    ctx.visible[i] = VisibleFlag(r, *kind, isWindow, ctx.reload);
    return true;
}

bool CreateAll(LoadContext& ctx)
{
    const size_t m = ctx.d.records.size();
    if (m == 0 || !CreateRecord(ctx, 0))
        return false;
    for (size_t i = m - 1; i >= 1; --i) {
        if (!ctx.d.records[i].isMenuItem() && !CreateRecord(ctx, i))
            return false;
    }
    return true;
}

platform::WindowHandle HandleOf(const ComponentRecord& r)
{
    return r.object ? static_cast<Component*>(r.object)->handle() : nullptr;
}

// Components onto their parents; pages other than a container's first are
// hidden.
void ParentAll(LoadContext& ctx)
{
    const platform::WindowHandle window = HandleOf(ctx.d.records[0]);
    for (size_t i = 1; i < ctx.d.records.size(); ++i) {
        ComponentRecord& r = ctx.d.records[i];
        if (!r.object)
            continue;
        const ComponentRecord* container = r.parent ? ctx.d.find(r.parent) : nullptr;
        platform::WindowHandle parent = container && container->object ? HandleOf(*container) : window;
        platform::SetParentWindow(HandleOf(r), parent);
        const ComponentKind* kind = KindFor(r.kind);
        if (!kind || !(kind->flags & kKindHasPages))
            continue;
        bool firstPageDone = false;
        for (uint32_t id : r.pages) {
            if (id == 0) {
                firstPageDone = true;
            } else if (firstPageDone) {
                const int k = ctx.d.indexOf(id);
                if (k > 0)
                    ctx.visible[static_cast<size_t>(k)] = false;
            }
        }
    }
}

// The first component of each parent in template order ends on top; each
// later one goes directly below the nearest earlier sibling.
void OrderAll(LoadContext& ctx)
{
    for (size_t i = 1; i < ctx.d.records.size(); ++i) {
        const ComponentRecord& r = ctx.d.records[i];
        if (!r.object)
            continue;
        const ComponentRecord* above = nullptr;
        for (size_t j = i - 1; j >= 1 && !above; --j) {
            const ComponentRecord& e = ctx.d.records[j];
            if (e.object && e.parent == r.parent)
                above = &e;
        }
        if (above)
            platform::PlaceBelow(HandleOf(r), HandleOf(*above));
        else
            platform::RaiseToTop(HandleOf(r));
    }
}

void CursorsAll(LoadContext& ctx)
{
    for (auto& r : ctx.d.records) {
        if (r.isMenuItem())
            continue;
        const auto* data = reinterpret_cast<const uint8_t*>(r.mousePointer.data());
        r.cursor = platform::MakeCursor(data, r.mousePointer.size());
        platform::SetWindowCursor(HandleOf(r), static_cast<platform::CursorHandle>(r.cursor));
    }
}

void Notify(WindowDescription& d, uint32_t notice)
{
    for (size_t i = d.records.size(); i-- > 0;) {
        if (Component* c = LiveObject(d.records[i]))
            c->notice(notice);
    }
}

void ShowComponents(LoadContext& ctx)
{
    for (size_t i = 1; i < ctx.d.records.size(); ++i) {
        if (Component* c = LiveObject(ctx.d.records[i]))
            platform::ShowWindow(c->handle(), ctx.visible[i]);
    }
}

// A load that fails after the window exists takes the window with it, so
// that no half-built window stays live.
int32_t Fail(LoadContext& ctx)
{
    if (!ctx.d.records.empty()) {
        if (Component* w = LiveObject(ctx.d.records[0]))
            platform::DestroyWindow(w->handle());
    }
    // Whatever the window's destruction has not put back yet (or there was no
    // window to destroy): the description as it was before this load.
    if (auto it = State().live.find(ctx.d.id); it != State().live.end()) {
        ctx.d.records = std::move(it->second.savedRecords);
        State().live.erase(it);
    }
    svc::Call(kSvcUnblockEvents);
    return 0;
}

void DisableOthers(WindowDescription& d)
{
    LiveWindow& live = State().live[d.id];
    live.modal = true;
    const platform::WindowHandle self = HandleOf(d.records[0]);
    for (platform::WindowHandle h : platform::TopWindows()) {
        if (h == self)
            continue;
        live.disabledByModal.emplace_back(h, platform::IsEnabled(h));
        platform::EnableWindow(h, false);
    }
}

// Step 1: a live window is brought forward, or (held, or reloaded) destroyed.
bool BringForward(WindowDescription& d, bool reload)
{
    Component* w = LiveWindowObject(d);
    if (!w)
        return false;
    LiveWindow& live = State().live[d.id];
    if (!reload && !live.hold) {
        platform::ActivateWindow(w->handle());
        return true;
    }
    live.hold = false;
    platform::DestroyWindow(w->handle());
    return false;
}

bool Gone(const WindowDescription& d, const Component* window)
{
    return LiveWindowObject(d) != window;
}

} // namespace

int32_t RaiseSimple(uint32_t windowId, uint32_t componentId, int32_t index)
{
    EventRecord record;
    record.windowId = windowId;
    record.componentId = componentId;
    record.eventIndex = index;
    return RaiseEvent(&record);
}

int32_t LoadWindow(WindowDescription& d, bool reload, bool modal, platform::WindowHandle parent)
{
    if (BringForward(d, reload))
        return 1;
    if (modal)
        parent = nullptr;
    else if (parent && !platform::IsWindow(parent))
        return 0;
    if (d.records.empty() || d.records[0].isMenuItem())
        return 0;
    svc::Call(kSvcBlockEvents);
    LiveWindow& live = State().live[d.id];
    live = LiveWindow{};
    live.savedRecords = d.records;
    live.reload = reload;
    live.modal = modal; // in force while the kinds' Create routines run
    LoadContext ctx{d, reload, parent, std::vector<bool>(d.records.size(), false)};
    if (!CreateAll(ctx))
        return Fail(ctx);
    ParentAll(ctx);
    OrderAll(ctx);
    CursorsAll(ctx);
    Notify(d, kNoticeLoaded);
    static_cast<Component*>(d.records[0].object)->notice(kNoticeWindowLoaded);
    ShowComponents(ctx);
    svc::Call(kSvcUnblockEvents);

    auto* window = static_cast<Component*>(d.records[0].object);
    const uint32_t windowId = d.id;
    const uint32_t selfId = d.records[0].id;
    for (int32_t index : {0, 3, 4}) {
        RaiseSimple(windowId, selfId, index);
        if (Gone(d, window))
            return 1;
    }
    if (ctx.visible[0])
        ShowLoadedWindow(d, reload);
    if (Gone(d, window))
        return 1;
    if (modal)
        DisableOthers(d);
    const platform::WindowHandle focus = platform::FocusWindow();
    Notify(d, kNoticeShown);
    if (platform::IsWindow(focus) && platform::FocusWindow() != focus)
        platform::SetFocusWindow(focus);
    if (!Gone(d, window))
        State().live[d.id].fullyLoaded = true;
    return 1;
}

void ShowLoadedWindow(WindowDescription& d, bool reload)
{
    Component* w = LiveWindowObject(d);
    if (!w)
        return;
    const platform::WindowHandle h = w->handle();
    if (reload) {
        platform::ShowTopWindow(h, platform::ShowState::kNormal);
        return;
    }
    const bool startState = svc::Call(kSvcProgramMode) != 0;
    platform::ShowTopWindow(h, startState ? platform::TopWindowState(h) : platform::ShowState::kNormal);
    const platform::WindowHandle focus = platform::FocusWindow();
    if (!LiveWindowObject(d) || !focus)
        return;
    if (focus == h || platform::IsDescendant(focus, h)) {
        if (Component* c = Component::FromHandle(focus))
            c->focusShown();
    }
}

void LoadStartupWindow(uint32_t windowId)
{
    WindowDescription* d = FindWindow(Descriptions(), windowId);
    if (!d || !LoadWindow(*d, false, false, nullptr))
        svc::Error(gb::kErrStartupWindowFailed);
}

} // namespace mt::engine
