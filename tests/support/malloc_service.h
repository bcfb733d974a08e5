// A runtime service for tests of code below the frame: allocate, free,
// reallocate and run-time error on malloc, with a count of live blocks and
// heap refusals on demand.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "abi/library_interface.h"

namespace mt::test {

// What the service's run-time error (code 2027) throws, so that a test sees
// the message instead of a dead process.
struct RuntimeError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Installs the service for the lifetime of the object and restores the one
// before it afterwards. Not thread-safe; one at a time.
class MallocService {
public:
    MallocService();
    ~MallocService();
    MallocService(const MallocService&) = delete;
    MallocService& operator=(const MallocService&) = delete;

    // Blocks allocated through the service and not freed yet.
    int64_t liveBlocks() const;
    // Makes the nth allocation from now that may fail (code 2024 with b ≠ 0;
    // 1 = the next one) return null; the others succeed.
    void refuseTryAllocation(int nth);

private:
    RuntimeService previous_;
};

} // namespace mt::test
