#include "net/grow_buffer.h"

#include <cstring>
#include <limits>
#include <mutex>

#include "abi/service_calls.h"

namespace mt {
namespace {

// The small-block pool: one static area, a map of the slots in use and their
// count. A slot is taken in map order.
struct SmallBlockPool {
    alignas(16) uint8_t area[GrowBuffer::kPoolSlots][GrowBuffer::kSlotSize];
    bool inUse[GrowBuffer::kPoolSlots];
    int32_t inUseCount;
};
SmallBlockPool g_pool{};
// A transfer fills its buffer on a worker thread while the GUI thread may
// use others.
std::mutex g_poolLock;

constexpr int32_t kLargestRequest =
    std::numeric_limits<int32_t>::max() - GrowBuffer::kHeapSlack - GrowBuffer::kHeapFront;

bool InPool(const uint8_t* p)
{
    const uint8_t* start = &g_pool.area[0][0];
    return p >= start && p < start + sizeof g_pool.area;
}

void FreeSlot(const uint8_t* p)
{
    std::lock_guard lock(g_poolLock);
    auto slot = (p - &g_pool.area[0][0]) / GrowBuffer::kSlotSize;
    g_pool.inUse[slot] = false;
    --g_pool.inUseCount;
}

// Bytes a heap block needs for a capacity: the front reserve in addition.
size_t HeapBytes(int32_t capacity) { return static_cast<size_t>(capacity) + GrowBuffer::kHeapFront; }

} // namespace

bool GrowBuffer::pooled() const { return data_ && InPool(data_); }

int32_t GrowBuffer::PoolInUse() { return g_pool.inUseCount; }

bool GrowBuffer::setSize(int32_t n)
{
    if (n < 0 || n > kLargestRequest)
        return false;
    if (n == 0) {
        release();
        return true;
    }
    bool ok;
    if (!data_)
        ok = (n <= kSlotSize && takeSlot()) || moveToHeap(n);
    else if (pooled())
        ok = n <= kSlotSize || moveToHeap(n);
    else
        ok = resizeHeap(n);
    if (ok)
        size_ = n;
    return ok;
}

bool GrowBuffer::append(const void* bytes, int32_t n)
{
    if (n < 0 || n > kLargestRequest - size_)
        return false;
    if (n == 0)
        return true;
    int32_t old = size_;
    if (!setSize(old + n))
        return false;
    std::memcpy(data_ + old, bytes, static_cast<size_t>(n));
    return true;
}

void GrowBuffer::release()
{
    if (pooled())
        FreeSlot(data_);
    else if (data_)
        svc::Free(data_ - kHeapFront);
    reset();
}

uint8_t* GrowBuffer::takeHeapBlock()
{
    if (!data_ || pooled())
        return nullptr;
    uint8_t* block = data_ - kHeapFront;
    reset();
    return block;
}

// Takes the first free slot of the pool for an empty buffer; false when all
// slots are in use.
bool GrowBuffer::takeSlot()
{
    std::lock_guard lock(g_poolLock);
    for (int32_t i = 0; i < kPoolSlots; ++i) {
        if (!g_pool.inUse[i]) {
            g_pool.inUse[i] = true;
            ++g_pool.inUseCount;
            data_ = g_pool.area[i];
            capacity_ = kSlotSize;
            return true;
        }
    }
    return false;
}

// Moves an empty or pooled buffer into a new heap block of n + kHeapSlack
// bytes, carrying the contents over and freeing the slot. On failure the
// buffer keeps its slot and contents.
bool GrowBuffer::moveToHeap(int32_t n)
{
    int32_t capacity = n + kHeapSlack;
    auto* block = static_cast<uint8_t*>(svc::TryAllocate(HeapBytes(capacity)));
    if (!block)
        return false;
    if (data_) {
        std::memcpy(block + kHeapFront, data_, static_cast<size_t>(size_));
        FreeSlot(data_);
    }
    data_ = block + kHeapFront;
    capacity_ = capacity;
    return true;
}

// Keeps the heap block when it holds n bytes with at most kKeepSlack to
// spare; otherwise moves the contents to a block of n + kHeapSlack bytes.
// Growing takes a new block through the allocation that may refuse (the
// runtime's reallocate would end the program instead), so a refusal leaves
// the old block in place and reports false. Shrinking reallocates in place;
// should even that be refused, the old block still serves: shrinking never
// fails.
bool GrowBuffer::resizeHeap(int32_t n)
{
    if (capacity_ >= n && capacity_ - n <= kKeepSlack)
        return true;
    int32_t capacity = n + kHeapSlack;
    uint8_t* old = data_ - kHeapFront;
    uint8_t* block;
    if (capacity < capacity_) {
        block = static_cast<uint8_t*>(svc::Reallocate(old, HeapBytes(capacity)));
        if (!block)
            return true;
    } else {
        block = static_cast<uint8_t*>(svc::TryAllocate(HeapBytes(capacity)));
        if (!block)
            return false;
        std::memcpy(block + kHeapFront, data_, static_cast<size_t>(size_));
        svc::Free(old);
    }
    data_ = block + kHeapFront;
    capacity_ = capacity;
    return true;
}

void GrowBuffer::reset()
{
    data_ = nullptr;
    capacity_ = 0;
    size_ = 0;
}

} // namespace mt
