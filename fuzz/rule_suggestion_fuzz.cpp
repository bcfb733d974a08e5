// Fuzz target: the rule suggestion on any page bytes, with any selection or
// wanted text, one page or two. Byte 0 picks the form (bit 0: a wanted text,
// bit 1: a second example on the page's second half), bytes 1-2 the start,
// byte 3 the length (or the wanted text's length, taken from the page's
// start); the page follows. Every pair found must extract what was asked.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "abi/service_calls.h"
#include "commands/rule_suggestion.h"
#include "platform/heap_tuning.h"

namespace mt::platform {
// The text commands ask the heap for lengths it noted; this target notes none.
size_t KnownTextLength(const void*) { return kUnknownTextLength; }
} // namespace mt::platform

namespace {

int64_t Serve(int32_t code, intptr_t a, intptr_t)
{
    switch (code) {
    case mt::kSvcAllocate:
        return reinterpret_cast<intptr_t>(std::malloc(a > 0 ? static_cast<size_t>(a) : 1));
    case mt::kSvcFree:
        std::free(reinterpret_cast<void*>(a));
        return 0;
    default:
        std::abort();
    }
}

mt::SuggestionExample Example(std::string_view page, uint8_t form, size_t start, size_t length)
{
    if (form & 1)
        return {page, 0, 0, true, page.substr(0, std::min(length, page.size()))};
    return {page, start, length, false, {}};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    mt::svc::SetService(&Serve);
    const uint8_t form = data[0];
    const size_t start = static_cast<size_t>(data[1]) | static_cast<size_t>(data[2]) << 8;
    const size_t length = data[3];
    const std::string page(reinterpret_cast<const char*>(data + 4), size - 4);
    std::vector<mt::SuggestionExample> examples{Example(page, form, start, length)};
    if (form & 2)
        examples.push_back(Example(std::string_view(page).substr(page.size() / 2), form, start / 2, length));
    const mt::RuleSuggestion r = mt::SuggestRule(examples);
    if (r.found) {
        if (r.left.empty() || r.right.empty() || r.left.size() > mt::kMaxDelimiterBytes ||
            r.right.size() > mt::kMaxDelimiterBytes)
            std::abort();
        for (const mt::SuggestionExample& e : examples) {
            if (!mt::ExtractionGives(e, r.left, r.right))
                std::abort();
        }
    } else if (mt::SuggestionCode(r.failure).empty() || mt::SuggestionReason(r, examples.size()).empty()) {
        std::abort();
    }
    return 0;
}
