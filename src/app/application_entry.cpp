#include "application_entry.h"

#include "app_image.h"

namespace app {
namespace {

constexpr int32_t kAuxSetCleanupRoutine = 3;
constexpr int32_t kAuxInitializeRuntime = 6;

// The tool keeps no global variables and has nothing to clean up.
void InitialiseGlobals() {}
void CleanUp() {}

} // namespace

int ApplicationEntry()
{
    const mt::RuntimeEntryTable& rt = mt::Runtime();
    rt.auxiliaryCall(kAuxInitializeRuntime, reinterpret_cast<uintptr_t>(&kProgramHeader), 0, 0, 0);
    // The floating-point unit needs no re-initialisation on this platform.
    InitialiseGlobals();
    rt.auxiliaryCall(kAuxSetCleanupRoutine, reinterpret_cast<uintptr_t>(&CleanUp), 0, 0, 0);
    rt.loadStartupWindow(id::MainWindow);
    rt.messageLoop();
    return 0;
}

} // namespace app
