// What the edit box's numeric and date-time input modes make of the text a
// user leaves in the box: the number or date-time it holds, written back in
// its canonical form.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mt {

// Modes 5 to 11 rewrite the text when the box loses the focus.
constexpr bool NormalisesText(int32_t inputMode) { return inputMode >= 5 && inputMode <= 11; }

// The text a box in `inputMode` keeps of `text`:
//   5 byte, 6 short, 7 integer: the leading decimal number clamped into the
//     type's range (7 read as a 64-bit number first); 8 long: that number;
//   9 single, 10 double: the leading decimal number as "%.6g" / "%.13g"
//     (single reduced to single precision first);
//   11 date-time: the date-time it names in the date-time format, or empty
//     when it names none or the zero date-time;
// and for 5 to 10 a result of "0" as the empty text. Other modes: the text.
std::string NormalisedText(int32_t inputMode, std::string_view text);

} // namespace mt
