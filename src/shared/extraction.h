// The middle-text extraction, shared by the window and the command line.
#pragma once

#include "runtime_calls.h"

namespace app {

enum class ExtractOutcome {
    kDone,          // *middle holds the middle text (possibly empty)
    kLeftNotFound,  // the left text is not in the big text
    kRightNotFound, // the right text is nowhere in the big text
};

// The text between the first occurrence of `left` in `text` and the next
// occurrence of `right` behind it. The right text is first checked against
// the whole of `text`, not only behind the left text.
// When done, *parts (if given) says where the three texts were found.
ExtractOutcome ExtractMiddle(const char* text, const char* left, const char* right, Owned* middle,
                             MarkedParts* parts = nullptr);

} // namespace app
