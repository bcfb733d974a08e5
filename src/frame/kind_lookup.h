// Kinds by KindCode: (library number << 16) | kind number, both from 1.
#pragma once

#include <cstdint>

#include "abi/library_interface.h"

namespace mt {

// The kind entry, or null when either number is 0 or past its table, or the
// entry is an unused (all-zero) one.
const ComponentKind* FindKind(uint32_t kindCode);
// The same lookup against an explicit library table.
const ComponentKind* FindKindIn(const LibraryRecord* const* libraries, int32_t libraryCount, uint32_t kindCode);

// Float to integer, truncating toward zero; out of range saturates, NaN is 0.
int32_t SaturatingTruncate(double d);

} // namespace mt
