// How numbers, booleans and date-times read as text: the formatting that
// ToText and the message box share.
#pragma once

#include <string>

#include "abi/value_record.h"

namespace mt {

// Formats a byte, short, integer, long, float, double, boolean or date-time
// value into *out (replacing its contents) and returns true; returns false and
// leaves *out alone for every other type, arrays included. The text is
// GB18030 and at most 99 bytes long.
bool FormatScalarValue(const ValueRecord& v, std::string* out);

} // namespace mt
