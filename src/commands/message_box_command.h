// MessageBoxCommand (core command 3): shows a message box and reports the
// button pressed.
#pragma once

#include <cstdint>

#include "abi/value_record.h"

namespace mt {

// Arguments: content (any type), flags (integer, optional: 0), title (text,
// optional: "信息："). Result: the ButtonNumber, an integer.
void MessageBoxCommand(ValueRecord* result, int32_t argc, ValueRecord* args);

// The ButtonNumber of a platform answer: OK 0, Cancel 1, Abort 2, Retry 3,
// Ignore 4, Yes 5, No 6, anything else 0.
int32_t ButtonNumber(int answer);

} // namespace mt
