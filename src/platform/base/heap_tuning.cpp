#include "platform/heap_tuning.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace mt::platform {
namespace {

constexpr size_t kWorthReturning = size_t{8} << 20;
constexpr size_t kHugePage = size_t{2} << 20;
// The count reads the big box twice per keystroke: two blocks in use, and
// room for a text that grows.
constexpr size_t kMaxKeptBlocks = 4;
constexpr size_t kMaxKeptBytes = size_t{512} << 20;

struct Live {
    size_t capacity;
    size_t size;
    size_t textLength = kUnknownTextLength;
};
struct Kept {
    void* base;
    size_t capacity;
};

// Large blocks may be asked for beside the event loop (a transfer's thread).
std::mutex g_lock;
std::unordered_map<const void*, Live> g_live;
std::vector<Kept> g_kept;
size_t g_keptBytes = 0;
bool g_keeping = false;

// n rounded up to whole huge pages; 0 when that overflows.
size_t CapacityFor(size_t n) { return n > SIZE_MAX - kHugePage ? 0 : (n + kHugePage - 1) & ~(kHugePage - 1); }

// A new mapping of `capacity` bytes (whole huge pages) starting on a huge
// page boundary, marked for huge pages; null when the system refuses.
void* MapAligned(size_t capacity)
{
    const size_t reserve = capacity + kHugePage;
    if (capacity == 0 || reserve < capacity)
        return nullptr;
    void* m = mmap(nullptr, reserve, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (m == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<uintptr_t>(m);
    const uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > start)
        munmap(m, aligned - start);
    const size_t tail = start + reserve - (aligned + capacity);
    if (tail > 0)
        munmap(reinterpret_cast<void*>(aligned + capacity), tail);
    void* p = reinterpret_cast<void*>(aligned);
    madvise(p, capacity, MADV_HUGEPAGE); // advice: without huge pages the block works all the same
    return p;
}

// MemAvailable of the system, in bytes; SIZE_MAX when it cannot be read.
size_t AvailableMemory()
{
    std::FILE* f = std::fopen("/proc/meminfo", "r");
    if (!f)
        return SIZE_MAX;
    char line[128];
    size_t kb = SIZE_MAX / 1024;
    while (std::fgets(line, sizeof line, f)) {
        unsigned long long v = 0;
        if (std::sscanf(line, "MemAvailable: %llu kB", &v) == 1) {
            kb = static_cast<size_t>(v);
            break;
        }
    }
    std::fclose(f);
    return kb > SIZE_MAX / 1024 ? SIZE_MAX : kb * 1024;
}

// With the lock held: a kept block for `capacity` bytes, not much larger;
// kept blocks too small for it are outgrown and go back to the system.
void* TakeKept(size_t capacity, size_t* got)
{
    size_t best = g_kept.size();
    for (size_t i = 0; i < g_kept.size(); ++i) {
        const size_t c = g_kept[i].capacity;
        if (c >= capacity && c <= capacity + capacity / 4 + kHugePage &&
            (best == g_kept.size() || c < g_kept[best].capacity))
            best = i;
    }
    if (best < g_kept.size()) {
        const Kept k = g_kept[best];
        g_kept.erase(g_kept.begin() + static_cast<std::ptrdiff_t>(best));
        g_keptBytes -= k.capacity;
        *got = k.capacity;
        return k.base;
    }
    for (size_t i = g_kept.size(); i-- > 0;) {
        if (g_kept[i].capacity < capacity) {
            munmap(g_kept[i].base, g_kept[i].capacity);
            g_keptBytes -= g_kept[i].capacity;
            g_kept.erase(g_kept.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    return nullptr;
}

// With the lock held: keeps a freed block when the policy allows.
bool Keep(void* base, size_t capacity)
{
    if (!g_keeping || g_kept.size() >= kMaxKeptBlocks || g_keptBytes + capacity > kMaxKeptBytes)
        return false;
    if (g_keptBytes + capacity > AvailableMemory() / 4)
        return false;
    g_kept.push_back({base, capacity});
    g_keptBytes += capacity;
    return true;
}

} // namespace

void ReturnFreeHeapPages()
{
    if (mallinfo2().fordblks >= kWorthReturning)
        malloc_trim(0);
}

void* AllocateLargeBlock(size_t n)
{
    const size_t capacity = CapacityFor(n);
    if (capacity == 0)
        return nullptr;
    std::lock_guard<std::mutex> hold(g_lock);
    size_t got = capacity;
    void* p = TakeKept(capacity, &got);
    if (!p)
        p = MapAligned(capacity);
    if (p)
        g_live[p] = {got, n};
    return p;
}

void* ReallocateLargeBlock(void* p, size_t n)
{
    std::lock_guard<std::mutex> hold(g_lock);
    const auto it = g_live.find(p);
    if (it == g_live.end())
        return nullptr;
    const size_t capacity = CapacityFor(n);
    if (capacity == 0)
        return nullptr;
    Live& block = it->second;
    if (capacity <= block.capacity) {
        if (capacity < block.capacity) // the tail goes back
            munmap(static_cast<char*>(p) + capacity, block.capacity - capacity);
        block = {capacity, n};
        return p;
    }
    void* q = MapAligned(capacity);
    if (!q)
        return nullptr;
    // The old pages move to the head of the new place; copied only when the
    // kernel cannot move them.
    if (mremap(p, block.capacity, block.capacity, MREMAP_MAYMOVE | MREMAP_FIXED, q) == MAP_FAILED) {
        std::memcpy(q, p, block.size);
        munmap(p, block.capacity);
    }
    g_live.erase(it);
    g_live[q] = {capacity, n};
    return q;
}

bool ReleaseLargeBlock(void* p)
{
    std::lock_guard<std::mutex> hold(g_lock);
    const auto it = g_live.find(p);
    if (it == g_live.end())
        return false;
    const size_t capacity = it->second.capacity;
    g_live.erase(it);
    if (!Keep(p, capacity))
        munmap(p, capacity);
    return true;
}

size_t LargeBlockSize(const void* p)
{
    std::lock_guard<std::mutex> hold(g_lock);
    const auto it = g_live.find(p);
    return it == g_live.end() ? 0 : it->second.size;
}

void NoteTextLength(const void* p, size_t n)
{
    std::lock_guard<std::mutex> hold(g_lock);
    const auto it = g_live.find(p);
    if (it != g_live.end() && n != kUnknownTextLength && it->second.size == n + 1)
        it->second.textLength = n;
}

size_t KnownTextLength(const void* p)
{
    // Every large block starts on a huge page: any other address is none,
    // without the lock (text commands ask for each argument).
    if (reinterpret_cast<uintptr_t>(p) & (kHugePage - 1))
        return kUnknownTextLength;
    std::lock_guard<std::mutex> hold(g_lock);
    const auto it = g_live.find(p);
    return it == g_live.end() ? kUnknownTextLength : it->second.textLength;
}

size_t KeptLargeBytes()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_keptBytes;
}

size_t KeptLargeBlocks()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_kept.size();
}

void ReleaseKeptLargeBlocks()
{
    std::lock_guard<std::mutex> hold(g_lock);
    for (const Kept& k : g_kept)
        munmap(k.base, k.capacity);
    g_kept.clear();
    g_keptBytes = 0;
}

void KeepLargeBlocksForReuse()
{
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    std::lock_guard<std::mutex> hold(g_lock);
    g_keeping = true;
}

} // namespace mt::platform
