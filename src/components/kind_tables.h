// The kind tables of the two libraries that bring components: the core
// library (51 positions) and the UI extension library (5). Kinds the program
// does not use are all-zero entries, so positions (and KindCodes) stay put.
#pragma once

#include <cstdint>

#include "abi/component_kinds.h"
#include "abi/library_interface.h"

namespace mt {

inline constexpr int32_t kCoreKindCount = 51;
inline constexpr int32_t kUiExtensionKindCount = 5;

extern const ComponentKind kCoreKinds[kCoreKindCount];
extern const ComponentKind kUiExtensionKinds[kUiExtensionKindCount];

// The entry for a KindCode of these two libraries, or null (also for
// all-zero entries). The runtime's own lookup covers every library.
const ComponentKind* FindComponentKind(uint32_t kindCode);

// Each kind's entry-point lookup.
KindRoutine WindowKindInterface(int32_t number);
KindRoutine EditBoxKindInterface(int32_t number);
KindRoutine ButtonKindInterface(int32_t number);
KindRoutine TimerKindInterface(int32_t number);
KindRoutine TransLabelKindInterface(int32_t number);

} // namespace mt
