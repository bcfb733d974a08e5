// How code below the frame reaches the runtime: through the RuntimeService
// entry the runtime hands every library at start-up. These wrappers keep the
// codes in one place.
#pragma once

#include <cstddef>
#include <cstdint>

#include "abi/library_interface.h"

namespace mt::svc {

// The service handed to the libraries (set by LibraryNotify code 1, or by a
// test's runtime set-up). Null before start-up.
RuntimeService Service();
void SetService(RuntimeService service);

inline int64_t Call(int32_t code, intptr_t a = 0, intptr_t b = 0) { return Service()(code, a, b); }

// A new block of n bytes; failure is the run-time error and does not return.
inline void* Allocate(size_t n) { return reinterpret_cast<void*>(Call(kSvcAllocate, static_cast<intptr_t>(n), 0)); }
// A new block of n bytes, or null when the heap refuses.
inline void* TryAllocate(size_t n) { return reinterpret_cast<void*>(Call(kSvcAllocate, static_cast<intptr_t>(n), 1)); }
inline void Free(void* p) { Call(kSvcFree, reinterpret_cast<intptr_t>(p)); }
inline void* Reallocate(void* p, size_t n)
{
    return reinterpret_cast<void*>(Call(kSvcReallocate, reinterpret_cast<intptr_t>(p), static_cast<intptr_t>(n)));
}
// Run-time error with code 0; does not return.
[[noreturn]] inline void Error(const char* message)
{
    Call(kSvcRuntimeError, reinterpret_cast<intptr_t>(message));
    __builtin_unreachable();
}

} // namespace mt::svc
