#include "frame/call_gate.h"

#include <cstring>

namespace mt {

ValueRecord CallGate(CommandRoutine command, int32_t argc, ValueRecord* args)
{
    ValueRecord result;
    std::memset(&result, 0, sizeof result);
    command(&result, argc, args);
    return result;
}

} // namespace mt
