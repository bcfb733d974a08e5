#include "platform/key_shortcuts.h"

#include <algorithm>
#include <vector>

#include "platform/native_window.h"

namespace mt::platform {
namespace {

struct Binding {
    WindowHandle target;
    int32_t key;
    int32_t keyState;
    int32_t event;
};

std::vector<Binding>& Bindings()
{
    static std::vector<Binding> bindings;
    std::erase_if(bindings, [](const Binding& b) { return !IsWindow(b.target); });
    return bindings;
}

WindowHandle TopOf(WindowHandle h)
{
    for (WindowHandle up = ParentOf(h); up; up = ParentOf(up))
        h = up;
    return h;
}

} // namespace

void BindKey(WindowHandle target, int32_t key, int32_t keyState, int32_t event)
{
    if (!IsWindow(target))
        return;
    auto& bindings = Bindings();
    const WindowHandle top = TopOf(target);
    std::erase_if(bindings,
                  [&](const Binding& b) { return b.key == key && b.keyState == keyState && TopOf(b.target) == top; });
    bindings.push_back({target, key, keyState, event});
}

WindowHandle BoundKeyTarget(WindowHandle window, int32_t key, int32_t keyState, int32_t* event)
{
    for (const Binding& b : Bindings()) {
        if (b.key == key && b.keyState == keyState && IsDescendant(b.target, window) && IsVisible(b.target) &&
            IsEnabled(b.target)) {
            if (event)
                *event = b.event;
            return b.target;
        }
    }
    return nullptr;
}

} // namespace mt::platform
