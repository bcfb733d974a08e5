// Array blocks: a 32-bit dimension count d, d 32-bit dimension sizes, then
// the elements.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace mt {

struct ArrayShape {
    size_t dimensions = 0;
    size_t elements = 0; // product of the dimension sizes (negative sizes count as 0)
    size_t headerBytes() const { return 4 + 4 * dimensions; }
};

inline ArrayShape ShapeOfArray(const void* block)
{
    const auto* b = static_cast<const uint8_t*>(block);
    int32_t dims;
    std::memcpy(&dims, b, 4);
    ArrayShape s;
    s.dimensions = dims > 0 ? static_cast<size_t>(dims) : 0;
    s.elements = s.dimensions > 0 ? 1 : 0;
    for (size_t d = 0; d < s.dimensions; ++d) {
        int32_t size;
        std::memcpy(&size, b + 4 + 4 * d, 4);
        s.elements *= size > 0 ? static_cast<size_t>(size) : 0;
    }
    return s;
}

} // namespace mt
