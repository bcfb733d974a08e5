#include "frame/dll_commands.h"

#include <dlfcn.h>

#include <string>
#include <vector>

#include "frame/frame_texts.h"
#include "frame/runtime_error.h"
#include "frame/runtime_state.h"

namespace mt {
namespace {

// Libraries tried, in order, when a command names no file: the program
// itself with everything it has loaded, then the C library.
const char* const kDefaultLibraries[] = {nullptr, "libc.so.6", "libm.so.6"};

// Export names beginning with "#" are ordinals; shared objects export by
// name only, so an ordinal never resolves.
void* Lookup(void* library, const std::string& name)
{
    if (!library || name.empty() || name[0] == '#')
        return nullptr;
    return dlsym(library, name.c_str());
}

void* TryLibrary(const std::string& path, const std::string& name, void** handle)
{
    void* lib = dlopen(path.empty() ? nullptr : path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* routine = Lookup(lib, name);
    if (routine) {
        *handle = lib;
        return routine;
    }
    if (lib)
        dlclose(lib);
    return nullptr;
}

// A file name without '/' is looked for in the DLL directory, then the
// program directory, then through the system search; one with '/' as given.
std::vector<std::string> Candidates(const RuntimeData& rt, const std::string& file)
{
    if (file.find('/') != std::string::npos)
        return {file};
    std::vector<std::string> paths;
    if (!rt.dllDirectory.empty())
        paths.push_back(rt.dllDirectory + "/" + file);
    paths.push_back(rt.programDirectory + "/" + file);
    paths.push_back(file);
    return paths;
}

[[noreturn]] void ExportMissing(const DllCommand& c)
{
    std::string message = c.file.empty() ? gb::kErrDllExportMissing : gb::kErrDllFileExportMissing;
    if (!c.file.empty())
        message.replace(message.find("%s"), 2, c.file);
    message.replace(message.find("%s"), 2, c.routineName);
    RaiseRuntimeError(message.c_str(), 0);
}

void* Resolve(const RuntimeData& rt, DllCommand& c)
{
    if (c.file.empty()) {
        for (const char* lib : kDefaultLibraries) {
            if (void* r = TryLibrary(lib ? lib : "", c.routineName, &c.library))
                return r;
        }
        return nullptr;
    }
    for (const auto& path : Candidates(rt, c.file)) {
        if (void* r = TryLibrary(path, c.routineName, &c.library))
            return r;
    }
    return nullptr;
}

} // namespace

void* ResolveDllCommand(int32_t index)
{
    RuntimeData& rt = RuntimeState();
    if (index < 0 || static_cast<size_t>(index) >= rt.dllCommands.size())
        ExportMissing(DllCommand{});
    DllCommand& c = rt.dllCommands[static_cast<size_t>(index)];
    if (!c.routine)
        c.routine = Resolve(rt, c);
    if (!c.routine)
        ExportMissing(c);
    return c.routine;
}

} // namespace mt
