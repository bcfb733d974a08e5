// The multi-line box's layout cache: the segments of a TextBuffer decoded
// and laid out, kept by segment start, and the rows they make.
//
// A line is laid out one segment at a time (see TextBuffer). A segment of a
// wrapped line after the first starts its layout where the previous
// segment's last row starts, so that row goes on across the segment's edge:
// the previous layout's last line is then not shown (lastHidden), this
// layout's first line shows it continued. Those carried starts are kept
// beside the layouts. Layouts far from the caret and the view go once more
// than kKeptLayouts are held; an edit shifts the layouts after it and drops
// those it touched.
//
// The cache lays out text (QTextLayout) but knows no widget: what it needs of
// its view (the width rows wrap at, the font, where the view and the caret
// stand) it asks of its Host.
#pragma once

#include <QFont>
#include <QString>
#include <QTextLayout>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/text_view/text_buffer.h"

namespace mt::platform {

class SegmentLayoutCache {
public:
    using Segment = TextBuffer::Segment;

    // What the cache asks of the view it lays out for.
    class Host {
    public:
        virtual int layoutWidth() const = 0;
        virtual const QFont& layoutFont() const = 0;
        // The first byte in view and the caret: eviction keeps what is near them.
        virtual size_t layoutTop() const = 0;
        virtual size_t layoutCaret() const = 0;

    protected:
        ~Host() = default;
    };

    // One segment decoded and laid out.
    struct Laid {
        size_t seg = 0;   // the segment's start
        size_t start = 0; // the layout's: the segment's, or carried back
        size_t end = 0;
        size_t lastRowStart = 0;        // where its last line starts
        bool lastHidden = false;        // the next segment's layout shows its last line
        bool ownStart = false;          // starts at its segment for want of a carried start
        uint64_t checked = UINT64_MAX;  // carryGen_ when its start was last checked
        std::vector<uint32_t> unitByte; // per unit (and one past): its character's byte offset
        QTextLayout layout;
        qreal height = 0;
        int preeditAt = -1; // the unit the preedit stands at, or -1
    };
    // A row: one line of a segment's layout, its last one only when the
    // next segment's layout does not show it.
    struct Row {
        Segment seg;
        int line;
    };

    // Layouts kept at most before those far from the caret and the view go:
    // a view is a few dozen segments at most, and a layout costs some tens
    // of KiB, so this holds a screen's worth several times over.
    static constexpr size_t kKeptLayouts = 160;
    // What "far" is, in segments before the nearer and after the farther
    // of the caret and the view's top: room for paging either way.
    static constexpr size_t kKeptBefore = 64;
    static constexpr size_t kKeptAfter = 256;
    // Carried layout starts are two numbers each, but every edit moves
    // those after it: beyond this many, those outside the same reach go.
    static constexpr size_t kKeptCarries = 1024;
    // How far back a segment's layout start is looked for: a jump into a
    // long line lays this many segments before the one shown, no more (each
    // costs a layout on the jump); the one before those starts at its own
    // edge until rows above it are shown.
    static constexpr size_t kCarryWalk = 1;

    SegmentLayoutCache(const TextBuffer& text, const Host& host) : text_(text), host_(host) {}

    // ---- how rows are laid out: each change drops every layout --------------
    void setWrap(bool wrap);
    void setAlignment(Qt::Alignment alignment);
    // Drops every layout and carried start (the text, font or width changed).
    void clear();

    // ---- the composition under way, shown inside the layout of segment seg --
    void setPreedit(size_t seg, const QString& preedit);
    void clearPreedit();
    const QString& preedit() const { return preedit_; }

    // ---- layouts ------------------------------------------------------------
    // seg's layout, made if it is not held or no longer fits; walk: its
    // carried start may be looked for in the segments before it.
    Laid* lay(const Segment& seg, bool walk = true);
    // The shift after an edit of [pos, pos + removed) into `inserted` bytes.
    void shift(size_t pos, size_t removed, size_t inserted);
    size_t laidCount() const { return laid_.size(); }
    size_t carryCount() const { return carry_.size(); }
    bool holds(size_t seg) const { return laid_.count(seg) != 0; }
    // The widest row laid out since forgetWidest (or noted).
    int widest() const { return widest_; }
    void noteWidth(int width) { widest_ = std::max(widest_, width); }
    void forgetWidest() { widest_ = 0; }

    // ---- units and bytes of a layout -------------------------------------------
    int unitOf(const Laid& l, size_t byte) const; // byte: absolute, inside the segment
    size_t byteOf(const Laid& l, int unit) const; // absolute
    int layoutUnit(const Laid& l, int unit) const // with the preedit in front of it
    {
        return l.preeditAt >= 0 && unit >= l.preeditAt ? unit + static_cast<int>(preedit_.size()) : unit;
    }
    // The byte of a layout's unit counted with the preedit in it.
    size_t byteOfLayoutUnit(const Laid& l, int unit) const;
    static int ShownLines(const Laid& l) { return l.layout.lineCount() - (l.lastHidden ? 1 : 0); }

    // ---- the row walk ------------------------------------------------------------
    Row rowOf(size_t pos);
    size_t rowStart(const Row& r);
    bool nextRow(Row* r);
    bool prevRow(Row* r);
    qreal rowHeight(const Row& r);

private:
    size_t layoutStart(const Segment& seg, bool walk);
    void settleCarry(const Segment& seg, Laid* l);
    void evict(const Laid* keep);

    const TextBuffer& text_;
    const Host& host_;
    bool wrap_ = true;
    Qt::Alignment alignment_ = Qt::AlignLeft;
    std::map<size_t, std::unique_ptr<Laid>> laid_; // by segment start
    std::map<size_t, size_t> carry_;               // segment start -> its layout's start
    uint64_t carryGen_ = 0;                        // counts changes of carry_
    QString preedit_;
    size_t preeditSeg_ = SIZE_MAX; // the segment whose layout shows the preedit
    int widest_ = 0;               // the widest row laid out so far
};

} // namespace mt::platform
