// The numbers at the start of a text, read the conventional way: what the
// input box stores into numeric variables and the edit box keeps of a
// number typed into it.
#pragma once

#include <cstdint>
#include <string_view>

namespace mt {

// Blanks (space, tab, CR, LF, VT, FF) skipped, an optional sign, then the
// decimal digits up to the first other byte; 0 when there are none. A number
// beyond the 64-bit range gives the nearest bound.
int64_t LeadingInteger(std::string_view text);

// Blanks skipped, then the longest decimal floating-point number (sign,
// digits, point, exponent; "inf" and "nan" too) read as in the C locale; 0
// when there is none. A number too large gives an infinity.
double LeadingNumber(std::string_view text);

} // namespace mt
