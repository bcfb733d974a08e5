// The core library's text and conversion commands. Each is a command routine
// (see abi/runtime_entry_table.h): it reads its arguments, which it never
// changes, and writes its answer into *result. Texts and byte arrays it
// returns are new blocks from the runtime's allocation operation, null when
// empty, and belong to the caller.
#pragma once

#include <cstdint>

#include "abi/value_record.h"

namespace mt {

// 1. text → integer: the text's length in bytes.
void 取文本长度(ValueRecord* result, int32_t argc, ValueRecord* args);

// 1. value of any type → text: the value as text (numbers, booleans and
// date-times as FormatScalarValue writes them; byte arrays and numeric arrays
// as their bytes up to the first zero byte). Arrays of other types leave the
// result untouched.
void ToText(ValueRecord* result, int32_t argc, ValueRecord* args);

// 1. text to search, 2. sought text, 3. start position (1-based, optional),
// 4. case-insensitive flag (optional; only the value 1 turns it on)
// → integer: 1-based byte position of the first occurrence beginning on a
// character boundary at or after the start, or -1.
void 寻找文本(ValueRecord* result, int32_t argc, ValueRecord* args);

// 1. text, 2. start position (1-based), 3. length → text: the bytes from the
// start, clamped to the end of the text; empty for a start outside the text
// or a length of 0 or less.
void 取文本中间(ValueRecord* result, int32_t argc, ValueRecord* args);

// 1. value of any type → byte array: the value's own bytes (texts without the
// terminator, numbers little-endian, numeric arrays all their elements);
// empty for types that are not basic.
void ToBytes(ValueRecord* result, int32_t argc, ValueRecord* args);

} // namespace mt
