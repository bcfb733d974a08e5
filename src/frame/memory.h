// The runtime's memory operations over one heap, and the static ranges
// (literal data of the image) that free and reallocate never hand to it.
#pragma once

#include <cstddef>

namespace mt {

// A new block of n bytes. When the heap refuses: the run-time error
// "分配 n 字节内存失败!" (does not return).
void* Allocate(size_t n);
// As Allocate, but null when the heap refuses.
void* TryAllocate(size_t n);
// p null: Allocate(n). p inside a static range [start, end): a new block of n
// bytes holding the first min(n, end - p) bytes of p; p is left alone.
// Otherwise the heap block is resized; refusal is the same run-time error.
void* Reallocate(void* p, size_t n);
// Null and addresses inside a static range are ignored.
void Free(void* p);

// The run-time error of a refused allocation, "分配 n 字节内存失败!" (does not
// return); the one path for every refusal, the runtime's own and those below.
[[noreturn]] void AllocationFailed(size_t n);
// The same error where the size asked for is not known (a std::bad_alloc):
// a question mark stands where the count would be.
[[noreturn]] void AllocationFailedOfUnknownSize();
// Makes operator new's refusals, and those of everything built on it (the
// standard containers and strings), that error: a std::new_handler, installed
// at start-up. A little memory is held back for the report and let go when
// the handler runs. On another thread than the GUI thread the report is made
// on the GUI thread while the failing thread waits.
void InstallNewHandler();

// Static ranges: linear lookup, the first range holding the address wins.
void RegisterStaticRange(const void* start, const void* end);
void ClearStaticRanges();
// End of the static range holding p, or null.
const void* StaticRangeEnd(const void* p);

// The heap behind the operations; tests swap in one that fails on demand.
// The process heap serves large blocks from mappings of their own with huge
// pages, and keeps freed ones for reuse while the window is in use
// (platform/heap_tuning.h).
struct Heap {
    void* (*allocate)(size_t);
    void* (*reallocate)(void*, size_t);
    void (*release)(void*);
};
const Heap& ProcessHeap();
// Installs a heap (null restores the process heap).
void SetHeap(const Heap* heap);

} // namespace mt
