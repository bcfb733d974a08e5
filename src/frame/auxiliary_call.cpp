#include "frame/auxiliary_call.h"

#include <cstring>
#include <string>

#include "abi/text_value.h"
#include "frame/array_block.h"
#include "frame/memory.h"
#include "frame/runtime_state.h"
#include "frame/startup.h"
#include "platform/file_search.h"

namespace mt {
namespace {

using platform::FileSearch;

bool Accepted(uint32_t attributes, uint32_t mask, bool filesOnly)
{
    if (filesOnly)
        return (attributes & platform::kAttrDirectory) == 0;
    if (mask != 0)
        return (attributes & mask & 0x37) != 0;
    return attributes == 0;
}

// One step of a file search. A non-empty pattern closes any old search held
// in *handle and starts a new one; an empty pattern continues it.
intptr_t FileSearchStep(const char* pattern, uint32_t mask, bool filesOnly, intptr_t* handle)
{
    if (!handle)
        return 0;
    auto* search = reinterpret_cast<FileSearch*>(*handle);
    if (pattern && *pattern) {
        platform::EndFileSearch(search);
        search = platform::BeginFileSearch(pattern);
        *handle = reinterpret_cast<intptr_t>(search);
    }
    if (!search)
        return 0;
    std::string name;
    uint32_t attributes = 0;
    while (platform::NextFileEntry(search, &name, &attributes)) {
        if (Accepted(attributes, mask, filesOnly))
            return reinterpret_cast<intptr_t>(NewText(name));
    }
    platform::EndFileSearch(search);
    *handle = 0;
    return 0;
}

// Replaces an array block that lies in a static range by a heap copy, so
// that the array can be changed.
void UnshareArray(size_t elementSize, void** variable)
{
    if (!variable || !*variable || !StaticRangeEnd(*variable))
        return;
    const ArrayShape shape = ShapeOfArray(*variable);
    const size_t bytes = shape.headerBytes() + shape.elements * elementSize;
    void* copy = Allocate(bytes);
    std::memcpy(copy, *variable, bytes);
    *variable = copy;
}

} // namespace

intptr_t AuxiliaryCall(int32_t code, uintptr_t a, uintptr_t b, uintptr_t c, uintptr_t d)
{
    switch (code) {
    case kAuxFileSearchStep:
        return FileSearchStep(reinterpret_cast<const char*>(a), static_cast<uint32_t>(b), c != 0,
                              reinterpret_cast<intptr_t*>(d));
    case kAuxCloseSearch:
        platform::EndFileSearch(reinterpret_cast<FileSearch*>(a));
        return 0;
    case kAuxUnshareArray:
        UnshareArray(static_cast<size_t>(a), reinterpret_cast<void**>(b));
        return 0;
    case kAuxSetCleanupRoutine:
        RuntimeState().cleanupRoutine = reinterpret_cast<CleanupRoutine>(a);
        return 0;
    case kAuxInitializeRuntime:
        InitializeRuntime(reinterpret_cast<const ProgramHeader*>(a));
        return 0;
    }
    return 0; // 4 and 5 serve facilities this program does not carry
}

} // namespace mt
