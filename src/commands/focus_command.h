// SetComponentFocus (core command 6): gives a component the keyboard focus.
#pragma once

#include <cstdint>

#include "abi/value_record.h"

namespace mt {

// Argument: the component (window id in the payload's low half, component id
// in its high half). A component that does not exist or is not loaded is the
// run-time error "指定窗口或窗口组件不存在或尚未载入", raised by the lookup.
void SetComponentFocus(ValueRecord* result, int32_t argc, ValueRecord* args);

} // namespace mt
