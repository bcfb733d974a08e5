#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "commands/command_call.h"
#include "commands/rule_suggestion.h"
#include "commands/rule_suggestion_command.h"
#include "commands/text_commands.h"
#include "support/malloc_service.h"
#include "support/row_name.h"

namespace mt {
namespace {

using test::CallCommand;
using test::TakeBytes;
using test::TakeText;
using test::Text;

// The extraction as the tool runs it, with the text commands: the middle
// text and its 0-based start in the page, or no middle (-1) when a text is
// not found.
struct Extracted {
    int64_t start = -1;
    std::string middle;
};

Extracted Extract(const std::string& page, const std::string& left, const std::string& right)
{
    const auto find = [](const char* t, const std::string& s) {
        return AsInt32(CallCommand(寻找文本, {Text(t), Text(s.c_str()), Omitted(), MakeBool(false)}));
    };
    Extracted out;
    if (find(page.c_str(), left) == -1 || find(page.c_str(), right) == -1)
        return out;
    const int32_t n = static_cast<int32_t>(page.size());
    const int32_t s = find(page.c_str(), left) + static_cast<int32_t>(left.size());
    const std::string tail = TakeText(CallCommand(取文本中间, {Text(page.c_str()), MakeInt(s), MakeInt(n - s + 1)}));
    const int32_t e = find(tail.c_str(), right) - 1;
    out.middle = TakeText(CallCommand(取文本中间, {Text(tail.c_str()), MakeInt(1), MakeInt(e)}));
    out.start = s - 1;
    return out;
}

// Examples hold views: pages and texts given to these live as long as the
// examples (literals, the constants below, the test's own strings).
SuggestionExample Selected(std::string_view page, std::string_view selected, size_t occurrence = 0)
{
    size_t at = page.find(selected);
    for (size_t i = 0; i < occurrence && at != std::string_view::npos; ++i)
        at = page.find(selected, at + 1);
    EXPECT_NE(at, std::string_view::npos) << selected;
    return {page, at, selected.size(), false, {}};
}

SuggestionExample Wanted(std::string_view page, std::string_view wanted) { return {page, 0, 0, true, wanted}; }

// Every example's page gives exactly its bytes with the pair.
void ExpectExtracts(const std::vector<SuggestionExample>& examples, const RuleSuggestion& r)
{
    for (const SuggestionExample& e : examples) {
        const Extracted got = Extract(std::string(e.page), r.left, r.right);
        if (e.byText) {
            EXPECT_EQ(got.middle, e.wanted) << e.page;
        } else {
            EXPECT_EQ(got.start, static_cast<int64_t>(e.start)) << e.page;
            EXPECT_EQ(got.middle, e.page.substr(e.start, e.length)) << e.page;
        }
    }
}

class RuleSuggestionTest : public testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(heap_.liveBlocks(), 0); }
    test::MallocService heap_;
};

struct Case {
    const char* name;
    std::vector<SuggestionExample> examples;
    const char* left; // expected pair, or null when any working pair will do
    const char* right;
    const char* code; // expected failure code, or null when a pair is expected
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

// Each row of a table below is a case of its own.
class RuleSuggestionRow : public RuleSuggestionTest, public testing::WithParamInterface<Case> {};

TEST_P(RuleSuggestionRow, GivesThePairOrSaysWhyNot)
{
    const Case& c = GetParam();
    const RuleSuggestion r = SuggestRule(c.examples);
    if (c.code) {
        EXPECT_FALSE(r.found) << r.left << " / " << r.right;
        EXPECT_EQ(SuggestionCode(r.failure), c.code);
        EXPECT_FALSE(SuggestionReason(r, c.examples.size()).empty());
        return;
    }
    ASSERT_TRUE(r.found) << SuggestionCode(r.failure);
    EXPECT_GE(r.left.size(), 1u);
    EXPECT_LE(r.left.size(), kMaxDelimiterBytes);
    EXPECT_GE(r.right.size(), 1u);
    EXPECT_LE(r.right.size(), kMaxDelimiterBytes);
    if (c.left) {
        EXPECT_EQ(r.left, c.left);
    }
    if (c.right) {
        EXPECT_EQ(r.right, c.right);
    }
    ExpectExtracts(c.examples, r);
}

const std::string kRow = R"(<tr><td class="name">A</td><td class="price">12.50</td></tr>)";
const std::string kRun(5000, 'a');
const std::string kRunInTags = "<b>" + std::string(400, 'a') + "</b>";
const std::string kRepeated = std::string(300, 'a') + "X" + std::string(300, 'a') + "Yb";
// 价格：12元。 in GB18030, then a line break and the same with 34.
const std::string kChinese = "\xBC\xDB\xB8\xF1\xA3\xBA"
                             "12"
                             "\xD4\xAA\xA1\xA3\n"
                             "\xBC\xDB\xB8\xF1\xA3\xBA"
                             "34"
                             "\xD4\xAA\xA1\xA3";

std::vector<Case> OnePageRows()
{
    return {
        {"markup edges win over the shortest", {Selected(kRow, "12.50")}, "price\">", "<", nullptr},
        {"the first cell", {Selected(kRow, "A")}, "\">", "<", nullptr},
        {"a bare text with no edge", {Selected("xxaQbyy", "Q")}, "a", "b", nullptr},
        {"whole characters before and after",
         {Selected(kChinese, "34")},
         "\n\xBC\xDB\xB8\xF1\xA3\xBA",
         "\xD4\xAA",
         nullptr},
        {"the second of two equal selections", {Selected("<i>k</i>;<i>k</i>.", "k", 1)}, ";<i>", "<", nullptr},
        {"at the very start", {Selected("abc", "a")}, nullptr, nullptr, "at_start"},
        {"at the very end", {Selected("abc", "c")}, nullptr, nullptr, "at_end"},
        {"nothing selected", {{"abc", 1, 0, false, {}}}, nullptr, nullptr, "empty_selection"},
        {"beyond the page", {{"abc", 2, 5, false, {}}}, nullptr, nullptr, "outside_text"},
        {"inside a character", {{kChinese, 1, 2, false, {}}}, nullptr, nullptr, "split_character"},
        {"every left text within the bound repeats", {Selected(kRepeated, "Y")}, nullptr, nullptr, "left_repeats"},
        {"every right text occurs inside the selection", {{"aaaa", 2, 1, false, {}}}, nullptr, nullptr, "right_repeats"},
        {"a zero byte ends the page", {{std::string_view("ab\0cd", 5), 3, 1, false, {}}}, nullptr, nullptr, "outside_text"},
        {"no example", {}, nullptr, nullptr, "no_example"},
    };
}

INSTANTIATE_TEST_SUITE_P(OnePage, RuleSuggestionRow, testing::ValuesIn(OnePageRows()), test::ByRowName());

const std::string kPage1 = "<b>1</b>", kPage2 = "<i>2</i><b>3</b>";
const std::string kRunLeft(144, 'a'), kRunRight = std::string(255, 'a') + "<";

std::vector<Case> SeveralPagesRows()
{
    return {
        {"a text both pages share", {Selected(kPage1, "1"), Selected(kPage2, "3")}, "b>", "<", nullptr},
        {"the same layout", {Selected(kRow, "12.50"), Selected(kRow, "A")}, nullptr, nullptr, "left_repeats"},
        {"nothing in common in front", {Selected("x1y", "1"), Selected("z1y", "1")}, nullptr, nullptr, "no_common_left"},
        {"nothing in common behind", {Selected("x1y", "1"), Selected("x1z", "1")}, nullptr, nullptr, "no_common_right"},
        {"one page's selection at its end", {Selected(kPage1, "1"), Selected("<b>3", "3")}, nullptr, nullptr, "at_end"},
        {"wanted texts", {Wanted("<p>one</p><b>two</b>", "two"), Wanted("<b>six</b><p>x</p>", "six")}, nullptr, nullptr, nullptr},
        {"a wanted text and a selection", {Wanted("<p>1</p><b>2</b>", "2"), Selected("<b>5</b>", "5")}, nullptr, nullptr, nullptr},
        {"a later occurrence of the wanted text", {Wanted("k<b>k</b>", "k")}, nullptr, nullptr, nullptr},
        {"the wanted text missing", {Wanted("<b>1</b>", "1"), Wanted("<b>2</b>", "9")}, nullptr, nullptr, "wanted_missing"},
        {"only at the page's end", {Wanted("abc", "c")}, nullptr, nullptr, "no_pair"},
        {"every occurrence inside a run", {Wanted(kRun, "a")}, nullptr, nullptr, "no_pair"},
        {"the one occurrence a right text within the bound can end", {Wanted(kRunInTags, "a")}, kRunLeft.c_str(), kRunRight.c_str(), nullptr},
        {"an empty wanted text", {Wanted("abc", "")}, nullptr, nullptr, "empty_selection"},
    };
}

INSTANTIATE_TEST_SUITE_P(SeveralPages, RuleSuggestionRow, testing::ValuesIn(SeveralPagesRows()), test::ByRowName());

TEST_F(RuleSuggestionTest, ReasonNamesThePage)
{
    const std::vector<SuggestionExample> examples = {Selected("<b>1</b>", "1"), Selected("<b>3", "3")};
    const RuleSuggestion r = SuggestRule(examples);
    ASSERT_FALSE(r.found);
    EXPECT_EQ(r.example, 1u);
    EXPECT_EQ(SuggestionReason(r, 2).rfind("\xB5\xDA 2 ", 0), 0u) << "begins with 第 2"; // 第 in GB18030
}

// The pieces random pages are made of: whole characters of one, two and
// four bytes, and markup edges.
const char* const kPieces[] = {"a", "b", "<", ">", "\"", "\xD6\xD0", "\xB0\xD6", "\x81\x30\x81\x30"};

bool IsEdge(char c) { return std::string_view("<>\"'= \t\r\n\f\v").find(c) != std::string_view::npos; }

struct RandomPage {
    std::string text;
    std::vector<size_t> boundaries; // every character's start, and the end
};

// With `withM`, an M is one of the pieces too.
RandomPage MakePage(std::mt19937& random, size_t pieces, bool withM = false)
{
    RandomPage p;
    for (size_t i = 0; i < pieces; ++i) {
        p.boundaries.push_back(p.text.size());
        const size_t pick = random() % (std::size(kPieces) + (withM ? 1 : 0));
        p.text += pick < std::size(kPieces) ? kPieces[pick] : "M";
    }
    p.boundaries.push_back(p.text.size());
    return p;
}

// Checks the answer on random pages against trying every pair of whole
// characters: a pair is found exactly when one exists, and no working left
// text is shorter than the one found in its class (at an edge or not).
TEST_F(RuleSuggestionTest, AgreesWithEveryPairTried)
{
    std::mt19937 random(29);
    for (int round = 0; round < 400; ++round) {
        const RandomPage page = MakePage(random, 4 + random() % 6);
        const size_t count = page.boundaries.size();
        const size_t a = 1 + random() % (count - 2), b = a + 1 + random() % (count - 1 - a);
        const size_t start = page.boundaries[a], end = page.boundaries[b];
        const SuggestionExample example{page.text, start, end - start, false, {}};
        std::vector<std::string> lefts, rights;
        for (size_t i = 0; i < a; ++i) {
            const std::string left = page.text.substr(page.boundaries[i], start - page.boundaries[i]);
            if (Extract(page.text, left, page.text.substr(end)).start == static_cast<int64_t>(start))
                lefts.push_back(left);
        }
        for (size_t i = b + 1; i < count; ++i) {
            const std::string right = page.text.substr(end, page.boundaries[i] - end);
            for (const std::string& left : lefts) {
                if (Extract(page.text, left, right).middle == page.text.substr(start, end - start)) {
                    rights.push_back(right);
                    break;
                }
            }
        }
        const RuleSuggestion r = SuggestRule(std::vector<SuggestionExample>{example});
        SCOPED_TRACE(testing::PrintToString(page.text) + " selecting " + std::to_string(start) + ".." +
                     std::to_string(end));
        ASSERT_EQ(r.found, !lefts.empty() && !rights.empty()) << SuggestionCode(r.failure);
        if (!r.found)
            continue;
        ExpectExtracts({example}, r);
        const auto leftEdge = [&](const std::string& l) {
            const size_t at = start - l.size();
            return IsEdge(page.text[at]) || (at > 0 && IsEdge(page.text[at - 1]));
        };
        const bool anyAtEdge = std::any_of(lefts.begin(), lefts.end(), leftEdge);
        EXPECT_EQ(leftEdge(r.left), anyAtEdge) << "a left text at an edge comes first";
        for (const std::string& l : lefts) {
            if (leftEdge(l) == anyAtEdge) {
                EXPECT_GE(l.size(), r.left.size()) << "a shorter left text works: " << l;
            }
        }
    }
}

// Two random pages that often share their layout around an M, once as
// selections of the first M, once as the wanted text M, any of whose
// occurrences may be taken (M is one of the pieces then). A pair is found
// exactly when trying every pair of whole characters around an M of the
// first page finds one that extracts right from both.
TEST_F(RuleSuggestionTest, SeveralRandomPagesAgreeWithEveryPairTried)
{
    std::mt19937 random(30);
    int found = 0;
    for (int round = 0; round < 400; ++round) {
        const bool byText = round % 2 == 1;
        const std::string shared = kPieces[random() % std::size(kPieces)];
        std::vector<RandomPage> pages;
        for (int k = 0; k < 2; ++k) {
            RandomPage p = MakePage(random, 1 + random() % 3, byText);
            p.boundaries.pop_back();
            for (const char* piece : {shared.c_str(), "M", shared.c_str()}) {
                p.boundaries.push_back(p.text.size());
                p.text += piece;
            }
            const RandomPage after = MakePage(random, 1 + random() % 3, byText);
            for (size_t b : after.boundaries)
                p.boundaries.push_back(p.text.size() + b);
            p.text += after.text;
            pages.push_back(p);
        }
        std::vector<SuggestionExample> examples;
        for (const RandomPage& p : pages) {
            const size_t at = p.text.find(shared + "M") + shared.size();
            examples.push_back(byText ? Wanted(p.text, "M") : SuggestionExample{p.text, at, 1, false, {}});
        }
        const auto works = [&](const std::string& left, const std::string& right) {
            for (size_t k = 0; k < pages.size(); ++k) {
                const Extracted got = Extract(pages[k].text, left, right);
                if (got.middle != "M" || (!byText && got.start != static_cast<int64_t>(examples[k].start)))
                    return false;
            }
            return true;
        };
        const auto whole = [&](const std::string& text) {
            for (const RandomPage& p : pages) {
                const size_t at = p.text.find(text);
                if (at != std::string::npos && (!std::binary_search(p.boundaries.begin(), p.boundaries.end(), at) ||
                                                !std::binary_search(p.boundaries.begin(), p.boundaries.end(),
                                                                    at + text.size())))
                    return false;
            }
            return true;
        };
        bool exists = false;
        const RandomPage& first = pages[0];
        for (size_t m = 0; m + 1 < first.boundaries.size() && !exists; ++m) {
            const size_t at = first.boundaries[m];
            if (first.text.compare(at, 1, "M") != 0 || (!byText && at != examples[0].start))
                continue;
            for (size_t l = 0; l < m && !exists; ++l) {
                const std::string left = first.text.substr(first.boundaries[l], at - first.boundaries[l]);
                for (size_t r = m + 2; r < first.boundaries.size() && !exists; ++r) {
                    const std::string right = first.text.substr(at + 1, first.boundaries[r] - at - 1);
                    exists = whole(left) && whole(right) && works(left, right);
                }
            }
        }
        const RuleSuggestion r = SuggestRule(examples);
        SCOPED_TRACE(testing::PrintToString(pages[0].text) + " and " + testing::PrintToString(pages[1].text) +
                     (byText ? " wanting M" : " selecting M"));
        EXPECT_EQ(r.found, exists) << SuggestionCode(r.failure);
        if (r.found) {
            ++found;
            ExpectExtracts(examples, r);
        }
    }
    EXPECT_GT(found, 100);
}

TEST_F(RuleSuggestionTest, CommandPacksExamplesAndAnswer)
{
    const std::string page = kRow;
    const std::string wantedPage = "<b>x</b><b>yy</b>";
    const auto words = [](const std::string& bytes, size_t at) {
        uint32_t w = 0;
        for (int k = 3; k >= 0; --k)
            w = w << 8 | static_cast<uint8_t>(bytes[at + static_cast<size_t>(k)]);
        return w;
    };
    const auto texts = [&](const std::string& bytes) {
        std::vector<std::string> out;
        for (size_t at = 8; at + 4 <= bytes.size();) {
            const uint32_t n = words(bytes, at);
            out.push_back(bytes.substr(at + 4, n));
            at += 4 + n;
        }
        return out;
    };
    const int32_t start = static_cast<int32_t>(page.find("12.50")) + 1;
    std::string answer = TakeBytes(CallCommand(SuggestRuleCommand, {Text(page.c_str()), MakeInt(start), MakeInt(5),
                                                                    Text(wantedPage.c_str()), Text("yy"), Omitted()}));
    ASSERT_GE(answer.size(), 8u);
    EXPECT_EQ(words(answer, 0), 0u) << "the row's layout and the other page share no left text";
    answer = TakeBytes(CallCommand(SuggestRuleCommand, {Text(page.c_str()), MakeInt(start), MakeInt(5)}));
    EXPECT_EQ(words(answer, 0), 1u);
    EXPECT_EQ(texts(answer), (std::vector<std::string>{"price\">", "<"}));
    answer = TakeBytes(CallCommand(SuggestRuleCommand, {Text("abc"), MakeInt(1), MakeInt(1)}));
    EXPECT_EQ(words(answer, 0), 0u);
    EXPECT_EQ(words(answer, 4), 1u);
    ASSERT_EQ(texts(answer).size(), 2u);
    EXPECT_EQ(texts(answer)[0], "at_start");
    answer = TakeBytes(CallCommand(SuggestRuleCommand, {Text("abc"), MakeInt(2)}));
    EXPECT_EQ(texts(answer)[0], "empty_selection") << "a group cut short";
}

} // namespace
} // namespace mt
