// BoxNotice (core command 13, our own): a one-line notice over the top of a
// multi-line edit box, saying something about the text it shows (that a
// server answered with an error, that bytes were replaced, why a rule
// failed). A notice is a look only (platform/edit_control.h): it changes
// neither the text nor the layout, and the next change of the text takes
// it away.
#pragma once

#include <cstdint>

#include "abi/value_record.h"

namespace mt {

// Arguments: the component (as SetComponentFocus takes it), then the notice
// text (GB18030; empty or omitted: the notice in place goes). Result: true
// when the component is a multi-line edit box, which now shows the notice
// (or none); false for any other component, which shows nothing. A
// component that does not exist is the lookup's run-time error.
void BoxNotice(ValueRecord* result, int32_t argc, ValueRecord* args);

} // namespace mt
