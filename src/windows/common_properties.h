// The eight common properties (Left, Top, Width, Height, Tag, Visible,
// Disabled, MousePointer), served by the engine from the live platform
// window or, while the window is not live, from the stored record.
#pragma once

#include <cstdint>

#include "windows/template_types.h"

namespace mt::engine {

uint64_t ReadCommonProperty(WindowDescription& description, ComponentRecord& record, int32_t index);
void WriteCommonProperty(WindowDescription& description, ComponentRecord& record, int32_t index, uint64_t value);

} // namespace mt::engine
