// Own properties (index 8 and up) between application code and a kind:
// the conversions by PropertyType in both directions.
#pragma once

#include <cstdint>

namespace mt {

class Component;

// Reads an own property: zero (or the empty text) when the kind does not
// serve the index, or when the index lies beyond the kind's table. Texts,
// byte arrays and font records are new values owned by the caller.
uint64_t ReadOwnProperty(Component* component, int32_t index, int32_t fontField);

// Writes an own property; returns the kind's answer (1: rebuild to show the
// change). An index beyond the kind's table is ignored (0).
int32_t WriteOwnProperty(Component* component, int32_t index, int32_t fontField, uint64_t value);

} // namespace mt
