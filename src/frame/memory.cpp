#include "frame/memory.h"

#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "frame/frame_texts.h"
#include "frame/runtime_error.h"
#include "platform/application.h"
#include "platform/heap_tuning.h"

namespace mt {
namespace {

// Small blocks from the C library's heap, large ones from mappings of their
// own (platform/heap_tuning.h).
void* ProcessAllocate(size_t n)
{
    return n >= platform::kLargeBlockBytes ? platform::AllocateLargeBlock(n) : std::malloc(n);
}

void* ProcessReallocate(void* p, size_t n)
{
    if (const size_t old = platform::LargeBlockSize(p)) {
        if (n >= platform::kLargeBlockBytes)
            return platform::ReallocateLargeBlock(p, n);
        void* q = std::malloc(n);
        if (q) {
            std::memcpy(q, p, n < old ? n : old);
            platform::ReleaseLargeBlock(p);
        }
        return q;
    }
    if (n < platform::kLargeBlockBytes)
        return std::realloc(p, n);
    void* q = platform::AllocateLargeBlock(n);
    if (q) {
        const size_t old = malloc_usable_size(p); // at least what was asked for
        std::memcpy(q, p, n < old ? n : old);
        std::free(p);
    }
    return q;
}

void ProcessRelease(void* p)
{
    if (!platform::ReleaseLargeBlock(p))
        std::free(p);
}

const Heap kProcessHeap = {ProcessAllocate, ProcessReallocate, ProcessRelease};
const Heap* g_heap = &kProcessHeap;

struct StaticRange {
    uintptr_t start;
    uintptr_t end;
};
std::vector<StaticRange> g_ranges;

[[noreturn]] void AllocationFailedAs(const std::string& count)
{
    std::string message = gb::kErrAllocationFailed;
    message.replace(message.find("%d"), 2, count);
    RaiseRuntimeError(message.c_str(), 0);
}

// Held back at start-up and let go when operator new is refused, so that the
// report (the message, the dialog) finds the memory it needs.
constexpr size_t kReserveBytes = 256 << 10;
void* g_reserve = nullptr;

std::atomic<bool> g_reporting{false};  // a refusal is being reported
thread_local bool t_reporting = false; // ... by this thread

void OnNewRefused()
{
    if (g_reporting.exchange(true)) {
        // A refusal while the report is being made (on this thread, or on
        // the GUI thread for a worker) leaves nothing to show it with;
        // any other thread waits for the report to end the process.
        if (t_reporting || (platform::HasApplication() && platform::IsGuiThread()))
            _exit(-1);
        for (;;)
            pause();
    }
    t_reporting = true;
    std::free(g_reserve);
    g_reserve = nullptr;
    if (platform::HasApplication() && !platform::IsGuiThread()) {
        platform::RunOnGuiThreadBlocking([] { AllocationFailedOfUnknownSize(); });
        for (;;)
            pause(); // the GUI thread ends the process
    }
    AllocationFailedOfUnknownSize();
}

} // namespace

void AllocationFailed(size_t n) { AllocationFailedAs(std::to_string(n)); }

void AllocationFailedOfUnknownSize() { AllocationFailedAs("?"); }

void InstallNewHandler()
{
    if (!g_reserve)
        g_reserve = std::malloc(kReserveBytes);
    std::set_new_handler(OnNewRefused);
}

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
