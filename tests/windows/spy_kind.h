// A kind for engine tests that records what the engine does to it: each
// Create and each notice, in order, into a shared log.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "abi/library_interface.h"

namespace mt::test {

inline constexpr uint32_t kSpyKindCode = 0x00090001;

struct SpyLog {
    std::vector<std::string> entries; // "create <serial>", "notice <code> <serial>"
    std::function<void()> onCreate;   // runs inside every Create
};

SpyLog& Spy();
const ComponentKind* SpyKind(uint32_t code);

} // namespace mt::test
