// Writes window descriptions as a window template block: the exact layout the
// reader consumes. Slots are written as 0; handlers as their stored offsets.
#pragma once

#include <string>
#include <vector>

#include "windows/template_types.h"

namespace mt {

std::string WriteTemplateBlock(const std::vector<WindowDescription>& windows);

// One record body (without its length word).
std::string WriteComponentBody(const ComponentRecord& record);

// The largest 24-bit serial among the windows' component ids (for the
// program header's highest-serial word).
uint32_t HighestSerial(const std::vector<WindowDescription>& windows);

} // namespace mt
