#include "frame/console_entry.h"

#include <unistd.h>

#include <climits>
#include <cstdio>

#include "frame/runtime_error.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "platform/text_codec.h"

namespace mt {
namespace {

int32_t PrintError(int32_t code, const char* message)
{
    // One line behind the program's name, as every message of the command line.
    const std::string text = platform::GbToUtf8(RuntimeErrorLine(code, message));
    std::fprintf(stderr, "middletext: %s\n", text.c_str());
    return 1; // reported: no dialog
}

} // namespace

int RunConsoleProcess(ConsoleEntryRoutine entry, int argc, char** argv)
{
    char path[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    SetProgramLocation(n > 0 ? path : "");
    SetErrorHook(PrintError);
    const int result = entry(argc, argv);
    Shutdown(0);
    return result;
}

} // namespace mt
