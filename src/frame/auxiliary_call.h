// The auxiliary operations of the entry table (slot 12).
#pragma once

#include <cstdint>

namespace mt {

enum AuxiliaryCode : int32_t {
    kAuxFileSearchStep = 0,
    kAuxCloseSearch = 1,
    kAuxUnshareArray = 2,
    kAuxSetCleanupRoutine = 3,
    kAuxReadKindProperty = 4,
    kAuxWriteKindProperty = 5,
    kAuxInitializeRuntime = 6,
};

intptr_t AuxiliaryCall(int32_t code, uintptr_t a, uintptr_t b, uintptr_t c, uintptr_t d);

} // namespace mt
