// What the runtime keeps for the whole run: copied header words, program
// location, libraries, DLL command caches and the clean-up routine.
#pragma once

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "abi/library_interface.h"

namespace mt {

using CleanupRoutine = void (*)();

struct DllCommand {
    std::string file;        // library file name; empty: the default libraries
    std::string routineName; // exported routine name
    void* routine = nullptr;
    void* library = nullptr; // handle kept for release at shutdown
};

struct RuntimeData {
    bool initialised = false;
    bool shuttingDown = false;
    const ProgramHeader* header = nullptr;
    int32_t programMode = 0;
    int32_t reservedWord = 0;
    uint32_t nextSerial = 1;
    std::string programDirectory; // without a trailing separator
    std::string programFileName;
    std::string dllDirectory; // optional; empty unless a facility sets it
    std::thread::id guiThread;
    std::vector<const LibraryRecord*> libraries;
    std::vector<intptr_t> libraryWords; // one per library, 0 unless set
    std::vector<DllCommand> dllCommands;
    CleanupRoutine cleanupRoutine = nullptr;
    int32_t lastQuitCode = 0;
};

RuntimeData& RuntimeState();

} // namespace mt
