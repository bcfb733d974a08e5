#include "windows/template_types.h"

namespace mt {

int WindowDescription::indexOf(uint32_t componentId, bool allowZero) const
{
    if (records.empty())
        return -1;
    if (componentId == 0)
        return allowZero ? 0 : -1;
    if (!IsValidId(componentId))
        return -1;
    if (records[0].id == componentId)
        return 0;
    for (size_t i = 1; i < records.size(); ++i) {
        if (records[i].id == componentId)
            return static_cast<int>(i);
    }
    return -1;
}

ComponentRecord* WindowDescription::find(uint32_t componentId, bool allowZero)
{
    int i = indexOf(componentId, allowZero);
    return i < 0 ? nullptr : &records[static_cast<size_t>(i)];
}

const ComponentRecord* WindowDescription::find(uint32_t componentId, bool allowZero) const
{
    int i = indexOf(componentId, allowZero);
    return i < 0 ? nullptr : &records[static_cast<size_t>(i)];
}

WindowDescription* FindWindow(std::vector<WindowDescription>& windows, uint32_t windowId)
{
    if (!IsValidId(windowId))
        return nullptr;
    for (auto& w : windows) {
        if (w.id == windowId)
            return &w;
    }
    return nullptr;
}

const WindowDescription* FindWindow(const std::vector<WindowDescription>& windows, uint32_t windowId)
{
    return FindWindow(const_cast<std::vector<WindowDescription>&>(windows), windowId);
}

} // namespace mt
