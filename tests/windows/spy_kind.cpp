#include "spy_kind.h"

#include <cstdio>

#include "components/component.h"
#include "platform/timer_window.h"
#include "windows/template_types.h"

namespace mt::test {
namespace {

std::string Entry(const char* what, uint32_t code, uint32_t id)
{
    char buffer[64];
    if (code)
        std::snprintf(buffer, sizeof buffer, "%s %x %x", what, code, IdSerial(id));
    else
        std::snprintf(buffer, sizeof buffer, "%s %x", what, IdSerial(id));
    return buffer;
}

class SpyComponent : public Component {
public:
    SpyComponent(const ComponentKind* kind, uint32_t windowId, uint32_t componentId, int32_t childId, uint32_t style,
                 platform::WindowHandle parent, const platform::Rect& rect)
        : Component(kind, windowId, componentId, childId, style)
    {
        attach(platform::CreateTimerWindow(parent, rect, this));
    }
    void notice(uint32_t code) override { Spy().entries.push_back(Entry("notice", code, componentId())); }
};

Component* Create(const uint8_t*, int32_t, uint32_t style, platform::WindowHandle parent, int32_t childId, void*,
                  int32_t left, int32_t top, int32_t width, int32_t height, uint32_t windowId, uint32_t componentId,
                  int32_t, int32_t)
{
    Spy().entries.push_back(Entry("create", 0, componentId));
    if (Spy().onCreate)
        Spy().onCreate();
    return new SpyComponent(SpyKind(kSpyKindCode), windowId, componentId, childId, style, parent,
                            {left, top, width, height});
}

KindRoutine Interface(int32_t number)
{
    return number == 1 ? reinterpret_cast<KindRoutine>(&Create) : nullptr;
}

const ComponentKind kSpy = {"spy", "Spy", nullptr, 0, nullptr, 0x40, 0, 0, nullptr, 8, nullptr, &Interface, 0, nullptr};

} // namespace

SpyLog& Spy()
{
    static SpyLog log;
    return log;
}

const ComponentKind* SpyKind(uint32_t code) { return code == kSpyKindCode ? &kSpy : nullptr; }

} // namespace mt::test
