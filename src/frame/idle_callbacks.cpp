#include "frame/idle_callbacks.h"

#include <cstddef>
#include <vector>

#include "platform/window_registry.h"

namespace mt {
namespace {

std::vector<IdleEntry>& Table()
{
    static auto* table = new std::vector<IdleEntry>; // outlives static destruction
    return *table;
}

} // namespace

void AddIdleCallback(const IdleEntry& entry)
{
    if (!entry.window || !entry.callback || !platform::WindowExists(entry.window))
        return;
    for (const auto& e : Table()) {
        if (e.window == entry.window)
            return;
    }
    Table().push_back(entry);
}

void RemoveIdleCallback(platform::WindowHandle window)
{
    auto& t = Table();
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i].window == window) {
            t.erase(t.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
}

void ClearIdleCallbacks() { Table().clear(); }

bool RunIdleCallbacks()
{
    bool more = false;
    auto& t = Table();
    for (size_t i = t.size(); i-- > 0;) {
        if (i >= t.size())
            continue; // a callback removed entries
        if (!platform::WindowExists(t[i].window)) {
            t.erase(t.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        IdleEntry e = t[i];
        more |= e.callback(e.argument) != 0;
    }
    return more;
}

int IdleCallbackCount() { return static_cast<int>(Table().size()); }

} // namespace mt
