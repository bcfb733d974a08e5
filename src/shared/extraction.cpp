#include "extraction.h"

#include <algorithm>

namespace app {

ExtractOutcome ExtractMiddle(const char* text, const char* left, const char* right, Owned* middle,
                             MarkedParts* parts)
{
    const int32_t n = TextLength(text);
    if (FindText(text, left, nullptr, false) == -1)
        return ExtractOutcome::kLeftNotFound;
    if (FindText(text, right, nullptr, false) == -1)
        return ExtractOutcome::kRightNotFound;
    // Positions are 32-bit; both sums stay inside the text's own length.
    const int32_t p = FindText(text, left, nullptr, false);
    const int32_t s = p + TextLength(left);
    Owned tail = MiddleText(text, s, n - s + 1);
    const int32_t e = FindText(tail.text(), right, nullptr, false) - 1;
    *middle = MiddleText(tail.text(), 1, e);
    if (parts) {
        *parts = {p, TextLength(left), s, std::max(e, 0), 0, 0};
        if (e >= 0)
            parts->rightAt = s + e, parts->rightLength = TextLength(right);
    }
    return ExtractOutcome::kDone;
}

} // namespace app
