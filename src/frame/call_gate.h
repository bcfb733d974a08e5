// The call gate: every library command is called through it.
#pragma once

#include "abi/runtime_entry_table.h"

namespace mt {

// Reserves a result record, zeroes all 12 bytes, calls the command with
// (result, argc, args) and returns the result. A command that writes nothing
// returns payload 0 and type 0. A std::bad_alloc out of the command is the
// run-time error of a refused allocation.
ValueRecord CallGate(CommandRoutine command, int32_t argc, ValueRecord* args);

} // namespace mt
