#include "frame/program_icons.h"

#include "components/kind_routines.h"
#include "frame/kind_lookup.h"
#include "frame/memory.h"
#include "platform/runtime_objects.h"
#include "windows/window_engine.h"

namespace mt {
namespace {

// The platform's large and small icon sizes.
constexpr int kLargeIconEdge = 32;
constexpr int kSmallIconEdge = 16;

struct ProgramIcons {
    bool loaded = false;
    platform::ObjectHandle large = nullptr;
    platform::ObjectHandle small = nullptr;
};

ProgramIcons& Icons()
{
    static ProgramIcons icons;
    return icons;
}

void Load(ProgramIcons& icons)
{
    icons.loaded = true;
    const auto& windows = engine::Descriptions();
    if (windows.empty() || windows[0].records.empty())
        return;
    const ComponentRecord& own = windows[0].records[0];
    auto iconBytes = KindRoutineOf<IconBytesRoutine>(FindKind(own.kind), kRoutineIconBytes);
    if (!iconBytes)
        return;
    int32_t length = 0;
    uint8_t* bytes = iconBytes(reinterpret_cast<const uint8_t*>(own.properties.data()),
                               static_cast<int32_t>(own.properties.size()), &length);
    if (bytes && length > 0) {
        icons.large = platform::MakeIcon(bytes, static_cast<size_t>(length), kLargeIconEdge);
        icons.small = platform::MakeIcon(bytes, static_cast<size_t>(length), kSmallIconEdge);
    }
    Free(bytes);
}

} // namespace

void WriteProgramIcons(intptr_t* words)
{
    ProgramIcons& icons = Icons();
    if (!icons.loaded)
        Load(icons);
    if (!words)
        return;
    words[0] = reinterpret_cast<intptr_t>(icons.large);
    words[1] = reinterpret_cast<intptr_t>(icons.small);
}

void DestroyRuntimeObject(intptr_t object)
{
    auto* handle = reinterpret_cast<platform::ObjectHandle>(object);
    if (!platform::DestroyObject(handle))
        return;
    ProgramIcons& icons = Icons();
    if (handle == icons.large)
        icons.large = nullptr;
    if (handle == icons.small)
        icons.small = nullptr;
}

void ReleaseProgramIcons()
{
    ProgramIcons& icons = Icons();
    platform::DestroyObject(icons.large);
    platform::DestroyObject(icons.small);
    icons = ProgramIcons{};
}

} // namespace mt
