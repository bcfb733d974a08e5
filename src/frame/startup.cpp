#include "frame/startup.h"

#include <unistd.h>

#include <string>
#include <thread>

#include "abi/service_calls.h"
#include "frame/memory.h"
#include "frame/runtime_error.h"
#include "frame/runtime_state.h"
#include "platform/start_directory.h"
#include "windows/template_reader.h"
#include "windows/window_engine.h"
#include "windows/windows_texts.h"

namespace mt {
namespace {

void PrepareDllCommands(RuntimeData& rt, const ProgramHeader* h)
{
    rt.dllCommands.clear();
    if (h->dllCommandCount <= 0)
        return;
    rt.dllCommands.resize(static_cast<size_t>(h->dllCommandCount));
    for (size_t i = 0; i < rt.dllCommands.size(); ++i) {
        const char* file = h->dllFiles ? h->dllFiles[i] : nullptr;
        const char* name = h->dllExports ? h->dllExports[i] : nullptr;
        rt.dllCommands[i].file = file ? file : "";
        rt.dllCommands[i].routineName = name ? name : "";
    }
}

void NotifyLibrariesOfStartup(RuntimeData& rt, const ProgramHeader* h)
{
    rt.libraries.assign(h->libraries, h->libraries + (h->libraryCount > 0 ? h->libraryCount : 0));
    rt.libraryWords.assign(rt.libraries.size(), 0);
    svc::SetService(&RuntimeServiceEntry);
    for (const LibraryRecord* lib : rt.libraries) {
        if (lib && lib->notify)
            lib->notify(kNotifyStartup, reinterpret_cast<intptr_t>(&RuntimeServiceEntry), 0);
    }
}

void ReadWindowTemplates(const ProgramHeader* h)
{
    if (h->templateSize <= 0)
        return;
    auto windows = ReadTemplateBlock(h->templateBlock, static_cast<size_t>(h->templateSize), h->codeBase);
    if (!windows)
        RaiseRuntimeError(gb::kErrTemplateBlock, 0);
    engine::InstallDescriptions(std::move(*windows));
}

} // namespace

void SetProgramLocation(const char* modulePath)
{
    RuntimeData& rt = RuntimeState();
    std::string path = modulePath ? modulePath : "";
    size_t slash = path.rfind('/');
    rt.programDirectory = slash == std::string::npos ? std::string() : path.substr(0, slash);
    rt.programFileName = slash == std::string::npos ? path : path.substr(slash + 1);
}

void InitializeRuntime(const ProgramHeader* h)
{
    RuntimeData& rt = RuntimeState();
    rt.header = h;
    rt.programMode = h->programMode;
    rt.reservedWord = h->reserved;
    rt.nextSerial = static_cast<uint32_t>(h->highestSerial) + 1;
    // There is no OLE to initialise on this platform.
    platform::RememberStartDirectory(); // before the program's directory becomes current
    if (!rt.programDirectory.empty() && chdir(rt.programDirectory.c_str()) != 0) {
        // The current directory stays as it was; nothing depends on it.
    }
    // The hidden runtime window's job (shutdown asked from another thread)
    // is done by the platform's event loop.
    rt.guiThread = std::this_thread::get_id();
    InstallNewHandler(); // from here on a refused operator new is the run-time error
    if (h->constantsSize > 0)
        RegisterStaticRange(h->constants, h->constants + h->constantsSize);
    PrepareDllCommands(rt, h);
    NotifyLibrariesOfStartup(rt, h);
    rt.initialised = true;
    ReadWindowTemplates(h);
}

} // namespace mt
