// The encoding library's one command: re-encodes bytes from one character
// encoding into another with iconv.
#pragma once

#include <cstdint>

#include "abi/value_record.h"

namespace mt {

// 1. data, byte array; 2. source encoding name, text; 3. target encoding
// name, text; 4. success variable by reference, optional (its payload is the
// address of the caller's 32-bit variable) → byte array: the converted bytes.
//
// The names go to iconv unchanged. Between GB18030 and UTF-8, UTF-16LE or
// UTF-16BE, the private-use characters iconv leaves unmapped take their
// GB18030 codes (abi/gb18030.h). Unknown names, invalid or truncated input
// and output that outgrows the work buffer give the empty byte array; the
// success variable, when given, is set to 0 at the start and to 1 after a
// conversion that succeeded (an empty input converts to an empty result).
void ConvertEncoding(ValueRecord* result, int32_t argc, ValueRecord* args);

} // namespace mt
