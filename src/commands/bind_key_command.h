// BindKey (core command 10, our own): a key that, pressed anywhere in the
// component's window, does what clicking the component does, or raises
// another event of the component.
#pragma once

#include <cstdint>

#include "abi/value_record.h"

namespace mt {

// Arguments: the component (as SetComponentFocus takes it), the virtual key
// code, the modifiers (1 Ctrl, 2 Shift, 4 Alt; omitted: none) and the event
// index to raise (omitted: 0, the click; any other is raised with the key
// code and the modifiers as its arguments, as the key-down event carries
// them). A component that does not exist is the lookup's run-time error.
void BindKeyCommand(ValueRecord* result, int32_t argc, ValueRecord* args);

} // namespace mt
