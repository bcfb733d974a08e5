#include "extraction.h"

namespace app {

ExtractOutcome ExtractMiddle(const char* text, const char* left, const char* right, Owned* middle)
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
    return ExtractOutcome::kDone;
}

} // namespace app
