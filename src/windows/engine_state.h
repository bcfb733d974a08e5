// The window engine's own state, shared by its parts (loading, routing,
// dispatch). Not for use outside windows/.
#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "abi/library_interface.h"
#include "platform/window_handle.h"
#include "windows/template_types.h"

namespace mt {
class Component;
}

namespace mt::engine {

// What the engine keeps for a window while it is live.
struct LiveWindow {
    std::vector<ComponentRecord> savedRecords; // the component area as it was before the load
    bool reload = false;
    bool hold = false;
    bool modal = false;
    bool fullyLoaded = false;
    std::vector<std::pair<platform::WindowHandle, bool>> disabledByModal;
};

struct EngineState {
    std::vector<WindowDescription> descriptions;
    std::map<uint32_t, LiveWindow> live; // by window id
    int32_t blockCount = 0;
    bool loopEntered = false;
    uint32_t sourceWindow = 0;
    uint32_t sourceComponent = 0;
    int32_t rebuilding = 0; // destruction reports are ignored while above 0
};

EngineState& State();

// The ComponentKind for a KindCode, through the runtime; null if none.
const ComponentKind* KindFor(uint32_t kindCode);
// The record's live component, or null.
Component* LiveObject(const ComponentRecord& record);
// The live window component of a description, or null.
Component* LiveWindowObject(const WindowDescription& description);

// The show operation: shows the window (in its start state unless reload)
// and raises -7 for whatever holds the focus in it.
void ShowLoadedWindow(WindowDescription& description, bool reload);

// Raises an argument-less event for a record of a window.
int32_t RaiseSimple(uint32_t windowId, uint32_t componentId, int32_t index);

} // namespace mt::engine
