// How a component asks the runtime to run the handler bound to one of its
// events.
#pragma once

#include <cstdint>

namespace mt {

// Eleven 32-bit words: ids, event index, up to five 32-bit arguments, and the
// handler's result.
struct EventRecord {
    uint32_t windowId = 0;
    uint32_t componentId = 0;
    int32_t eventIndex = 0;
    int32_t argCount = 0;
    int32_t args[5] = {};
    int32_t hasResult = 0;
    int32_t result = 0;
};
static_assert(sizeof(EventRecord) == 44);

// Up to twelve typed arguments of 16 bytes each and a 64-bit result.
struct TypedEventArgument {
    uint64_t payload = 0;
    uint32_t type = 0;
    uint32_t flags = 0; // bit 0: pass the payload's first word by reference; bit 1: both words
};
static_assert(sizeof(TypedEventArgument) == 16);

struct TypedEventRecord {
    uint32_t windowId = 0;
    uint32_t componentId = 0;
    int32_t eventIndex = 0;
    int32_t argCount = 0;
    TypedEventArgument args[12] = {};
    int32_t hasResult = 0;
    int64_t result = 0;
};

} // namespace mt
