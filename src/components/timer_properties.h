// The timer's stored record (version 1): the interval in milliseconds. Plain
// data, read and written without the platform.
#pragma once

#include <cstddef>
#include <cstdint>

#include "components/property_archive.h"

namespace mt {

// The interval of a record, 0 when nothing is stored; a negative interval
// reads as 0. False for a refused version or a record that ends early.
bool ReadTimerRecord(const uint8_t* record, size_t size, int32_t* interval);
PropertyWriter WriteTimerRecord(int32_t interval);

} // namespace mt
