// The program's side of the window's calls (base/window_calls.h): each one
// passes through the table of the window module, which is opened on the
// first call that needs the window. The command line makes none, so it
// runs without Qt and the libraries behind it; the window opens the
// module as it starts.
//
// The module lies beside the program in the build tree and in
// MT_WINDOW_MODULE_DIR, relative to the program's folder, once installed.
// It takes what it needs of the program's own platform code (the text
// conversions, the heap, the start directory) from the program, so there
// is one copy of each. A module that cannot be opened ends the program with
// a line saying why: without it there is no window.
#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/base/window_calls.h"

namespace mt::platform {
namespace {

std::atomic<const WindowCalls*> g_opened{nullptr};

std::string ProgramFolder()
{
    char path[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string folder(path, n > 0 ? static_cast<size_t>(n) : 0);
    const size_t slash = folder.rfind('/');
    return slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
}

[[noreturn]] void CannotOpen(const std::string& why)
{
    std::fprintf(stderr, "middletext: the window cannot start: %s\n", why.c_str());
    std::fflush(nullptr);
    _exit(1);
}

const WindowCalls* Open()
{
    const std::string folder = ProgramFolder();
    const std::string candidates[] = {folder + "/" + kWindowModuleFile,
                                      folder + "/" MT_WINDOW_MODULE_DIR "/" + kWindowModuleFile};
    for (const std::string& file : candidates) {
        if (access(file.c_str(), F_OK) != 0)
            continue;
        void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            const char* error = dlerror();
            CannotOpen(error ? error : file);
        }
        auto entry = reinterpret_cast<const WindowCalls* (*)()>(dlsym(module, kWindowCallsEntry));
        const WindowCalls* table = entry ? entry() : nullptr;
        if (!table || table->signature != kWindowCallsSignature)
            CannotOpen(file + " belongs to another build of the program");
        return table;
    }
    CannotOpen(std::string("no ") + kWindowModuleFile + " in " + folder + " or " + folder + "/" MT_WINDOW_MODULE_DIR);
}

// Opened once, by whichever thread asks first.
const WindowCalls& Calls()
{
    static const WindowCalls* const table = Open();
    g_opened.store(table, std::memory_order_release);
    return *table;
}

const WindowCalls* CallsIfOpen() { return g_opened.load(std::memory_order_acquire); }

} // namespace

#define MT_WINDOW_FORWARD(result, name, parameters, arguments) \
    result name parameters { return Calls().name arguments; }
#define MT_WINDOW_ANSWER(result, name, parameters, arguments, absent) \
    result name parameters                                            \
    {                                                                 \
        if (const WindowCalls* calls = CallsIfOpen())                 \
            return calls->name arguments;                             \
        return absent;                                                \
    }
MT_WINDOW_CALLS(MT_WINDOW_FORWARD, MT_WINDOW_ANSWER)
#undef MT_WINDOW_FORWARD
#undef MT_WINDOW_ANSWER

} // namespace mt::platform
