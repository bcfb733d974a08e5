#include "find_state.h"

#include "runtime_calls.h"

namespace app {

int32_t FindFirst(FindState& state, const char* text, const char* wanted)
{
    state.soughtLength = TextLength(wanted);
    const int32_t pos = FindText(text, wanted, nullptr, false);
    if (pos != -1)
        state.foundPosition = pos;
    return pos;
}

int32_t FindNext(FindState& state, const char* text, const char* wanted)
{
    // Behind the last hit; a start past every text simply finds nothing.
    const int64_t step = state.soughtLength > 0 ? state.soughtLength : 1;
    const int64_t from = static_cast<int64_t>(state.foundPosition) + step;
    state.foundPosition = from > INT32_MAX ? INT32_MAX : static_cast<int32_t>(from);
    const int32_t pos = FindText(text, wanted, &state.foundPosition, false);
    if (pos != -1)
        state.foundPosition = pos;
    return pos;
}

} // namespace app
