// The window engine: the loaded-window list, loading windows from their
// descriptions, property routing, event dispatch and the event-blocking
// counter. Runs on the GUI thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "components/event_record.h"
#include "platform/window_handle.h"
#include "windows/template_types.h"

namespace mt::engine {

// The loaded-window list, in template order. Installed at start-up from the
// template block; released at shutdown (a second release finds nothing).
void InstallDescriptions(std::vector<WindowDescription> descriptions);
std::vector<WindowDescription>& Descriptions();
void ReleaseDescriptions();

// Whether the window with this id has a live platform window.
bool IsWindowLive(uint32_t windowId);
bool AnyWindowLive();
// Whether the window was loaded modal; true from the start of its loading on.
bool IsWindowModal(uint32_t windowId);

// Loads a description (reload flag R, modal flag M, parent P): 1 on success,
// 0 on failure.
int32_t LoadWindow(WindowDescription& description, bool reload, bool modal, platform::WindowHandle parent);
// Loads the start-up window; failure is the run-time error "载入启动窗口失败".
void LoadStartupWindow(uint32_t windowId);

// Property routing (both directions), with its run-time errors.
uint64_t ReadProperty(uint32_t windowId, uint32_t componentId, int32_t index, int32_t fontField);
void WriteProperty(uint32_t windowId, uint32_t componentId, int32_t index, int32_t fontField, uint64_t value);

// Raise an event: 1 when a handler ran, else 0.
int32_t RaiseEvent(EventRecord* record);
int32_t RaiseTypedEvent(TypedEventRecord* record);

// A component (componentId != 0) or the window itself has been destroyed.
void ComponentDestroyed(uint32_t windowId, uint32_t componentId);
// The live component object, or null (missing, a menu item, or not live).
void* FindComponent(uint32_t windowId, uint32_t componentId);
// The platform window of a component object.
platform::WindowHandle ComponentWindow(void* component);

// The event-blocking counter: events are delivered only while it is 0.
void BlockEvents();
void UnblockEvents();
void BlockEventsForGood();
int32_t EventBlockCount();

// While a handler runs: its event's source; false otherwise.
bool CurrentEventSource(uint32_t* windowId, uint32_t* componentId);

// From the message loop's start on, the last live window's destruction posts
// the quit message.
void SetMessageLoopEntered(bool entered);

} // namespace mt::engine
