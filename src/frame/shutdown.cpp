#include "frame/shutdown.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>

#include "frame/idle_callbacks.h"
#include "frame/program_icons.h"
#include "frame/runtime_state.h"
#include "platform/application.h"
#include "platform/native_window.h"
#include "windows/window_engine.h"

namespace mt {
namespace {

void NotifyLibrariesOfShutdown(RuntimeData& rt)
{
    for (size_t i = 0; i < rt.libraries.size(); ++i) {
        const LibraryRecord* lib = rt.libraries[i];
        if (lib && lib->notify)
            lib->notify(kNotifyShutdown, rt.libraryWords[i], 0);
    }
}

void ReleaseLibraries(RuntimeData& rt)
{
    rt.libraries.clear();
    rt.libraryWords.clear();
    for (auto& dll : rt.dllCommands) {
        if (dll.library)
            dlclose(dll.library);
    }
    rt.dllCommands.clear();
    ReleaseProgramIcons();
    // No OLE, Windows Sockets or COM server registration exists on this
    // platform, so there is nothing of theirs to undo.
}

// The part of shutdown that runs on the GUI thread.
void ShutdownOnGuiThread(RuntimeData& rt)
{
    rt.shuttingDown = true;
    ClearIdleCallbacks();
    engine::ReleaseDescriptions();
    // The windows go now, and their components with them: the event loop
    // that would have deleted them has ended.
    platform::FlushDestroyedWindows();
    if (CleanupRoutine cleanup = rt.cleanupRoutine) {
        rt.cleanupRoutine = nullptr;
        cleanup();
    }
    NotifyLibrariesOfShutdown(rt);
    ReleaseLibraries(rt);
}

} // namespace

void Shutdown(int32_t exitCode)
{
    RuntimeData& rt = RuntimeState();
    if (!rt.initialised && rt.libraries.empty() && !rt.cleanupRoutine)
        return; // nothing was started, or everything is released already
    engine::BlockEvents();
    if (!platform::IsGuiThread()) {
        if (platform::HasApplication())
            platform::RunOnGuiThreadBlocking([exitCode] { ExitProgram(exitCode); });
        if (!rt.shuttingDown) {
            std::fflush(nullptr);
            _exit(exitCode);
        }
        return;
    }
    ShutdownOnGuiThread(rt);
    rt.initialised = false;
}

void ExitProgram(int32_t exitCode)
{
    Shutdown(exitCode);
    std::fflush(nullptr);
    _exit(exitCode);
}

} // namespace mt
