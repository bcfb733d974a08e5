// Finding a wanted text occurrence by occurrence, shared by the window and
// the command line.
#pragma once

#include <cstdint>

namespace app {

// Lives as long as the process; zero at start.
struct FindState {
    int32_t soughtLength = 0;  // byte length of the wanted text at the last first search
    int32_t foundPosition = 0; // 1-based position of the last hit
    bool ignoreCase = false;   // the search's own case rule (the command line's -i)
};

// The first occurrence of `wanted` in `text`: its 1-based position, or -1.
// Records the wanted text's length and the hit.
int32_t FindFirst(FindState& state, const char* text, const char* wanted);

// The next occurrence, searched from directly behind the last hit (one
// position further when the wanted text is empty, so the search moves on).
// The wanted length stays the one of the first search.
int32_t FindNext(FindState& state, const char* text, const char* wanted);

// FindNext with the same answers for a caller that knows the text's
// length: the search looks only forward from its start, so it is handed the
// text from the start onward (start omitted) and the offset added. A loop of
// these reads the text once; FindNext measures it from its first byte each
// time.
int32_t FindNextWithin(FindState& state, const char* text, int32_t length, const char* wanted);

} // namespace app
