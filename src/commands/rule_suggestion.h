// A rule made from examples: a left and a right text that make the
// middle-text extraction give exactly the wanted bytes on every page.
//
// The extraction takes the first occurrence of the left text in the page
// (searched from the start, matches beginning on a character boundary, as
// 寻找文本 searches), and then the first occurrence of the right text behind
// it; the middle text is what lies between. A suggested pair therefore has
// its left text's first occurrence end where the wanted bytes begin and its
// right text's first occurrence behind that begin where they end.
//
// Delimiters are whole characters of the page, 1 to kMaxDelimiterBytes
// bytes. Among the texts that work, one whose free end (the start of the
// left text, the end of the right text) lies at a markup edge is preferred
// (next to or on `<` `>` `"` `'` `=`, whitespace or a line break); among
// those, and else among all, the shortest. The search
// is complete within the bound: when any pair of that size works, one is
// found. Every pair it returns has been checked by running the extraction
// with the text commands on every example.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace mt {

inline constexpr size_t kMaxDelimiterBytes = 256;

// One example: a page and what the rule must extract from it. A page counts
// up to its first zero byte, as the text commands see it.
struct SuggestionExample {
    std::string_view page;
    // Either the selected bytes (0-based start and a length) ...
    size_t start = 0;
    size_t length = 0;
    // ... or, when byText is set, the wanted text, any occurrence of which
    // may be the one extracted.
    bool byText = false;
    std::string_view wanted;
};

// Why no pair was found. Each has a stable code (SuggestionCode).
enum class SuggestionFailure {
    kNone,
    kNoExample,      // "no_example"
    kEmptySelection, // "empty_selection": nothing selected or wanted
    kOutsideText,    // "outside_text": the selection lies beyond the page
    kSplitCharacter, // "split_character": it begins or ends inside a character
    kAtStart,        // "at_start": it begins at the very start of the page
    kAtEnd,          // "at_end": it ends at the very end of the page
    kNoCommonLeft,   // "no_common_left": the pages share no text in front of it
    kNoCommonRight,  // "no_common_right": the pages share no text behind it
    kLeftRepeats,    // "left_repeats": every left text occurs earlier on a page
    kRightRepeats,   // "right_repeats": every right text occurs earlier, inside it
    kWantedMissing,  // "wanted_missing": the wanted text is not on a page
    kNoPair,         // "no_pair": no occurrences that one pair extracts on every page
};

struct RuleSuggestion {
    bool found = false;
    std::string left, right; // the pair, when found
    SuggestionFailure failure = SuggestionFailure::kNone;
    size_t example = 0; // the example (0-based) the failure concerns
};

// The pair for the examples, or why there is none.
RuleSuggestion SuggestRule(std::span<const SuggestionExample> examples);

// The failure's stable code ("at_start", ...); empty for kNone.
std::string_view SuggestionCode(SuggestionFailure failure);

// The failure as a Chinese sentence in GB18030; with several examples it
// names the page (1-based) it concerns.
std::string SuggestionReason(const RuleSuggestion& suggestion, size_t exampleCount);

// Whether the extraction with this pair, run with the text commands, takes
// exactly the example's bytes (the selection, or an occurrence of the wanted
// text) from its page.
bool ExtractionGives(const SuggestionExample& example, std::string_view left, std::string_view right);

} // namespace mt
