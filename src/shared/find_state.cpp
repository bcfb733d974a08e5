#include "find_state.h"

#include "runtime_calls.h"

namespace app {

int32_t FindFirst(FindState& state, const char* text, const char* wanted)
{
    state.soughtLength = TextLength(wanted);
    const int32_t pos = FindText(text, wanted, nullptr, state.ignoreCase);
    if (pos != -1)
        state.foundPosition = pos;
    return pos;
}

namespace {

// Moves the start behind the last hit; a start past every text simply finds
// nothing.
void StepBehindHit(FindState& state)
{
    const int64_t step = state.soughtLength > 0 ? state.soughtLength : 1;
    const int64_t from = static_cast<int64_t>(state.foundPosition) + step;
    state.foundPosition = from > INT32_MAX ? INT32_MAX : static_cast<int32_t>(from);
}

} // namespace

int32_t FindNext(FindState& state, const char* text, const char* wanted)
{
    StepBehindHit(state);
    const int32_t pos = FindText(text, wanted, &state.foundPosition, state.ignoreCase);
    if (pos != -1)
        state.foundPosition = pos;
    return pos;
}

int32_t FindNextWithin(FindState& state, const char* text, int32_t length, const char* wanted)
{
    // The empty wanted text is found at 1 from any start inside the text:
    // no offset to add.
    if (TextLength(wanted) == 0)
        return FindNext(state, text, wanted);
    StepBehindHit(state);
    const int32_t skip = state.foundPosition > 1 ? state.foundPosition - 1 : 0;
    if (skip >= length)
        return -1;
    const int32_t pos = FindText(text + skip, wanted, nullptr, state.ignoreCase);
    if (pos == -1)
        return -1;
    state.foundPosition = pos + skip;
    return state.foundPosition;
}

} // namespace app
