// The multi-line box's layout cache: segments decoded and laid out, rows
// of segments, eviction, and the shift after an edit.
#include "platform/text_view.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTimerEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "platform/platform_texts.h"
#include "platform/text_codec.h"
#include "platform/text_decoder.h"
#include "platform/text_mime.h"
#include "platform/text_view_keys.h"
#include "platform/text_words.h"

namespace mt::platform {

void TextView::clearLayouts() { laid_.clear(); }

TextView::Laid* TextView::lay(const Segment& seg)
{
    const bool preeditHere = !preedit_.isEmpty() && caret_ >= seg.start && caret_ <= seg.end &&
                             text_.segmentAt(caret_).start == seg.start;
    auto it = laid_.find(seg.start);
    if (it != laid_.end() && it->second->end == seg.end && (it->second->preeditAt >= 0) == preeditHere)
        return it->second.get();
    auto l = std::make_unique<Laid>();
    l->start = seg.start;
    l->end = seg.end;
    QString shown;
    DecodeByCharacter(text_.copy(seg.start, seg.end), &shown, &l->unitByte);
    l->layout.setText(shown);
    l->layout.setFont(font());
    l->layout.setCacheEnabled(true);
    QTextOption option(alignment_);
    option.setWrapMode(wrap_ ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    l->layout.setTextOption(option);
    if (preeditHere) {
        l->preeditAt = unitOf(*l, caret_);
        l->layout.setPreeditArea(l->preeditAt, preedit_);
        // The composition is underlined, as in the platform's own fields.
        QTextLayout::FormatRange underline;
        underline.start = l->preeditAt;
        underline.length = static_cast<int>(preedit_.size());
        underline.format.setFontUnderline(true);
        l->layout.setFormats({underline});
    }
    const int width = textWidth();
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
    Laid* raw = l.get();
    laid_[seg.start] = std::move(l);
    if (laid_.size() > kKeptLayouts)
        evictLayouts(raw);
    return raw;
}
// Layouts far from both the caret and the view go once more than
// kKeptLayouts are held; the one just made stays.
void TextView::evictLayouts(const Laid* keep)
{
    const size_t low = std::min(top_, caret_);
    const size_t keepFrom = low > kKeptBefore * TextBuffer::kSegmentBytes ? low - kKeptBefore * TextBuffer::kSegmentBytes : 0;
    const size_t keepTo = std::max(top_, caret_) + kKeptAfter * TextBuffer::kSegmentBytes;
    for (auto i = laid_.begin(); i != laid_.end();) {
        if (i->second.get() != keep && (i->first < keepFrom || i->first > keepTo))
            i = laid_.erase(i);
        else
            ++i;
    }
}

// The shift after an edit of [pos, pos + removed) into `inserted` bytes:
// layouts before it stay, those after it move with their bytes, those it
// touched go.
void TextView::shiftLayouts(size_t pos, size_t removed, size_t inserted)
{
    const auto delta = static_cast<std::ptrdiff_t>(inserted) - static_cast<std::ptrdiff_t>(removed);
    std::map<size_t, std::unique_ptr<Laid>> kept;
    for (auto& [start, l] : laid_) {
        if (l->end < pos || (l->end == pos && l->preeditAt < 0)) {
            kept.emplace(start, std::move(l));
        } else if (start > pos + removed || (start == pos + removed && removed > 0)) {
            l->start = static_cast<size_t>(static_cast<std::ptrdiff_t>(l->start) + delta);
            l->end = static_cast<size_t>(static_cast<std::ptrdiff_t>(l->end) + delta);
            kept.emplace(l->start, std::move(l));
        }
    }
    laid_ = std::move(kept);
}

int TextView::unitOf(const Laid& l, size_t byte) const
{
    const auto rel = static_cast<uint32_t>(std::clamp(byte, l.start, l.end) - l.start);
    return static_cast<int>(std::lower_bound(l.unitByte.begin(), l.unitByte.end(), rel) - l.unitByte.begin());
}

size_t TextView::byteOf(const Laid& l, int unit) const
{
    unit = std::clamp(unit, 0, static_cast<int>(l.unitByte.size()) - 1);
    return l.start + l.unitByte[static_cast<size_t>(unit)];
}

int TextView::layoutUnit(const Laid& l, int unit) const
{
    return l.preeditAt >= 0 && unit >= l.preeditAt ? unit + static_cast<int>(preedit_.size()) : unit;
}

TextView::Row TextView::rowOf(size_t pos)
{
    const Segment seg = text_.segmentAt(pos);
    Laid* l = lay(seg);
    const QTextLine line = l->layout.lineForTextPosition(layoutUnit(*l, unitOf(*l, pos)));
    return {seg, line.isValid() ? line.lineNumber() : std::max(0, l->layout.lineCount() - 1)};
}

size_t TextView::rowStart(const Row& r)
{
    Laid* l = lay(r.seg);
    if (r.line <= 0 || r.line >= l->layout.lineCount())
        return r.seg.start;
    int unit = l->layout.lineAt(r.line).textStart();
    if (l->preeditAt >= 0 && unit > l->preeditAt)
        unit = std::max(l->preeditAt, unit - static_cast<int>(preedit_.size()));
    return byteOf(*l, unit);
}

bool TextView::nextRow(Row* r)
{
    if (r->line + 1 < lay(r->seg)->layout.lineCount()) {
        ++r->line;
        return true;
    }
    Segment next;
    if (!text_.nextSegment(r->seg, &next))
        return false;
    *r = {next, 0};
    return true;
}

bool TextView::prevRow(Row* r)
{
    if (r->line > 0) {
        --r->line;
        return true;
    }
    Segment prev;
    if (!text_.prevSegment(r->seg, &prev))
        return false;
    *r = {prev, std::max(0, lay(prev)->layout.lineCount() - 1)};
    return true;
}

qreal TextView::rowHeight(const Row& r)
{
    Laid* l = lay(r.seg);
    if (r.line < l->layout.lineCount())
        return l->layout.lineAt(r.line).height();
    return QFontMetricsF(font()).height();
}

int TextView::textWidth() const { return std::max(1, viewport()->width() - 2 * margin()); }

TextView::Row TextView::caretRow()
{
    const Row r = rowOf(caret_);
    Row up = r;
    if (caretAfterRow_ == caret_ && caret_ > 0 && rowStart(r) == caret_ && prevRow(&up) && up.seg.line == r.seg.line)
        return up;
    return r;
}

} // namespace mt::platform
