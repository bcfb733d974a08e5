#include "frame/memory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "frame/frame_texts.h"
#include "frame/runtime_error.h"

namespace mt {
namespace {

const Heap kProcessHeap = {std::malloc, std::realloc, std::free};
const Heap* g_heap = &kProcessHeap;

struct StaticRange {
    uintptr_t start;
    uintptr_t end;
};
std::vector<StaticRange> g_ranges;

[[noreturn]] void AllocationFailed(size_t n)
{
    std::string message = gb::kErrAllocationFailed;
    message.replace(message.find("%d"), 2, std::to_string(n));
    RaiseRuntimeError(message.c_str(), 0);
}

} // namespace

const Heap& ProcessHeap() { return kProcessHeap; }
void SetHeap(const Heap* heap) { g_heap = heap ? heap : &kProcessHeap; }

void* TryAllocate(size_t n) { return g_heap->allocate(n ? n : 1); }

void* Allocate(size_t n)
{
    void* p = TryAllocate(n);
    if (!p)
        AllocationFailed(n);
    return p;
}

void* Reallocate(void* p, size_t n)
{
    if (!p)
        return Allocate(n);
    if (const void* end = StaticRangeEnd(p)) {
        void* copy = Allocate(n);
        size_t available = static_cast<size_t>(static_cast<const char*>(end) - static_cast<const char*>(p));
        std::memcpy(copy, p, n < available ? n : available);
        return copy;
    }
    void* q = g_heap->reallocate(p, n ? n : 1);
    if (!q)
        AllocationFailed(n);
    return q;
}

void Free(void* p)
{
    if (!p || StaticRangeEnd(p))
        return;
    g_heap->release(p);
}

void RegisterStaticRange(const void* start, const void* end)
{
    g_ranges.push_back({reinterpret_cast<uintptr_t>(start), reinterpret_cast<uintptr_t>(end)});
}

void ClearStaticRanges() { g_ranges.clear(); }

const void* StaticRangeEnd(const void* p)
{
    auto a = reinterpret_cast<uintptr_t>(p);
    for (const auto& r : g_ranges) {
        if (r.start <= a && a < r.end)
            return reinterpret_cast<const void*>(r.end);
    }
    return nullptr;
}

} // namespace mt
