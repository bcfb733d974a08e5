// InputBox (core command 7): asks for one line of input and stores it,
// converted, into a variable of the caller's.
#pragma once

#include <cstdint>
#include <string_view>

#include "abi/value_record.h"

namespace mt {

// Arguments: prompt, title, initial text (texts, optional); the variable
// that receives the input, by reference (payload: the variable's address;
// type: its type), optional; the mode (integer, optional: 1; clamped to
// 1 text, 2 integer, 3 decimal number, 4 password). Result: true when the
// input was confirmed.
void InputBox(ValueRecord* result, int32_t argc, ValueRecord* args);

// Stores `text` into the variable a by-reference argument names: a text
// variable gets a new copy (its old text freed), a numeric one the number at
// the start of the text; other types get nothing.
void StoreInputInto(const ValueRecord& variable, std::string_view text);

} // namespace mt
