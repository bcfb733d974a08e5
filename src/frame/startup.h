// Runtime initialisation: reads the program image's tables.
#pragma once

#include "abi/library_interface.h"

namespace mt {

// Records the header, the program's location, the GUI thread, the static
// range of the constants block and the DLL command tables; installs the new
// handler (memory.h); notifies every library; reads the window template
// block (a malformed block is the run-time error "载入窗口模板数据段出错!").
void InitializeRuntime(const ProgramHeader* header);

// Where the program lives: directory (no trailing separator) and file name,
// split at the last '/'.
void SetProgramLocation(const char* modulePath);

// The runtime's service entry handed to every library.
int64_t RuntimeServiceEntry(int32_t code, intptr_t a, intptr_t b);

} // namespace mt
