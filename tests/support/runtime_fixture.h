// Starting and stopping the runtime inside a test process.
#pragma once

#include <string>

#include "abi/library_interface.h"

namespace mt::test {

// Initialises the runtime from `header` the way the application entry does,
// with message boxes scripted (recorded, never shown).
void StartRuntime(const ProgramHeader* header);
// Shuts the runtime down (exit code 0) and forgets the dialog script.
void StopRuntime();

// A header over the image's real library table with the given template
// block and constants (either may be empty).
ProgramHeader MakeHeader(const std::string& templateBlock, const std::string& constants,
                         const void* codeBase = nullptr);

// The runtime's library table as the program image lays it out.
const LibraryRecord* const* ImageLibraries();

} // namespace mt::test
