// The edit box a command's component argument names.
#pragma once

#include "abi/value_record.h"
#include "platform/edit_control.h"

namespace mt {

// The multi-line edit box that `component` (a component reference) names;
// null for any other component. A component that does not exist is the
// lookup's run-time error.
platform::EditControl* MultiLineBoxOf(const ValueRecord& component);

} // namespace mt
