// The two halves of a rule suggestion once the selection on every page is
// fixed: the left text and the right text can be chosen apart, since the
// left text alone decides where the middle begins and the right text is
// then searched from there.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "commands/rule_suggestion.h"

namespace mt::suggestion {

// A page and the bytes [start, end) to extract from it.
struct FixedSelection {
    std::string_view page;
    size_t start = 0;
    size_t end = 0;
};

// The chosen length of one delimiter, or why there is none.
struct DelimiterChoice {
    bool found = false;
    size_t length = 0;
    SuggestionFailure failure = SuggestionFailure::kNone;
    size_t example = 0;
};

// The lengths (ascending, at most kMaxDelimiterBytes) of the texts in front
// of the selections that are whole characters on every page and the same
// bytes on all of them.
std::vector<size_t> CommonLeftLengths(std::span<const FixedSelection> pages);
// The same for the texts behind the selections.
std::vector<size_t> CommonRightLengths(std::span<const FixedSelection> pages);

// Whether the left text of this length is first found, on every page, just
// in front of the selection; *failing (if given) names a page where not.
bool LeftWorks(std::span<const FixedSelection> pages, size_t length, size_t* failing = nullptr);
// Whether the right text of this length is first found behind the
// selection's start just where the selection ends, on every page.
bool RightWorks(std::span<const FixedSelection> pages, size_t length, size_t* failing = nullptr);

// The lengths of the left (right) texts that work on every page, preferred
// first (see rule_suggestion.h); none with the reason in *why.
std::vector<size_t> WorkingLeftLengths(std::span<const FixedSelection> pages, DelimiterChoice* why);
std::vector<size_t> WorkingRightLengths(std::span<const FixedSelection> pages, DelimiterChoice* why);

// The preferred working left and right texts.
DelimiterChoice ChooseLeft(std::span<const FixedSelection> pages);
DelimiterChoice ChooseRight(std::span<const FixedSelection> pages);

inline std::string_view LeftText(const FixedSelection& s, size_t length)
{
    return s.page.substr(s.start - length, length);
}
inline std::string_view RightText(const FixedSelection& s, size_t length) { return s.page.substr(s.end, length); }

} // namespace mt::suggestion
