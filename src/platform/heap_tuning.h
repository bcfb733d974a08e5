// The C library's heap, tuned for a window that holds texts of many
// megabytes.
#pragma once

namespace mt::platform {

// Large blocks come from the heap instead of fresh mappings, and freed ones
// stay for the next request: a handler that copies a 64 MiB text on every
// keystroke then reuses the same pages instead of faulting in new ones each
// time. What is kept goes back to the system once the program has been
// quiet for a second (ReturnFreeHeapWhenQuiet).
void KeepLargeBlocksForReuse();
// Called as each idle period of the event loop begins: a second later, if
// nothing else has happened, free heap pages go back to the system.
void ReturnFreeHeapWhenQuiet();

} // namespace mt::platform
