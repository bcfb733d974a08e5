// BindKey (core command 10, our own): a key that, pressed anywhere in the
// component's window, does what clicking the component does.
#pragma once

#include <cstdint>

#include "abi/value_record.h"

namespace mt {

// Arguments: the component (as SetComponentFocus takes it), the virtual key
// code, and the modifiers (1 Ctrl, 2 Shift, 4 Alt; omitted: none). A
// component that does not exist is the lookup's run-time error.
void BindKeyCommand(ValueRecord* result, int32_t argc, ValueRecord* args);

} // namespace mt
