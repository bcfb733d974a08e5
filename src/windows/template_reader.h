// Reads a window template block into window descriptions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "windows/template_types.h"

namespace mt {

// Parses `size` bytes at `block`. Handler offsets are relocated against
// codeBase (offset -1 gives a null handler). Returns nothing when the block is
// malformed: it ends early, a count or length runs past its area, or a record
// lies outside its window's component area. Never reads outside the block.
std::optional<std::vector<WindowDescription>> ReadTemplateBlock(const uint8_t* block, size_t size,
                                                                const void* codeBase);

// One record body (without its length word), as the reader parses it.
bool ReadComponentBody(uint32_t id, const uint8_t* body, size_t size, const void* codeBase,
                       ComponentRecord* out);

} // namespace mt
