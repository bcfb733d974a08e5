// Marks over the multi-line box's text: the parts of an extraction and the
// occurrences of a sought text in view. They are drawn as backgrounds of
// the layouts' ranges, under the selection.
#include "platform/text_view/text_view.h"

#include <QColor>
#include <QScrollBar>

#include <algorithm>

namespace mt::platform {
namespace {

QColor TintColor(MarkTint tint)
{
    switch (tint) {
    case MarkTint::kLeft: return QColor(0xB8, 0xD8, 0xFF);
    case MarkTint::kMiddle: return QColor(0xFF, 0xC0, 0x60);
    case MarkTint::kRight: return QColor(0xB8, 0xEC, 0xB0);
    case MarkTint::kOccurrence: break;
    }
    return QColor(0xFF, 0xEE, 0x80);
}

} // namespace

void TextView::setMarks(TextMarks marks)
{
    const size_t size = text_.size();
    for (TextMark& m : marks.marks) {
        m.start = std::min(m.start, size);
        m.length = std::min(m.length, size - m.start);
    }
    if (!marks.search)
        marks.sought.clear();
    marks_ = std::move(marks);
    if (marks_.reveal >= 0 && static_cast<size_t>(marks_.reveal) < marks_.marks.size())
        revealBytes(marks_.marks[static_cast<size_t>(marks_.reveal)].start);
    viewport()->update();
}

size_t TextView::viewEnd()
{
    qreal room = viewport()->height() - margin();
    Row r = layouts_.rowOf(top_);
    for (;;) {
        room -= layouts_.rowHeight(r);
        if (room <= 0)
            break;
        if (!layouts_.nextRow(&r))
            return text_.size();
    }
    Row next = r;
    return layouts_.nextRow(&next) ? layouts_.rowStart(next) : text_.size();
}

void TextView::revealBytes(size_t pos)
{
    if (pos >= top_ && pos < viewEnd())
        return;
    // The mark's row a few rows below the top, so what leads to it shows.
    setTop(layouts_.rowStart(layouts_.rowOf(pos)));
    scrollRows(-std::min(3, visibleRows() / 3));
    // A mark right of the view on an unwrapped row comes into it.
    const QRect c = characterRect(pos);
    if (!c.isEmpty() || wrap_)
        return;
    Row r = layouts_.rowOf(pos);
    Laid* l = layouts_.lay(r.seg);
    const QTextLine line = l->layout.lineAt(r.line);
    const qreal x = line.cursorToX(layouts_.layoutUnit(*l, layouts_.unitOf(*l, pos)));
    horizontalScrollBar()->setValue(std::max(0, static_cast<int>(x) - viewport()->width() / 3));
}

std::vector<std::pair<size_t, size_t>> TextView::occurrencesInView()
{
    std::vector<std::pair<size_t, size_t>> found;
    const std::string& sought = marks_.sought;
    if (sought.empty() || !marks_.search || text_.size() == 0)
        return found;
    // The rows in view start at a character boundary; an occurrence may run
    // past their end.
    const size_t end = viewEnd();
    const std::string rows = text_.copy(top_, std::min(text_.size(), end + sought.size() - 1));
    for (size_t at = 0; at < end - top_;) {
        const int64_t hit = marks_.search(std::string_view(rows).substr(at), sought);
        if (hit < 0 || at + static_cast<size_t>(hit) >= end - top_)
            break;
        const size_t s = top_ + at + static_cast<size_t>(hit);
        found.emplace_back(s, s + sought.size());
        at += static_cast<size_t>(hit) + sought.size();
    }
    return found;
}

void TextView::addMarkRanges(const Laid& l, const Segment& seg, const std::vector<std::pair<size_t, size_t>>& found,
                             QList<QTextLayout::FormatRange>* ranges) const
{
    const auto add = [&](size_t s0, size_t s1, MarkTint tint) {
        if (s1 <= s0 || s1 <= l.start || s0 > seg.end)
            return;
        QTextLayout::FormatRange range;
        const int u0 = layouts_.layoutUnit(l, layouts_.unitOf(l, std::max(s0, l.start)));
        const int u1 = layouts_.layoutUnit(l, layouts_.unitOf(l, std::min(s1, seg.end)));
        range.start = u0;
        range.length = u1 - u0;
        range.format.setBackground(TintColor(tint));
        if (range.length > 0)
            ranges->append(range);
    };
    for (const auto& [s0, s1] : found)
        add(s0, s1, MarkTint::kOccurrence);
    for (const TextMark& m : marks_.marks)
        add(m.start, m.start + m.length, m.tint);
}

} // namespace mt::platform
