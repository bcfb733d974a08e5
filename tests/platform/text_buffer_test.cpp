// The byte model of the multi-line box against a plain string: random edits
// anywhere (inside characters too), undo and redo; lines, caret stops,
// checkpoints and segments against a plain left-to-right walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/text_codec.h"
#include "platform/text_view/edit_history.h"
#include "platform/text_view/text_buffer.h"

namespace mt::platform {
namespace {

// Boundaries by the decoder's own walk from the start.
std::vector<bool> Boundaries(const std::string& s)
{
    std::vector<bool> b(s.size() + 1, false);
    for (size_t i = 0; i < s.size(); i += GbCharAt(s, i).bytes)
        b[i] = true;
    b[s.size()] = true;
    return b;
}

std::vector<size_t> LineStarts(const std::string& s)
{
    std::vector<size_t> starts{0};
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\n' || (s[i] == '\r' && (i + 1 == s.size() || s[i + 1] != '\n')))
            starts.push_back(i + 1);
    }
    return starts;
}

void ExpectAgrees(const TextBuffer& t, const std::string& s, std::mt19937& rng)
{
    ASSERT_EQ(t.copy(0, t.size()), s);
    std::string whole(t.size(), '-'); // what a read of the box's text gets, the gap anywhere
    t.copyTo(whole.data());
    ASSERT_EQ(whole, s);
    ASSERT_EQ(t.zeroBytes(), static_cast<size_t>(std::count(s.begin(), s.end(), '\0')));
    const std::vector<bool> b = Boundaries(s);
    const std::vector<size_t> lines = LineStarts(s);
    ASSERT_EQ(t.lineCount(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        ASSERT_EQ(t.lineStart(i), lines[i]);
    size_t last = 0;
    for (size_t cp : t.checkpoints()) {
        ASSERT_TRUE(b[cp]) << cp;
        ASSERT_LE(cp - last, TextBuffer::kSegmentBytes + 4);
        last = cp;
    }
    ASSERT_LE(s.size() - last, TextBuffer::kSegmentBytes + 4);
    for (int k = 0; k < 40 && !s.empty(); ++k) {
        const size_t pos = rng() % (s.size() + 1);
        size_t start = pos;
        while (!b[start])
            --start;
        ASSERT_EQ(t.charStart(pos), std::min(start, s.size())) << pos;
        const bool midCrLf = pos > 0 && pos < s.size() && s[pos - 1] == '\r' && s[pos] == '\n';
        ASSERT_EQ(t.stopAtOrBefore(pos), midCrLf ? pos - 1 : start);
        if (b[pos] && !midCrLf && pos < s.size()) {
            const size_t next = t.nextStop(pos);
            ASSERT_EQ(t.prevStop(next), pos);
            ASSERT_EQ(next, s.compare(pos, 2, "\r\n") == 0 ? pos + 2 : pos + GbCharAt(s, pos).bytes);
        }
        const TextBuffer::Segment seg = t.segmentAt(pos);
        ASSERT_LE(seg.start, std::min(pos, t.lineContentEnd(seg.line)));
        ASSERT_GE(seg.end, std::min(pos, t.lineContentEnd(seg.line)));
        ASSERT_EQ(seg.line, t.lineOf(pos));
        ASSERT_LE(seg.end - seg.start, TextBuffer::kSegmentBytes + 4);
        ASSERT_TRUE(b[seg.start] && b[seg.end]);
    }
}

TEST(TextBuffer, RandomEditsUndoAndRedoAgreeWithAPlainString)
{
    const std::string longZh = [] {
        std::string s;
        for (int i = 0; i < 2500; ++i)
            s += (i % 3) ? "\xD6\xD0" : "\xB0\x40"; // a trail byte that looks like '@'
        return s;
    }();
    const std::string pieces[] = {
        "a",
        "xyz",
        "\xD6\xD0\xCE\xC4",
        "\x81\x30\x81\x30",
        "\x95\x32\x82\x36",
        "\r\n",
        "\n",
        "\r",
        "\x80",
        "\xFF",
        "\x81",
        "\x30",
        "\x84\x31\xA4\x39",
        longZh,
        std::string(5000, 'q'),
        std::string(2, '\0'),
    };
    std::mt19937 rng(9);
    for (int round = 0; round < 6; ++round) {
        TextBuffer t;
        EditHistory history;
        std::vector<std::string> states{""};
        size_t done = 0;
        for (int step = 0; step < 150; ++step) {
            const std::string& s = states[done];
            const int op = static_cast<int>(rng() % 10);
            if (op == 0 && done > 0) {
                size_t caret, anchor;
                ASSERT_TRUE(history.undo(&t, &caret, &anchor));
                --done;
            } else if (op == 2) {
                ASSERT_EQ(t.contiguous(), s); // and the next edit shifts in place
            } else if (op == 1 && done + 1 < states.size()) {
                size_t caret, anchor;
                ASSERT_TRUE(history.redo(&t, &caret, &anchor));
                ++done;
            } else {
                const size_t pos = rng() % (s.size() + 1);
                const size_t removed = rng() % 4 == 0 ? rng() % (s.size() - pos + 1) : rng() % 3;
                std::string inserted;
                for (int i = static_cast<int>(rng() % 4); i > 0; --i)
                    inserted += pieces[rng() % std::size(pieces)];
                std::string next = s;
                const size_t cut = std::min(removed, s.size() - pos);
                next.replace(pos, cut, inserted);
                std::string gone = t.copy(pos, pos + cut);
                t.replace(pos, cut, inserted);
                history.record(pos, std::move(gone), inserted.size(), false, pos, pos);
                states.resize(done + 1);
                states.push_back(std::move(next));
                ++done;
            }
            ASSERT_NO_FATAL_FAILURE(ExpectAgrees(t, states[done], rng)) << "round " << round << " step " << step;
        }
    }
}

TEST(TextBuffer, TypingJoinsOneUndoAndWholeTextsAssign)
{
    TextBuffer t;
    t.assign("ab\r\ncd");
    EditHistory h;
    for (size_t i = 0; i < 3; ++i) {
        t.replace(2 + i, 0, "x");
        h.record(2 + i, {}, 1, true, 2 + i, 2 + i);
    }
    t.replace(0, 1, "");
    h.record(0, "a", 0, false, 1, 1);
    size_t caret, anchor;
    ASSERT_TRUE(h.undo(&t, &caret, &anchor));
    EXPECT_EQ(t.contiguous(), "abxxx\r\ncd");
    ASSERT_TRUE(h.undo(&t, &caret, &anchor));
    EXPECT_EQ(t.contiguous(), "ab\r\ncd");
    EXPECT_EQ(caret, 2u);
    EXPECT_FALSE(h.canUndo());
    ASSERT_TRUE(h.redo(&t, &caret, &anchor));
    EXPECT_EQ(t.contiguous(), "abxxx\r\ncd");
    EXPECT_EQ(caret, 5u);
    EXPECT_EQ(t.lineContentEnd(0), 5u);
    EXPECT_EQ(t.lineStart(1), 7u);
}

// A whole text assigned at once finds the same line starts and checkpoints
// as the same text inserted into an empty buffer, the edit's own walk.
TEST(TextBuffer, AssignFindsWhatInsertingFinds)
{
    const std::string pieces[] = {
        "a",
        "\xD6\xD0",
        "\xB0\x40",
        "\x81\x30\x81\x30",
        "\x95\x32\x82\x36",
        "\r\n",
        "\n",
        "\r",
        "\x80",
        "\xFF",
        "\x81",
        "\x30",
        std::string(9, 'q'),
        std::string(2047, 'w'),
        std::string(2046, 'e') + "\xD6\xD0",
    };
    std::mt19937 rng(22);
    for (int round = 0; round < 60; ++round) {
        std::string s;
        const int count = round < 3 ? round : static_cast<int>(rng() % 200);
        for (int i = 0; i < count; ++i)
            s += pieces[rng() % std::size(pieces)];
        if (round == 3)
            s = std::string(3 * TextBuffer::kSegmentBytes, 'x') + "\r"; // ends in a lone CR
        TextBuffer assigned, inserted;
        assigned.assign(s);
        inserted.replace(0, 0, s);
        ASSERT_EQ(assigned.checkpoints(), inserted.checkpoints()) << "round " << round;
        ASSERT_EQ(assigned.lineCount(), inserted.lineCount()) << "round " << round;
        for (size_t line = 0; line < assigned.lineCount(); ++line)
            ASSERT_EQ(assigned.lineStart(line), inserted.lineStart(line)) << "round " << round;
        ASSERT_NO_FATAL_FAILURE(ExpectAgrees(assigned, s, rng)) << "round " << round;
    }
}

// The record keeps at most its steps, and no more bytes than its budget
// (the larger of the minimum and the text's size); the oldest go first, the
// newest stays however large.
TEST(EditHistory, KeepsItsNewestStepsWithinTheBounds)
{
    const struct {
        const char* name;
        size_t maxSteps;
        size_t minBudget;
        size_t textSize;
        std::vector<size_t> removed; // bytes each edit takes out, oldest first
        size_t steps;
    } cases[] = {
        {"steps", 100, 1000, 0, std::vector<size_t>(150, 1), 100},
        {"budget", 100, 100, 0, {40, 40, 40, 40}, 2},
        {"newest however large", 100, 100, 0, {40, 500}, 1},
        {"text larger than the minimum", 100, 100, 300, std::vector<size_t>(10, 40), 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TextBuffer t;
        std::string all;
        for (size_t n : c.removed)
            all += std::string(n, 'r');
        t.assign(all);
        EditHistory h(c.maxSteps, c.minBudget);
        std::vector<std::string> states{all};
        for (size_t n : c.removed) {
            std::string gone = t.copy(0, n);
            t.replace(0, n, "i");
            h.record(0, std::move(gone), 1, false, 0, 0, c.textSize);
            states.push_back(t.contiguous());
        }
        EXPECT_EQ(h.steps(), c.steps);
        size_t caret, anchor, undone = 0;
        while (h.undo(&t, &caret, &anchor))
            ++undone;
        EXPECT_EQ(undone, c.steps);
        EXPECT_EQ(t.contiguous(), states[states.size() - 1 - c.steps]);
    }
}

} // namespace
} // namespace mt::platform
