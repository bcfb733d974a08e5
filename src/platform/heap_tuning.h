// The C library's heap, tuned for a window that holds texts of many
// megabytes.
#pragma once

namespace mt::platform {

// Large blocks come from the heap instead of fresh mappings, and freed ones
// stay for the next request: a handler that copies a 64 MiB text on every
// keystroke then reuses the same pages instead of faulting in new ones each
// time. What is kept goes back to the system a second after the user's last
// input (the two calls below).
void KeepLargeBlocksForReuse();
// Called as each idle period of the event loop begins: unless a return is
// already due, free heap pages go back to the system a second later.
void ReturnFreeHeapSoon();
// Called for each keystroke, click, wheel turn and input-method event: the
// return waits for a second without them.
void PostponeHeapReturn();

} // namespace mt::platform
