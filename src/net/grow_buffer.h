// The internet library's growable byte buffer.
//
// Small buffers live in a pool of 96 slots of 512 bytes in one static area;
// larger ones are blocks from the runtime's heap. A heap block keeps
// kHeapFront spare bytes in front of the data, so that its owner can turn
// the block into a byte array in place (see takeHeapBlock).
//
// A buffer belongs to one thread at a time; the pool is shared under a lock.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mt {

class GrowBuffer {
public:
    static constexpr int32_t kPoolSlots = 96;
    static constexpr int32_t kSlotSize = 512;
    static constexpr int32_t kHeapSlack = 128; // added to every heap request
    static constexpr int32_t kKeepSlack = 256; // a heap block this much too large is kept
    static constexpr int32_t kHeapFront = 8;   // spare bytes in front of heap data

    GrowBuffer() = default;
    GrowBuffer(const GrowBuffer&) = delete;
    GrowBuffer& operator=(const GrowBuffer&) = delete;
    ~GrowBuffer() { release(); }

    uint8_t* data() const { return data_; }
    int32_t capacity() const { return capacity_; }
    int32_t size() const { return size_; }
    bool pooled() const;

    // Makes the size n, keeping the first min(size, n) bytes. n = 0 releases
    // the memory. Returns false, with the buffer unchanged, when n is negative
    // or too large or the memory cannot be had; shrinking never fails.
    bool setSize(int32_t n);

    // Adds n bytes from `bytes` behind the current contents. Returns false,
    // with the buffer unchanged, when the grown size cannot be had.
    bool append(const void* bytes, int32_t n);

    // Gives back the slot or the heap block; the buffer is empty afterwards.
    void release();

    // When the bytes sit in a heap block: hands that block over (kHeapFront
    // spare bytes, then the size() bytes; the receiver frees it through the
    // runtime's free operation) and leaves the buffer empty. Otherwise returns
    // null and changes nothing.
    uint8_t* takeHeapBlock();

    // Slots of the pool in use (for tests).
    static int32_t PoolInUse();

private:
    bool takeSlot();
    bool moveToHeap(int32_t n);
    bool resizeHeap(int32_t n);
    void reset();

    uint8_t* data_ = nullptr;
    int32_t capacity_ = 0;
    int32_t size_ = 0;
};

} // namespace mt
