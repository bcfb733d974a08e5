#include "frame/kind_lookup.h"

#include "frame/runtime_state.h"

namespace mt {

const ComponentKind* FindKindIn(const LibraryRecord* const* libraries, int32_t libraryCount, uint32_t kindCode)
{
    const int32_t library = static_cast<int32_t>(kindCode >> 16) - 1;
    const int32_t kind = static_cast<int32_t>(kindCode & 0xFFFF) - 1;
    if (!libraries || library < 0 || library >= libraryCount || kind < 0)
        return nullptr;
    const LibraryRecord* lib = libraries[library];
    if (!lib || kind >= lib->kindCount || !lib->kinds)
        return nullptr;
    const ComponentKind* k = &lib->kinds[kind];
    return k->kindInterface ? k : nullptr;
}

const ComponentKind* FindKind(uint32_t kindCode)
{
    const RuntimeData& rt = RuntimeState();
    return FindKindIn(rt.libraries.data(), static_cast<int32_t>(rt.libraries.size()), kindCode);
}

} // namespace mt
