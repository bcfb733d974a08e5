// Commands the application imports from dynamic libraries by name, resolved
// on their first call and cached.
#pragma once

#include <cstdint>

namespace mt {

// The routine of DLL command `index`, resolving it on first use. A missing
// export is the run-time error naming it (and the file when one is named).
void* ResolveDllCommand(int32_t index);

} // namespace mt
