// The memory behind the runtime's heap, tuned for a window that holds texts
// of many megabytes.
//
// Small blocks come from the C library's heap. Large blocks (kLargeBlockBytes
// and more) each get a mapping of their own, aligned to and sized in steps of
// 2 MiB and marked for transparent huge pages: a 64 MiB block is then 32
// page faults instead of 16,384, and copying it runs without a TLB miss every
// 4 KiB. A handler that copies a long text on every keystroke (the character
// count reads the big box twice) frees and asks for blocks of the same size
// again and again, so freed large blocks are kept for the next request of a
// like size while the user is at work; they go back to the system after a
// long idle (kLongIdleMilliseconds without input), when keeping one would
// hold more than a quarter of the memory still available, or when a larger
// request shows they are outgrown.
#pragma once

#include <cstddef>

namespace mt::platform {

inline constexpr size_t kLargeBlockBytes = size_t{2} << 20;
inline constexpr int kLongIdleMilliseconds = 5000;

// Large blocks. AllocateLargeBlock gives null when the system refuses.
// ReallocateLargeBlock keeps the first min(old, n) bytes; null when refused,
// p then unchanged. ReleaseLargeBlock is false (and does nothing) for a p
// that is not a live large block.
void* AllocateLargeBlock(size_t n);
void* ReallocateLargeBlock(void* p, size_t n);
bool ReleaseLargeBlock(void* p);
// The requested size of a live large block, or 0 when p is none.
size_t LargeBlockSize(const void* p);
// A text's length, noted by whoever filled a large block with a text of n
// bytes, no zero byte among them, and its terminator: a long text's length
// is then known without a pass over it. Forgotten when the block is resized
// or released. NoteTextLength ignores a p that is no live large block of
// n + 1 bytes; KnownTextLength gives kUnknownTextLength when none was noted.
inline constexpr size_t kUnknownTextLength = static_cast<size_t>(-1);
void NoteTextLength(const void* p, size_t n);
size_t KnownTextLength(const void* p);
// Bytes in freed large blocks kept for reuse, and how many blocks.
size_t KeptLargeBytes();
size_t KeptLargeBlocks();
// Gives every kept block back to the system.
void ReleaseKeptLargeBlocks();
// Gives the C library's free heap pages back to the system when they are
// worth it.
void ReturnFreeHeapPages();

// Freed large blocks are kept only after this was called (the window's
// event loop gives them back after a long idle; a process without one keeps
// none). Also keeps the C library's heap from giving its free pages back on
// every free: what is kept there goes back a second after the user's last
// input (the two calls below).
void KeepLargeBlocksForReuse();
// Called as each idle period of the event loop begins: unless a return is
// already due, free heap pages go back to the system a second later, and
// kept large blocks after a long idle.
void ReturnFreeHeapSoon();
// Called for each keystroke, click, wheel turn and input-method event: the
// returns wait for a quiet period without them.
void PostponeHeapReturn();

} // namespace mt::platform
