#include "commands/rule_suggestion.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <unordered_set>
#include <vector>

#include "commands/find_text.h"
#include "commands/rule_delimiters.h"
#include "commands/search_boundaries.h"

namespace mt {
namespace {

using suggestion::DelimiterChoice;
using suggestion::FixedSelection;

// The page as the text commands see it: up to its first zero byte.
std::string_view VisiblePage(std::string_view page)
{
    const void* zero = page.empty() ? nullptr : std::memchr(page.data(), 0, page.size());
    return zero ? page.substr(0, static_cast<size_t>(static_cast<const char*>(zero) - page.data())) : page;
}

RuleSuggestion Failed(SuggestionFailure failure, size_t example)
{
    RuleSuggestion r;
    r.failure = failure;
    r.example = example;
    return r;
}

// Why a selection cannot be extracted by any rule, or kNone.
SuggestionFailure SelectionFault(std::string_view page, size_t start, size_t length)
{
    if (length == 0)
        return SuggestionFailure::kEmptySelection;
    if (start > page.size() || length > page.size() - start)
        return SuggestionFailure::kOutsideText;
    if (!IsSearchBoundary(page, start) || !IsSearchBoundary(page, start + length))
        return SuggestionFailure::kSplitCharacter;
    if (start == 0)
        return SuggestionFailure::kAtStart;
    if (start + length == page.size())
        return SuggestionFailure::kAtEnd;
    return SuggestionFailure::kNone;
}

// The pair for selections fixed on every page, checked by the extraction.
RuleSuggestion SolveFixed(std::span<const FixedSelection> pages, std::span<const SuggestionExample> examples)
{
    const DelimiterChoice left = suggestion::ChooseLeft(pages);
    if (!left.found)
        return Failed(left.failure, left.example);
    const DelimiterChoice right = suggestion::ChooseRight(pages);
    if (!right.found)
        return Failed(right.failure, right.example);
    RuleSuggestion r;
    r.left = std::string(suggestion::LeftText(pages[0], left.length));
    r.right = std::string(suggestion::RightText(pages[0], right.length));
    for (size_t i = 0; i < examples.size(); ++i) {
        if (!ExtractionGives(examples[i], r.left, r.right))
            return Failed(SuggestionFailure::kNoPair, i);
    }
    r.found = true;
    return r;
}

// The next occurrence at or after `from` of the wanted text that the
// extraction could take: beginning on a boundary, neither at the page's
// start nor ending at its end; npos for none. `from` is a boundary.
size_t NextOccurrence(std::string_view page, std::string_view wanted, size_t from)
{
    while (from < page.size()) {
        const int64_t at = FindTextOffset(page, wanted, from, false);
        if (at < 0)
            break;
        const auto pos = static_cast<size_t>(at);
        if (pos > 0 && pos + wanted.size() < page.size())
            return pos;
        from = pos + SearchCharLength(page, pos);
    }
    return std::string_view::npos;
}

size_t CountOccurrences(std::string_view page, std::string_view wanted)
{
    size_t count = 0;
    for (size_t at = NextOccurrence(page, wanted, 0); at != std::string_view::npos;
         at = NextOccurrence(page, wanted, at + SearchCharLength(page, at)))
        ++count;
    return count;
}

// Where the extraction with this left text begins its middle on the page of
// an example, when that is a start the example accepts.
std::optional<size_t> MiddleStart(const SuggestionExample& e, std::string_view page, std::string_view left)
{
    const int64_t at = FindTextOffset(page, left, 0, false);
    if (at < 0)
        return std::nullopt;
    const size_t start = static_cast<size_t>(at) + left.size();
    if (!e.byText)
        return start == e.start ? std::optional<size_t>(start) : std::nullopt;
    if (start + e.wanted.size() >= page.size() || page.substr(start, e.wanted.size()) != e.wanted)
        return std::nullopt;
    return start;
}

// Examples some of which accept any occurrence of a wanted text. The
// example with the fewest choices leads: for each of its choices in page
// order, each left text that works there (preferred first) fixes where the
// middle begins on every other page, and a right text is sought for those.
class OccurrenceSearch {
public:
    OccurrenceSearch(std::span<const SuggestionExample> examples, std::vector<std::string_view> pages)
        : examples_(examples), pages_(std::move(pages))
    {}

    RuleSuggestion run()
    {
        size_t lead = 0, fewest = SIZE_MAX;
        for (size_t i = 0; i < examples_.size(); ++i) {
            const SuggestionExample& e = examples_[i];
            if (e.byText && FindTextOffset(pages_[i], e.wanted, 0, false) < 0)
                return Failed(SuggestionFailure::kWantedMissing, i);
            const size_t choices = e.byText ? CountOccurrences(pages_[i], e.wanted) : 1;
            if (choices < fewest)
                lead = i, fewest = choices;
        }
        const SuggestionExample& e = examples_[lead];
        if (!e.byText)
            return tryChoice(lead, e.start).value_or(Failed(SuggestionFailure::kNoPair, lead));
        const std::string_view page = pages_[lead];
        for (size_t at = NextOccurrence(page, e.wanted, 0); at != std::string_view::npos;
             at = NextOccurrence(page, e.wanted, at + SearchCharLength(page, at))) {
            if (std::optional<RuleSuggestion> r = tryChoice(lead, at))
                return *r;
        }
        return Failed(SuggestionFailure::kNoPair, lead);
    }

private:
    size_t lengthOf(size_t i) const { return examples_[i].byText ? examples_[i].wanted.size() : examples_[i].length; }

    std::optional<RuleSuggestion> tryChoice(size_t lead, size_t start)
    {
        const FixedSelection own{pages_[lead], start, start + lengthOf(lead)};
        const std::span<const FixedSelection> alone(&own, 1);
        // Cheap tests first. The longest left text, when seen in front of an
        // earlier choice, is found there first, and so is every shorter one.
        const size_t widest = BoundaryAtOrAfter(own.page, start - std::min(start, kMaxDelimiterBytes));
        if (widest >= start)
            return std::nullopt;
        const std::string_view longest = own.page.substr(widest, start - widest);
        if (longest == lastWidest_ || widestLefts_.contains(longest))
            return std::nullopt; // the same as the last: runs of one text are common
        // Only a shortcut: when it grows too big it starts afresh.
        if (widestLefts_.size() >= kMaxRemembered)
            widestLefts_.clear();
        widestLefts_.insert(longest);
        lastWidest_ = longest;
        // The right texts are tried behind the choice alone, the left ones in
        // the whole page before it.
        const std::vector<size_t> rights = suggestion::CommonRightLengths(alone);
        if (rights.empty() || !suggestion::RightWorks(alone, rights.back()))
            return std::nullopt;
        DelimiterChoice why;
        for (size_t length : suggestion::WorkingLeftLengths(alone, &why)) {
            if (std::optional<RuleSuggestion> r = tryLeft(lead, own, length))
                return r;
        }
        return std::nullopt;
    }

    std::optional<RuleSuggestion> tryLeft(size_t lead, const FixedSelection& own, size_t length)
    {
        const std::string_view left = suggestion::LeftText(own, length);
        std::vector<FixedSelection> fixed;
        std::vector<SuggestionExample> chosen;
        fixed.push_back(own);
        chosen.push_back({own.page, own.start, own.end - own.start, false, {}});
        for (size_t i = 0; i < examples_.size(); ++i) {
            if (i == lead)
                continue;
            const std::optional<size_t> start = MiddleStart(examples_[i], pages_[i], left);
            if (!start)
                return std::nullopt;
            fixed.push_back({pages_[i], *start, *start + lengthOf(i)});
            chosen.push_back({pages_[i], *start, lengthOf(i), false, {}});
        }
        const DelimiterChoice right = suggestion::ChooseRight(fixed);
        if (!right.found)
            return std::nullopt;
        RuleSuggestion r;
        r.left = std::string(left);
        r.right = std::string(suggestion::RightText(own, right.length));
        for (size_t i = 0; i < examples_.size(); ++i) {
            if (!ExtractionGives(examples_[i], r.left, r.right))
                return std::nullopt;
        }
        r.found = true;
        return r;
    }

    std::span<const SuggestionExample> examples_;
    std::vector<std::string_view> pages_;
    static constexpr size_t kMaxRemembered = size_t{1} << 20;
    std::unordered_set<std::string_view> widestLefts_; // of the choices tried
    std::string_view lastWidest_;
};

} // namespace

RuleSuggestion SuggestRule(std::span<const SuggestionExample> examples)
{
    if (examples.empty())
        return Failed(SuggestionFailure::kNoExample, 0);
    std::vector<std::string_view> pages;
    bool anyByText = false;
    for (size_t i = 0; i < examples.size(); ++i) {
        const SuggestionExample& e = examples[i];
        pages.push_back(VisiblePage(e.page));
        anyByText = anyByText || e.byText;
        const SuggestionFailure fault =
            e.byText ? (e.wanted.empty() ? SuggestionFailure::kEmptySelection : SuggestionFailure::kNone)
                     : SelectionFault(pages[i], e.start, e.length);
        if (fault != SuggestionFailure::kNone)
            return Failed(fault, i);
    }
    if (anyByText)
        return OccurrenceSearch(examples, std::move(pages)).run();
    std::vector<FixedSelection> fixed;
    for (size_t i = 0; i < examples.size(); ++i)
        fixed.push_back({pages[i], examples[i].start, examples[i].start + examples[i].length});
    return SolveFixed(fixed, examples);
}

} // namespace mt
