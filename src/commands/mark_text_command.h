// MarkText (core command 9, our own): marks in a multi-line edit box where
// an extraction found its parts, and tints the occurrences of a sought text
// in the rows in view. Marks are looks only (platform/text_marks.h); the
// next change of the box's text takes them away.
#pragma once

#include <cstdint>

#include "abi/value_record.h"

namespace mt {

// Arguments: the component (as SetComponentFocus takes it); the sought text
// whose occurrences in view are tinted (empty: none), found by 寻找文本's
// rule; then up to three pairs of a 1-based byte position and a length: the
// left, middle and right text, each tinted its own way (a length of 0 or
// less: no mark). The middle mark is scrolled into view. With nothing to
// mark the marks in place go. A box that is no multi-line edit box shows
// nothing; a component that does not exist is the lookup's run-time error.
void MarkText(ValueRecord* result, int32_t argc, ValueRecord* args);

} // namespace mt
