#include "commands/rule_delimiters.h"

#include <algorithm>

#include "commands/find_text.h"
#include "commands/search_boundaries.h"

namespace mt::suggestion {
namespace {

bool IsEdgeByte(char c)
{
    switch (c) {
    case '<':
    case '>':
    case '"':
    case '\'':
    case '=':
    case ' ':
    case '\t':
    case '\r':
    case '\n':
    case '\f':
    case '\v':
        return true;
    default:
        return false;
    }
}

// A position next to an edge byte. The ends of the page are none: a text
// reaching them would rarely fit another page.
bool AtEdge(std::string_view page, size_t pos)
{
    return (pos > 0 && IsEdgeByte(page[pos - 1])) || (pos < page.size() && IsEdgeByte(page[pos]));
}

bool LeftAtEdge(std::span<const FixedSelection> pages, size_t length)
{
    return std::all_of(pages.begin(), pages.end(),
                       [length](const FixedSelection& s) { return AtEdge(s.page, s.start - length); });
}

bool RightAtEdge(std::span<const FixedSelection> pages, size_t length)
{
    return std::all_of(pages.begin(), pages.end(),
                       [length](const FixedSelection& s) { return AtEdge(s.page, s.end + length); });
}

// Whether `pos` is among the ascending boundaries.
bool Holds(const std::vector<size_t>& boundaries, size_t pos)
{
    return std::binary_search(boundaries.begin(), boundaries.end(), pos);
}

// Which lengths work is closed upwards: a longer left text that is found
// earlier on a page carries the shorter one with it to an earlier place,
// and a longer right text found before the selection's end carries the
// shorter one there too. So the shortest that works is found by halving,
// and every longer one works as well. The working lengths at an edge come
// first, then the others, each group shortest first.
template <typename Works, typename AtEdgeOf>
std::vector<size_t> Ordered(const std::vector<size_t>& lengths, Works works, AtEdgeOf atEdge)
{
    size_t low = 0, high = lengths.size() - 1;
    while (low < high) {
        const size_t mid = low + (high - low) / 2;
        if (works(lengths[mid]))
            high = mid;
        else
            low = mid + 1;
    }
    std::vector<size_t> edged, bare;
    for (size_t i = low; i < lengths.size(); ++i)
        (atEdge(lengths[i]) ? edged : bare).push_back(lengths[i]);
    edged.insert(edged.end(), bare.begin(), bare.end());
    return edged;
}

} // namespace

std::vector<size_t> CommonLeftLengths(std::span<const FixedSelection> pages)
{
    std::vector<size_t> lengths;
    if (pages.empty())
        return lengths;
    const FixedSelection& first = pages[0];
    const size_t reach = std::min(first.start, kMaxDelimiterBytes);
    std::vector<std::vector<size_t>> boundaries;
    for (const FixedSelection& s : pages)
        boundaries.push_back(BoundariesBetween(s.page, s.start - std::min(s.start, reach), s.start));
    const std::vector<size_t>& own = boundaries[0];
    for (auto b = own.rbegin(); b != own.rend(); ++b) {
        const size_t length = first.start - *b;
        if (length == 0)
            continue;
        bool common = true, sameBytes = true;
        for (size_t i = 1; i < pages.size() && sameBytes; ++i) {
            const FixedSelection& s = pages[i];
            sameBytes = s.start >= length && LeftText(s, length) == LeftText(first, length);
            common = common && sameBytes && Holds(boundaries[i], s.start - length);
        }
        if (!sameBytes)
            break; // a longer text has these bytes at its end
        if (common)
            lengths.push_back(length);
    }
    return lengths;
}

std::vector<size_t> CommonRightLengths(std::span<const FixedSelection> pages)
{
    std::vector<size_t> lengths;
    if (pages.empty())
        return lengths;
    const FixedSelection& first = pages[0];
    const size_t reach = std::min(first.page.size() - first.end, kMaxDelimiterBytes);
    std::vector<std::vector<size_t>> boundaries;
    for (const FixedSelection& s : pages)
        boundaries.push_back(BoundariesBetween(s.page, s.end, std::min(s.page.size(), s.end + reach)));
    for (size_t b : boundaries[0]) {
        const size_t length = b - first.end;
        if (length == 0)
            continue;
        bool common = true, sameBytes = true;
        for (size_t i = 1; i < pages.size() && sameBytes; ++i) {
            const FixedSelection& s = pages[i];
            sameBytes = s.page.size() - s.end >= length && RightText(s, length) == RightText(first, length);
            common = common && sameBytes && Holds(boundaries[i], s.end + length);
        }
        if (!sameBytes)
            break; // a longer text begins with these bytes
        if (common)
            lengths.push_back(length);
    }
    return lengths;
}

bool LeftWorks(std::span<const FixedSelection> pages, size_t length, size_t* failing)
{
    const std::string_view left = LeftText(pages[0], length);
    for (size_t i = 0; i < pages.size(); ++i) {
        const FixedSelection& s = pages[i];
        if (FindTextOffset(s.page, left, 0, false) != static_cast<int64_t>(s.start - length)) {
            if (failing)
                *failing = i;
            return false;
        }
    }
    return true;
}

bool RightWorks(std::span<const FixedSelection> pages, size_t length, size_t* failing)
{
    const std::string_view right = RightText(pages[0], length);
    for (size_t i = 0; i < pages.size(); ++i) {
        const FixedSelection& s = pages[i];
        if (FindTextOffset(s.page, right, s.start, false) != static_cast<int64_t>(s.end)) {
            if (failing)
                *failing = i;
            return false;
        }
    }
    return true;
}

std::vector<size_t> WorkingLeftLengths(std::span<const FixedSelection> pages, DelimiterChoice* why)
{
    const std::vector<size_t> lengths = CommonLeftLengths(pages);
    if (lengths.empty()) {
        why->failure = pages.size() > 1 ? SuggestionFailure::kNoCommonLeft : SuggestionFailure::kAtStart;
        return {};
    }
    if (!LeftWorks(pages, lengths.back(), &why->example)) {
        why->failure = SuggestionFailure::kLeftRepeats;
        return {};
    }
    return Ordered(
        lengths, [pages](size_t k) { return LeftWorks(pages, k); }, [pages](size_t k) { return LeftAtEdge(pages, k); });
}

std::vector<size_t> WorkingRightLengths(std::span<const FixedSelection> pages, DelimiterChoice* why)
{
    const std::vector<size_t> lengths = CommonRightLengths(pages);
    if (lengths.empty()) {
        why->failure = pages.size() > 1 ? SuggestionFailure::kNoCommonRight : SuggestionFailure::kAtEnd;
        return {};
    }
    if (!RightWorks(pages, lengths.back(), &why->example)) {
        why->failure = SuggestionFailure::kRightRepeats;
        return {};
    }
    return Ordered(
        lengths, [pages](size_t k) { return RightWorks(pages, k); },
        [pages](size_t k) { return RightAtEdge(pages, k); });
}

DelimiterChoice ChooseLeft(std::span<const FixedSelection> pages)
{
    DelimiterChoice choice;
    const std::vector<size_t> lengths = WorkingLeftLengths(pages, &choice);
    choice.found = !lengths.empty();
    choice.length = choice.found ? lengths.front() : 0;
    return choice;
}

DelimiterChoice ChooseRight(std::span<const FixedSelection> pages)
{
    DelimiterChoice choice;
    const std::vector<size_t> lengths = WorkingRightLengths(pages, &choice);
    choice.found = !lengths.empty();
    choice.length = choice.found ? lengths.front() : 0;
    return choice;
}

} // namespace mt::suggestion
