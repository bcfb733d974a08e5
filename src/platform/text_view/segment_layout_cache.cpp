// The multi-line box's layout cache: segments decoded and laid out, rows
// of segments, eviction, and the shift after an edit.
#include "platform/text_view/segment_layout_cache.h"

#include <QFontMetricsF>
#include <QTextOption>

#include <algorithm>
#include <cmath>

#include "platform/text_view/text_decoder.h"

namespace mt::platform {

void SegmentLayoutCache::clear()
{
    laid_.clear();
    carry_.clear();
    ++carryGen_;
}

void SegmentLayoutCache::setWrap(bool wrap)
{
    wrap_ = wrap;
    clear();
}

void SegmentLayoutCache::setAlignment(Qt::Alignment alignment)
{
    alignment_ = alignment;
    clear();
}

void SegmentLayoutCache::setPreedit(size_t seg, const QString& preedit)
{
    preeditSeg_ = seg;
    laid_.erase(preeditSeg_);
    preedit_ = preedit;
}

void SegmentLayoutCache::clearPreedit()
{
    laid_.erase(preeditSeg_);
    preedit_.clear();
}

// Where seg's layout starts: at the segment when it starts its line (or
// rows do not wrap), else where the previous segment's last row starts. Not
// known yet, the segments before it are laid first, at most kCarryWalk of
// them (with `walk`); the first of those starts at its own edge.
size_t SegmentLayoutCache::layoutStart(const Segment& seg, bool walk)
{
    if (!wrap_ || seg.start == text_.lineStart(seg.line))
        return seg.start;
    auto c = carry_.find(seg.start);
    if (c != carry_.end() || !walk)
        return c != carry_.end() ? c->second : seg.start;
    Segment back[kCarryWalk];
    size_t n = 0;
    for (Segment s = seg; n < kCarryWalk;) {
        if (!text_.prevSegment(s, &back[n]) || back[n].line != seg.line)
            break;
        s = back[n++];
        if (s.start == text_.lineStart(s.line) || carry_.count(s.start))
            break;
    }
    while (n > 0)
        lay(back[--n], false);
    c = carry_.find(seg.start);
    return c != carry_.end() ? c->second : seg.start;
}

// Hands the start of l's last row on to the next segment of the line, whose
// layout then shows that row. A segment of one row (a short one, where an
// edit moved an edge) then shows no row of its own.
void SegmentLayoutCache::settleCarry(const Segment& seg, Laid* l)
{
    l->lastHidden = false;
    if (!wrap_ || l->layout.lineCount() == 0 || seg.end >= text_.lineContentEnd(seg.line))
        return;
    const auto [it, added] = carry_.try_emplace(seg.end, l->lastRowStart);
    if (added || it->second != l->lastRowStart) {
        it->second = l->lastRowStart;
        ++carryGen_;
    }
    l->lastHidden = true;
}

SegmentLayoutCache::Laid* SegmentLayoutCache::lay(const Segment& seg, bool walk)
{
    const bool preeditHere = !preedit_.isEmpty() && seg.start == preeditSeg_;
    auto it = laid_.find(seg.start);
    // Checked since the carried starts last changed: nothing to look up
    // (unless it started at its own edge for want of one and may walk now).
    if (it != laid_.end() && it->second->checked == carryGen_ && !(walk && it->second->ownStart) &&
        it->second->end == seg.end && (it->second->preeditAt >= 0) == preeditHere)
        return it->second.get();
    const size_t from = layoutStart(seg, walk);
    // Laying the segments before this one may have evicted its old layout.
    it = laid_.find(seg.start);
    const bool ownStart = from == seg.start && wrap_ && seg.start != text_.lineStart(seg.line);
    if (it != laid_.end() && it->second->end == seg.end && it->second->start == from &&
        (it->second->preeditAt >= 0) == preeditHere) {
        settleCarry(seg, it->second.get());
        it->second->ownStart = ownStart;
        it->second->checked = carryGen_;
        return it->second.get();
    }
    auto l = std::make_unique<Laid>();
    l->seg = seg.start;
    l->start = from;
    l->end = seg.end;
    QString shown;
    DecodeByCharacter(text_.copy(from, seg.end), &shown, &l->unitByte);
    l->layout.setText(shown);
    l->layout.setFont(host_.layoutFont());
    l->layout.setCacheEnabled(true);
    QTextOption option(alignment_);
    option.setWrapMode(wrap_ ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    l->layout.setTextOption(option);
    if (preeditHere) {
        l->preeditAt = unitOf(*l, host_.layoutCaret());
        l->layout.setPreeditArea(l->preeditAt, preedit_);
        // The composition is underlined, as in the platform's own fields.
        QTextLayout::FormatRange underline;
        underline.start = l->preeditAt;
        underline.length = static_cast<int>(preedit_.size());
        underline.format.setFontUnderline(true);
        l->layout.setFormats({underline});
    }
    const int width = host_.layoutWidth();
    qreal y = 0;
    l->layout.beginLayout();
    for (QTextLine line = l->layout.createLine(); line.isValid(); line = l->layout.createLine()) {
        line.setLineWidth(width);
        // A row wider than the view starts at its left edge, whatever the alignment.
        if (!wrap_ && line.naturalTextWidth() > width)
            line.setLineWidth(line.naturalTextWidth());
        line.setPosition(QPointF(0, y));
        y += line.height();
        widest_ = std::max(widest_, static_cast<int>(std::ceil(line.naturalTextWidth())));
    }
    l->layout.endLayout();
    l->height = y;
    l->lastRowStart = l->start;
    if (l->layout.lineCount() > 0)
        l->lastRowStart = byteOfLayoutUnit(*l, l->layout.lineAt(l->layout.lineCount() - 1).textStart());
    settleCarry(seg, l.get());
    l->ownStart = ownStart;
    l->checked = carryGen_;
    Laid* raw = l.get();
    laid_[seg.start] = std::move(l);
    if (laid_.size() > kKeptLayouts || carry_.size() > kKeptCarries)
        evict(raw);
    return raw;
}
// Layouts and carried starts far from both the caret and the view go once
// more than kKeptLayouts / kKeptCarries are held; the layout just made stays.
void SegmentLayoutCache::evict(const Laid* keep)
{
    const size_t top = host_.layoutTop(), caret = host_.layoutCaret();
    const size_t low = std::min(top, caret);
    const size_t keepFrom = low > kKeptBefore * TextBuffer::kSegmentBytes ? low - kKeptBefore * TextBuffer::kSegmentBytes : 0;
    const size_t keepTo = std::max(top, caret) + kKeptAfter * TextBuffer::kSegmentBytes;
    for (auto i = laid_.begin(); i != laid_.end();) {
        if (i->second.get() != keep && (i->first < keepFrom || i->first > keepTo))
            i = laid_.erase(i);
        else
            ++i;
    }
    if (carry_.size() > kKeptCarries) {
        ++carryGen_;
        carry_.erase(carry_.begin(), carry_.lower_bound(keepFrom));
        carry_.erase(carry_.upper_bound(keepTo + TextBuffer::kSegmentBytes), carry_.end());
    }
}

// The shift after an edit of [pos, pos + removed) into `inserted` bytes:
// layouts before it stay, those after it move with their bytes, those it
// touched go. So do the layout starts carried across segment edges, except
// those of segments just after the edit, whose edges the edit may have
// moved; those before it stand (a start depends on the text before it only).
// If the edit re-wraps
// the rows after it, laying the edited segment hands its new last row on
// (settleCarry), and each segment laid after it does the same in turn.
void SegmentLayoutCache::shift(size_t pos, size_t removed, size_t inserted)
{
    const auto delta = static_cast<std::ptrdiff_t>(inserted) - static_cast<std::ptrdiff_t>(removed);
    const auto moved = [delta](size_t at) { return static_cast<size_t>(static_cast<std::ptrdiff_t>(at) + delta); };
    std::map<size_t, std::unique_ptr<Laid>> kept;
    for (auto& [seg, l] : laid_) {
        if (l->end < pos || (l->end == pos && l->preeditAt < 0)) {
            kept.emplace(seg, std::move(l));
        } else if (l->start > pos + removed || (l->start == pos + removed && removed > 0)) {
            l->seg = moved(l->seg);
            l->start = moved(l->start);
            l->end = moved(l->end);
            l->lastRowStart = moved(l->lastRowStart);
            kept.emplace(l->seg, std::move(l));
        }
    }
    laid_ = std::move(kept);
    ++carryGen_;
    if (carry_.empty())
        return;
    const size_t from = pos;
    const size_t settled = pos + inserted + TextBuffer::kSegmentBytes + 4;
    std::vector<decltype(carry_)::node_type> later;
    for (auto it = carry_.upper_bound(from); it != carry_.end();) {
        if (it->first >= pos + removed && moved(it->first) > settled) {
            auto node = carry_.extract(it++);
            node.key() = moved(node.key());
            node.mapped() = moved(node.mapped());
            later.push_back(std::move(node));
        } else {
            it = carry_.erase(it);
        }
    }
    for (auto& node : later)
        carry_.insert(std::move(node));
}

int SegmentLayoutCache::unitOf(const Laid& l, size_t byte) const
{
    const auto rel = static_cast<uint32_t>(std::clamp(byte, l.start, l.end) - l.start);
    return static_cast<int>(std::lower_bound(l.unitByte.begin(), l.unitByte.end(), rel) - l.unitByte.begin());
}

size_t SegmentLayoutCache::byteOf(const Laid& l, int unit) const
{
    unit = std::clamp(unit, 0, static_cast<int>(l.unitByte.size()) - 1);
    return l.start + l.unitByte[static_cast<size_t>(unit)];
}

size_t SegmentLayoutCache::byteOfLayoutUnit(const Laid& l, int unit) const
{
    if (l.preeditAt >= 0 && unit > l.preeditAt)
        unit = std::max(l.preeditAt, unit - static_cast<int>(preedit_.size()));
    return byteOf(l, unit);
}

SegmentLayoutCache::Row SegmentLayoutCache::rowOf(size_t pos)
{
    const Segment seg = text_.segmentAt(pos);
    Laid* l = lay(seg);
    const QTextLine line = l->layout.lineForTextPosition(layoutUnit(*l, unitOf(*l, pos)));
    int n = line.isValid() ? line.lineNumber() : std::max(0, l->layout.lineCount() - 1);
    // In a last row that the next segment's layout shows.
    Segment at = seg;
    for (Segment next; n >= ShownLines(*l) && text_.nextSegment(at, &next);) {
        at = next;
        l = lay(at);
        const QTextLine there = l->layout.lineForTextPosition(layoutUnit(*l, unitOf(*l, pos)));
        n = there.isValid() ? there.lineNumber() : 0;
    }
    return {at, std::min(n, std::max(0, ShownLines(*l) - 1))};
}

size_t SegmentLayoutCache::rowStart(const Row& r)
{
    Laid* l = lay(r.seg);
    if (r.line <= 0 || r.line >= l->layout.lineCount())
        return l->start;
    return byteOfLayoutUnit(*l, l->layout.lineAt(r.line).textStart());
}

bool SegmentLayoutCache::nextRow(Row* r)
{
    if (r->line + 1 < ShownLines(*lay(r->seg))) {
        ++r->line;
        return true;
    }
    // Past segments that show no row of their own.
    for (Segment next = r->seg; text_.nextSegment(next, &next);) {
        if (ShownLines(*lay(next)) > 0) {
            *r = {next, 0};
            return true;
        }
    }
    return false;
}

bool SegmentLayoutCache::prevRow(Row* r)
{
    if (r->line > 0) {
        --r->line;
        return true;
    }
    for (Segment prev = r->seg; text_.prevSegment(prev, &prev);) {
        const int shown = ShownLines(*lay(prev));
        if (shown > 0) {
            *r = {prev, shown - 1};
            return true;
        }
    }
    return false;
}

qreal SegmentLayoutCache::rowHeight(const Row& r)
{
    Laid* l = lay(r.seg);
    if (r.line < l->layout.lineCount())
        return l->layout.lineAt(r.line).height();
    return QFontMetricsF(host_.layoutFont()).height();
}

} // namespace mt::platform
