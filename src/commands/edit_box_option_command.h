// EditBoxOption (core command 14, our own): what an edit box tells of its
// focus, and settings of a multi-line box that have no property.
#pragma once

#include <cstdint>

#include "abi/value_record.h"

namespace mt {

enum EditBoxOptionCode : int32_t {
    // Answers (integer) how the box last gained the keyboard focus: 0 the
    // program or nothing known, 1 a left-button press in it, 2 a press of
    // another button, 3 Tab, 4 Shift+Tab, 5 its window activated again.
    kEditBoxFocusCause = 1,
    // Enter in the box inserts the line break that the text of the box given
    // as the third argument already uses (the form of its first one; CR LF
    // when it has none). Omitted: its own text's.
    kEditBoxLineBreaksOf = 2,
};

// Arguments: the edit box (as SetComponentFocus takes it), the option code,
// and the option's value. A component that does not exist is the lookup's
// run-time error; an unknown code, or a box of another kind, answers 0.
void EditBoxOption(ValueRecord* result, int32_t argc, ValueRecord* args);

} // namespace mt
