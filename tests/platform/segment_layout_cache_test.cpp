// The multi-line box's layout cache on its own, over a TextBuffer and a
// host that stands for the view: the row walk across segment edges, the
// limits eviction keeps, the shift after an edit, and the carried row
// starts an edit makes stale. A walk through a fresh cache is the measure.
#include <gtest/gtest.h>

#include <QFont>

#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/text_view/segment_layout_cache.h"
#include "platform/text_view/text_buffer.h"

namespace mt::platform {
namespace {

struct FakeView : SegmentLayoutCache::Host {
    int width = 200;
    QFont font{QStringLiteral("DejaVu Sans Mono"), 10};
    size_t top = 0, caret = 0;
    int layoutWidth() const override { return width; }
    const QFont& layoutFont() const override { return font; }
    size_t layoutTop() const override { return top; }
    size_t layoutCaret() const override { return caret; }
};

struct Cache {
    explicit Cache(const TextBuffer& text, bool wrap = true) : layouts(text, view) { layouts.setWrap(wrap); }
    FakeView view;
    SegmentLayoutCache layouts;
};

std::string Words(size_t bytes)
{
    std::string s;
    for (size_t i = 0; s.size() < bytes; ++i)
        s += std::string(1 + i % 7, static_cast<char>('a' + i % 26)) + ' ';
    s.resize(bytes);
    return s;
}

std::string Lines(size_t count, size_t bytes)
{
    std::string s;
    for (size_t i = 0; i < count; ++i)
        s += Words(bytes) + '\n';
    return s;
}

// The starts of every row, walked from the first row down.
std::vector<size_t> WalkDown(SegmentLayoutCache& c)
{
    SegmentLayoutCache::Row r = c.rowOf(0);
    std::vector<size_t> starts{c.rowStart(r)};
    while (c.nextRow(&r))
        starts.push_back(c.rowStart(r));
    return starts;
}

std::vector<size_t> WalkUp(SegmentLayoutCache& c, size_t from)
{
    SegmentLayoutCache::Row r = c.rowOf(from);
    std::vector<size_t> starts{c.rowStart(r)};
    while (c.prevRow(&r))
        starts.insert(starts.begin(), c.rowStart(r));
    return starts;
}

std::vector<size_t> FreshWalk(const TextBuffer& text, bool wrap = true)
{
    Cache fresh(text, wrap);
    return WalkDown(fresh.layouts);
}

TEST(SegmentLayoutCache, RowWalkAcrossSegments)
{
    EnsureApplication();
    struct Case {
        const char* name;
        std::string text;
        bool wrap;
    } cases[] = {
        {"one long wrapped line", Words(5 * TextBuffer::kSegmentBytes), true},
        {"long and short lines", Lines(2, 3 * TextBuffer::kSegmentBytes) + "x\n\n" + Lines(3, 40), true},
        {"CR LF lines", "ab cd\r\n" + Words(3 * TextBuffer::kSegmentBytes) + "\r\nend", true},
        {"unwrapped", Lines(3, 2 * TextBuffer::kSegmentBytes + 100), false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TextBuffer text;
        text.assign(k.text);
        Cache c(text, k.wrap);
        const std::vector<size_t> down = WalkDown(c.layouts);
        ASSERT_GT(down.size(), 3u);
        for (size_t i = 1; i < down.size(); ++i)
            ASSERT_LT(down[i - 1], down[i]) << "row " << i;
        // Each row is found again from its start, and gives back that start.
        for (size_t at : down)
            EXPECT_EQ(c.layouts.rowStart(c.layouts.rowOf(at)), at);
        // Back up the same cache: the same rows.
        EXPECT_EQ(WalkUp(c.layouts, text.size()), down);
        // Up from the end of a fresh cache, then down again: the same rows.
        Cache up(text, k.wrap);
        const std::vector<size_t> upwards = WalkUp(up.layouts, text.size());
        EXPECT_EQ(upwards.front(), 0u);
        EXPECT_EQ(WalkDown(up.layouts), down);
        if (k.wrap) {
            // Some row goes on across a segment's edge.
            bool across = false;
            for (SegmentLayoutCache::Row r = c.layouts.rowOf(0); !across && c.layouts.nextRow(&r);)
                across = r.line == 0 && c.layouts.rowStart(r) < r.seg.start;
            EXPECT_TRUE(across);
        }
    }
}

TEST(SegmentLayoutCache, EvictionKeepsItsLimits)
{
    EnsureApplication();
    // Lines of one full segment each, unwrapped: cheap to lay.
    TextBuffer text;
    text.assign(Lines(700, TextBuffer::kSegmentBytes - 1));
    const size_t seg = TextBuffer::kSegmentBytes;
    struct Case {
        const char* name;
        size_t top, caret;
    } cases[] = {
        {"view and caret at the start", 0, 0},
        {"view and caret near the end", 650 * seg, 655 * seg},
        {"both in the middle", 350 * seg, 360 * seg},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Cache c(text, false);
        c.view.top = k.top;
        c.view.caret = k.caret;
        const size_t low = std::min(k.top, k.caret), high = std::max(k.top, k.caret);
        const size_t keepFrom = low > SegmentLayoutCache::kKeptBefore * seg ? low - SegmentLayoutCache::kKeptBefore * seg : 0;
        const size_t keepTo = high + SegmentLayoutCache::kKeptAfter * seg;
        size_t evicted = 0;
        TextBuffer::Segment s = text.segmentAt(0);
        do {
            const size_t before = c.layouts.laidCount();
            const SegmentLayoutCache::Laid* made = c.layouts.lay(s);
            ASSERT_TRUE(c.layouts.holds(s.start)); // the one just made stays
            EXPECT_EQ(made->seg, s.start);
            if (c.layouts.laidCount() <= before)
                ++evicted;
            // Nothing goes while no more than the limit are held.
            if (before < SegmentLayoutCache::kKeptLayouts) {
                EXPECT_EQ(c.layouts.laidCount(), before + 1);
            }
        } while (text.nextSegment(s, &s));
        EXPECT_GT(evicted, 0u);
        // What is left beside the last one made is near the view or the caret.
        for (TextBuffer::Segment t = text.segmentAt(0);;) {
            if (c.layouts.holds(t.start) && t.end != text.size()) {
                EXPECT_TRUE(t.start >= keepFrom && t.start <= keepTo) << t.start;
            }
            if (!text.nextSegment(t, &t))
                break;
        }
        EXPECT_TRUE(c.layouts.holds(text.segmentAt(k.top).start) || k.top < keepFrom);
        EXPECT_TRUE(c.layouts.holds(text.segmentAt(k.caret).start));
    }
}

TEST(SegmentLayoutCache, CarriedStartsStayWithinTheirLimit)
{
    EnsureApplication();
    TextBuffer text;
    text.assign(Words((SegmentLayoutCache::kKeptCarries + 40) * TextBuffer::kSegmentBytes));
    Cache c(text);
    c.view.width = 4000; // few rows per segment: quick to lay
    size_t most = 0;
    SegmentLayoutCache::Row r = c.layouts.rowOf(0);
    while (c.layouts.nextRow(&r))
        most = std::max(most, c.layouts.carryCount());
    EXPECT_GT(most, SegmentLayoutCache::kKeptCarries / 2);
    EXPECT_LE(most, SegmentLayoutCache::kKeptCarries);
    EXPECT_LE(c.layouts.laidCount(), SegmentLayoutCache::kKeptLayouts + SegmentLayoutCache::kKeptAfter + 1);
}

TEST(SegmentLayoutCache, ShiftAfterAnEdit)
{
    EnsureApplication();
    // Ten lines of one segment each; the layout of line 5 is watched.
    const std::string base = Lines(10, 60);
    const size_t line = 61;
    struct Case {
        const char* name;
        size_t pos, removed;
        std::string inserted;
        bool kept;      // the watched layout survives the edit...
        ptrdiff_t move; // ... moved by this many bytes
    } cases[] = {
        {"insert before it", 2 * line + 3, 0, "xyz", true, 3},
        {"delete before it", 2 * line, 10, "", true, -10},
        {"replace across the line break before it", 5 * line - 2, 1, "ab", true, 1},
        {"insert inside it", 5 * line + 4, 0, "q", false, 0},
        {"delete inside it", 5 * line + 4, 5, "", false, 0},
        {"insert after it", 8 * line + 1, 0, "zz", true, 0},
        {"delete from inside it across its end", 6 * line - 10, 30, "", false, 0},
        {"replace its first byte", 5 * line, 1, "AB", false, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TextBuffer text;
        text.assign(base);
        Cache c(text);
        const std::vector<size_t> before = WalkDown(c.layouts);
        const SegmentLayoutCache::Laid* watched = c.layouts.lay(text.segmentAt(5 * line));
        const QString shown = watched->layout.text();
        text.replace(k.pos, k.removed, k.inserted);
        c.layouts.shift(k.pos, k.removed, k.inserted.size());
        const size_t moved = static_cast<size_t>(static_cast<ptrdiff_t>(5 * line) + k.move);
        EXPECT_EQ(c.layouts.holds(moved), k.kept);
        if (k.kept) {
            const SegmentLayoutCache::Laid* again = c.layouts.lay(text.segmentAt(moved));
            EXPECT_EQ(again, watched); // not laid again
            EXPECT_EQ(again->start, moved);
            EXPECT_EQ(again->layout.text(), shown);
        }
        EXPECT_EQ(WalkDown(c.layouts), FreshWalk(text));
    }
}

TEST(SegmentLayoutCache, EditMakesCarriedStartsStale)
{
    EnsureApplication();
    // A wrapped line over several segments: an edit in one re-wraps the
    // rows after it, across the following edges.
    const size_t seg = TextBuffer::kSegmentBytes;
    const std::string base = "head\n" + Words(5 * seg) + "\ntail";
    struct Case {
        const char* name;
        size_t pos, removed;
        std::string inserted;
    } cases[] = {
        {"insert near the line's start", 9, 0, "wider "},
        {"delete in the first segment", 40, 7, ""},
        {"insert just before an edge", seg - 3, 0, "ab cd ef "},
        {"delete across an edge", 2 * seg - 20, 60, ""},
        {"insert a line break in a segment", 3 * seg + 10, 0, "\n"},
        {"join the line to the one before", 4, 1, ""},
        {"edit the last segment", 5 * seg, 0, "x"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TextBuffer text;
        text.assign(base);
        Cache c(text);
        ASSERT_EQ(WalkDown(c.layouts), FreshWalk(text));
        ASSERT_GT(c.layouts.carryCount(), 2u);
        text.replace(k.pos, k.removed, k.inserted);
        c.layouts.shift(k.pos, k.removed, k.inserted.size());
        const std::vector<size_t> fresh = FreshWalk(text);
        EXPECT_EQ(WalkDown(c.layouts), fresh);
        EXPECT_EQ(WalkUp(c.layouts, text.size()), fresh);
        // A jump into each segment after the edit, first thing after it:
        // the layout starts inside the segment before, never at a start
        // the edit moved, and the row found holds the byte asked for.
        for (TextBuffer::Segment s = text.segmentAt(k.pos); text.nextSegment(s, &s);) {
            TextBuffer old;
            old.assign(base);
            Cache jump(old);
            WalkDown(jump.layouts);
            old.replace(k.pos, k.removed, k.inserted);
            jump.layouts.shift(k.pos, k.removed, k.inserted.size());
            const size_t mid = (s.start + s.end) / 2;
            const size_t at = jump.layouts.rowStart(jump.layouts.rowOf(mid));
            EXPECT_LE(at, mid) << "segment at " << s.start;
            const SegmentLayoutCache::Laid* l = jump.layouts.lay(s);
            EXPECT_LE(l->start, s.start);
            TextBuffer::Segment prev;
            if (text.prevSegment(s, &prev) && prev.line == s.line) {
                EXPECT_GE(l->start, prev.start) << "segment at " << s.start;
            }
        }
    }
}

} // namespace
} // namespace mt::platform
