#include "frame/process_entry.h"

#include <unistd.h>

#include <climits>

#include "frame/runtime_state.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "platform/application.h"

namespace mt {

int RunProcess(ApplicationEntryRoutine entry)
{
    platform::EnsureApplication();
    char path[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    SetProgramLocation(n > 0 ? path : "");
    entry();
    Shutdown(0);
    return RuntimeState().lastQuitCode;
}

} // namespace mt
