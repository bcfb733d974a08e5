// Finding a wanted text occurrence by occurrence, shared by the window and
// the command line.
#pragma once

#include <cstdint>

namespace app {

// Lives as long as the process; zero at start.
struct FindState {
    int32_t soughtLength = 0;  // byte length of the wanted text at the last first search
    int32_t foundPosition = 0; // 1-based position of the last hit
};

// The first occurrence of `wanted` in `text`: its 1-based position, or -1.
// Records the wanted text's length and the hit.
int32_t FindFirst(FindState& state, const char* text, const char* wanted);

// The next occurrence, searched from directly behind the last hit (one
// position further when the wanted text is empty, so the search moves on).
// The wanted length stays the one of the first search.
int32_t FindNext(FindState& state, const char* text, const char* wanted);

} // namespace app
