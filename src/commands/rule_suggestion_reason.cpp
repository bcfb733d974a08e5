// The stable codes and the Chinese sentences of a failed suggestion.
#include <cstdio>

#include "commands/rule_suggestion.h"
#include "commands/rule_suggestion_texts.h"

namespace mt {
namespace {

struct FailureText {
    SuggestionFailure failure;
    const char* code;
    const char* sentence;
};

constexpr FailureText kFailures[] = {
    {SuggestionFailure::kNoExample, "no_example", gb::kSuggestNoExample},
    {SuggestionFailure::kEmptySelection, "empty_selection", gb::kSuggestEmptySelection},
    {SuggestionFailure::kOutsideText, "outside_text", gb::kSuggestOutsideText},
    {SuggestionFailure::kSplitCharacter, "split_character", gb::kSuggestSplitCharacter},
    {SuggestionFailure::kAtStart, "at_start", gb::kSuggestAtStart},
    {SuggestionFailure::kAtEnd, "at_end", gb::kSuggestAtEnd},
    {SuggestionFailure::kNoCommonLeft, "no_common_left", gb::kSuggestNoCommonLeft},
    {SuggestionFailure::kNoCommonRight, "no_common_right", gb::kSuggestNoCommonRight},
    {SuggestionFailure::kLeftRepeats, "left_repeats", gb::kSuggestLeftRepeats},
    {SuggestionFailure::kRightRepeats, "right_repeats", gb::kSuggestRightRepeats},
    {SuggestionFailure::kWantedMissing, "wanted_missing", gb::kSuggestWantedMissing},
    {SuggestionFailure::kNoPair, "no_pair", gb::kSuggestNoPair},
};

const FailureText* Find(SuggestionFailure failure)
{
    for (const FailureText& f : kFailures) {
        if (f.failure == failure)
            return &f;
    }
    return nullptr;
}

// Reasons about the pages together rather than one of them.
bool ConcernsAllPages(SuggestionFailure failure)
{
    return failure == SuggestionFailure::kNoExample || failure == SuggestionFailure::kNoCommonLeft ||
           failure == SuggestionFailure::kNoCommonRight || failure == SuggestionFailure::kNoPair;
}

} // namespace

std::string_view SuggestionCode(SuggestionFailure failure)
{
    const FailureText* f = Find(failure);
    return f ? f->code : "";
}

std::string SuggestionReason(const RuleSuggestion& suggestion, size_t exampleCount)
{
    const FailureText* f = Find(suggestion.failure);
    if (!f)
        return {};
    std::string out;
    if (exampleCount > 1 && !ConcernsAllPages(suggestion.failure)) {
        char page[64];
        std::snprintf(page, sizeof page, gb::kSuggestPage, suggestion.example + 1);
        out = page;
    }
    return out + f->sentence;
}

} // namespace mt
