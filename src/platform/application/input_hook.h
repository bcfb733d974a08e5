// Inside the layer: the application object offers every event to a hook
// before delivering it, so that a top-level window can pre-translate the
// input addressed to its descendants (the way a classic message loop does
// before dispatch).
#pragma once

class QObject;
class QEvent;

namespace mt::platform {

// Returns true when the event was consumed and must not be delivered.
using InputHook = bool (*)(QObject* receiver, QEvent* event);
void SetInputHook(InputHook hook);

} // namespace mt::platform

namespace mt::platform {

// A second hook, asked before the input hook: the wait for a transfer keeps
// input away from the windows while it runs.
void SetTransferHook(InputHook hook);

} // namespace mt::platform
