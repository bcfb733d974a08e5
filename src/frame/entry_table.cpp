// The runtime entry table: what application code calls.
#include "abi/runtime_entry_table.h"

#include "frame/auxiliary_call.h"
#include "frame/call_gate.h"
#include "frame/dll_commands.h"
#include "frame/memory.h"
#include "frame/message_loop.h"
#include "frame/runtime_error.h"
#include "frame/runtime_state.h"
#include "frame/shutdown.h"
#include "windows/window_engine.h"

namespace mt {
namespace {

void ReportErrorSlot(int32_t code) { ReportSlotError(code); }

void WritePropertySlot(uint32_t window, uint32_t component, int32_t index, int32_t fontField, uint32_t low,
                       uint32_t high)
{
    engine::WriteProperty(window, component, index, fontField, static_cast<uint64_t>(high) << 32 | low);
}

void ExitSlot(int32_t code) { ExitProgram(code); }

const RuntimeEntryTable kEntryTable = {
    ReportErrorSlot,
    ResolveDllCommand,
    CallGate,
    CallGate,
    engine::ReadProperty,
    WritePropertySlot,
    Allocate,
    Reallocate,
    Free,
    ExitSlot,
    RunMessageLoop,
    engine::LoadStartupWindow,
    AuxiliaryCall,
};

} // namespace

const RuntimeEntryTable& Runtime() { return kEntryTable; }

CommandRoutine CommandAddress(int32_t library, int32_t command)
{
    const auto& libs = RuntimeState().libraries;
    if (library < 0 || static_cast<size_t>(library) >= libs.size() || !libs[static_cast<size_t>(library)])
        return nullptr;
    const LibraryRecord* lib = libs[static_cast<size_t>(library)];
    if (command < 0 || command >= lib->commandCount || !lib->commands)
        return nullptr;
    return lib->commands[command];
}

} // namespace mt
