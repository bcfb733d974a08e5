// The internet library's command HttpRead.
#pragma once

#include <cstdint>

#include "frame/text_value.h"
#include "frame/value_record.h"
#include "net/grow_buffer.h"

namespace mt {

// HttpRead(URL text) -> byte array: the body of the response, whatever its
// status code; null when no byte arrived (an empty URL, a scheme other than
// http and https, a failed connection or a rejected certificate). A transfer
// that fails midway gives the bytes that arrived before the failure. A
// missing or non-text argument reads as the empty URL.
void HttpRead(ValueRecord* result, int32_t argc, ValueRecord* args);

// Turns the buffer's bytes into a new byte array (null when it is empty) and
// leaves the buffer empty. A heap block becomes the array in place; pooled
// bytes are copied.
ByteArrayValue TakeByteArray(GrowBuffer& buffer);

} // namespace mt
