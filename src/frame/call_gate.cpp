#include "frame/call_gate.h"

#include <cstring>
#include <new>

#include "frame/memory.h"

namespace mt {

ValueRecord CallGate(CommandRoutine command, int32_t argc, ValueRecord* args)
{
    ValueRecord result;
    std::memset(&result, 0, sizeof result);
    try {
        command(&result, argc, args);
    } catch (const std::bad_alloc&) {
        // Thrown past the new handler (a library that throws it itself, an
        // array length beyond what can be asked for): the same run-time error.
        AllocationFailedOfUnknownSize();
    }
    return result;
}

} // namespace mt
