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
#include "platform/text_words.h"

namespace mt::platform {
namespace {

QString Gb(const char* text, unsigned size) { return FromGb(std::string_view(text, size)); }

// Redo: the platform's keys, and Ctrl+Y beside Ctrl+Shift+Z everywhere.
bool IsRedoKey(const QKeyEvent* event)
{
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    return event->matches(QKeySequence::Redo) ||
           (event->key() == Qt::Key_Y && mods == Qt::ControlModifier) ||
           (event->key() == Qt::Key_Z && mods == (Qt::ControlModifier | Qt::ShiftModifier));
}

} // namespace

TextView::TextView(QWidget* parent) : QAbstractScrollArea(parent)
{
    InstallTextViewAccessibility();
    setAttribute(Qt::WA_InputMethodEnabled, true);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) { barAction_ = action; });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &TextView::onScrollBarValue);
    text_.assign({});
}

TextView::~TextView() = default;

// ---- text -----------------------------------------------------------------------------

void TextView::setBytes(std::string_view gb)
{
    commitComposition();
    text_.assign(gb);
    ++generation_;
    history_.clear();
    caret_ = anchor_ = 0;
    top_ = 0;
    goalX_ = -1;
    widest_ = 0;
    clearLayouts();
    updateScrollBars();
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

void TextView::selectBytes(size_t start, size_t end)
{
    commitComposition();
    const bool caretOnly = end <= start;
    start = text_.stopAtOrBefore(std::min(start, text_.size()));
    end = caretOnly ? start : text_.stopAtOrAfter(end);
    anchor_ = start;
    caret_ = end;
    goalX_ = -1;
    caretMoved();
}

void TextView::replaceSelectionBytes(std::string_view gb)
{
    commitComposition();
    edit(selectionStart(), selectionEnd(), gb, EditKind::kProgram);
}

std::string TextView::shapeInsertion(const QString& text, bool typed) const
{
    QString kept = typed ? FilterTyped(filter_, text) : text;
    // A zero byte would end the text wherever a program reads it.
    kept.remove(QChar(u'\0'));
    return fitToRoom(ToGb(ConvertCase(caseConversion_, kept)));
}

std::string TextView::fitToRoom(std::string gb) const
{
    const size_t room = host_ ? host_->editorInsertRoom() : SIZE_MAX;
    if (gb.size() <= room)
        return gb;
    // Whole characters, CR LF whole, as many as fit.
    size_t n = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(gb.data());
    while (n < gb.size()) {
        size_t len = GbCharLength(p + n, gb.size() - n);
        if (p[n] == '\r' && n + 1 < gb.size() && p[n + 1] == '\n')
            len = 2;
        if (n + len > room)
            break;
        n += len;
    }
    gb.resize(n);
    return gb;
}

void TextView::edit(size_t from, size_t to, std::string_view gb, EditKind kind, bool notify)
{
    const size_t caretBefore = caret_;
    const size_t anchorBefore = anchor_;
    std::string removed = text_.copy(from, to);
    const size_t removedLength = removed.size();
    const bool tell = TextViewsAnnounce();
    const std::string told = tell ? removed : std::string();
    text_.replace(from, removedLength, gb);
    if (kind == EditKind::kProgram)
        history_.clear();
    else
        history_.record(from, std::move(removed), gb.size(), kind == EditKind::kTyping, caretBefore, anchorBefore,
                        text_.size());
    caret_ = anchor_ = from + gb.size();
    if (tell)
        announceEdit(from, told, gb.size());
    afterTextChange(from, removedLength, gb.size());
    if (notify && host_)
        host_->editorTextEdited();
}

void TextView::insertFromUser(const QString& text, bool typed)
{
    if (!readOnly_)
        insertShaped(shapeInsertion(text, typed), typed);
}

void TextView::insertBytesFromUser(std::string gb)
{
    if (readOnly_)
        return;
    if (caseConversion_ != 0) {
        insertFromUser(FromGb(gb), false);
        return;
    }
    // A zero byte would end the text wherever a program reads it.
    gb.erase(std::remove(gb.begin(), gb.end(), '\0'), gb.end());
    insertShaped(fitToRoom(std::move(gb)), false);
}

void TextView::insertShaped(std::string gb, bool typed)
{
    if (gb.empty() && caret_ == anchor_)
        return;
    edit(selectionStart(), selectionEnd(), gb, typed && anchor_ == caret_ ? EditKind::kTyping : EditKind::kUser,
         false);
    // Reported once the inserted text is gone: the listener's reads of a
    // long paste then do not meet it.
    std::string().swap(gb);
    if (host_)
        host_->editorTextEdited();
}

// Layouts before the edit stay, those after it move with their bytes, the
// rest go; the first row in view keeps its place in the text.
void TextView::afterTextChange(size_t pos, size_t removed, size_t inserted)
{
    ++generation_;
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
    if (top_ > pos)
        top_ = top_ >= pos + removed ? static_cast<size_t>(static_cast<std::ptrdiff_t>(top_) + delta) : pos;
    // Never below the top that shows the text's last row at the bottom:
    // after a long text went (an undone paste) the view would show nothing.
    top_ = rowStart(rowOf(std::min(top_, maxTop())));
    goalX_ = -1;
    updateScrollBars();
    caretMoved();
}

// ---- layout ---------------------------------------------------------------------------

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
    if (laid_.size() > 160) { // keep the ones near the caret and the view
        const size_t keepFrom = std::min(top_, caret_) > 64 * TextBuffer::kSegmentBytes
                                    ? std::min(top_, caret_) - 64 * TextBuffer::kSegmentBytes
                                    : 0;
        for (auto i = laid_.begin(); i != laid_.end();) {
            if (i->second.get() != raw && (i->first < keepFrom || i->first > std::max(top_, caret_) + 256 * TextBuffer::kSegmentBytes))
                i = laid_.erase(i);
            else
                ++i;
        }
    }
    return raw;
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

// ---- painting -----------------------------------------------------------------------------

void TextView::paintEvent(QPaintEvent* event)
{
    QPainter p(viewport());
    const QRect clip = event->rect();
    p.fillRect(clip, palette().base());
    const QPalette::ColorGroup group =
        !isEnabled() ? QPalette::Disabled : hasFocus() ? QPalette::Active : QPalette::Inactive;
    p.setPen(palette().color(group, QPalette::Text));
    const size_t s0 = selectionStart();
    const size_t s1 = selectionEnd();
    const qreal x = margin() - horizontalScrollBar()->value();
    Row r = rowOf(top_);
    Laid* l = lay(r.seg);
    qreal y = margin() - (r.line < l->layout.lineCount() ? l->layout.lineAt(r.line).y() : 0);
    Segment seg = r.seg;
    for (;;) {
        l = lay(seg);
        QList<QTextLayout::FormatRange> selections;
        if (s1 > s0 && s1 > seg.start && s0 <= seg.end) {
            QTextLayout::FormatRange range;
            const int u0 = layoutUnit(*l, unitOf(*l, std::max(s0, seg.start)));
            const int u1 = layoutUnit(*l, unitOf(*l, std::min(s1, seg.end)));
            range.start = u0;
            range.length = u1 - u0;
            range.format.setBackground(palette().brush(group, QPalette::Highlight));
            range.format.setForeground(palette().brush(group, QPalette::HighlightedText));
            if (range.length > 0)
                selections.append(range);
        }
        const QRectF segRect(0, y, viewport()->width(), l->height);
        if (segRect.intersects(clip)) {
            l->layout.draw(&p, QPointF(x, y), selections, clip);
            // A selected line break shows as a selected space after the line.
            if (s1 > seg.end && s0 <= seg.end && seg.line + 1 < text_.lineCount() &&
                seg.end == text_.lineContentEnd(seg.line) && l->layout.lineCount() > 0) {
                const QTextLine last = l->layout.lineAt(l->layout.lineCount() - 1);
                int end = last.textStart() + last.textLength();
                const qreal lx = last.cursorToX(&end);
                p.fillRect(QRectF(x + lx, y + last.y(), QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' ')),
                                  last.height()),
                           palette().brush(group, QPalette::Highlight));
            }
        }
        if (dropPos_ != SIZE_MAX && dropPos_ >= seg.start && dropPos_ <= seg.end &&
            text_.segmentAt(dropPos_).start == seg.start)
            l->layout.drawCursor(&p, QPointF(x, y), layoutUnit(*l, unitOf(*l, dropPos_)), 1);
        y += std::max<qreal>(l->height, 1);
        if (y >= viewport()->height())
            break;
        if (!text_.nextSegment(seg, &seg))
            break;
    }
    if (caretShown_ && hasFocus()) {
        const QRect c = caretRect();
        if (!c.isEmpty())
            p.fillRect(QRect(c.left() + 1, c.top(), 1, c.height()), palette().brush(group, QPalette::Text));
    }
}

bool TextView::event(QEvent* event)
{
    if (event->type() == QEvent::Paint) {
        // The scroll area's own paint: the frame and the corner between the bars.
        QPainter p(this);
        p.fillRect(rect(), palette().button());
        PaintEditBorder(&p, rect(), border_, palette());
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
            key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Undo) || IsRedoKey(key) ||
            key->matches(QKeySequence::SelectAll)) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void TextView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    clearLayouts();
    widest_ = 0;
    top_ = rowStart(rowOf(top_));
    updateScrollBars();
}

void TextView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        clearLayouts();
        widest_ = 0;
        top_ = rowStart(rowOf(top_));
        updateScrollBars();
        viewport()->update();
    }
}

void TextView::setBorder(int border)
{
    border_ = border;
    const int w = EditBorderWidth(border);
    // The frame only reserves the width; event() paints it.
    setFrameStyle(w > 0 ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    setLineWidth(w);
    update();
}

void TextView::setWordWrap(bool wrap)
{
    wrap_ = wrap;
    clearLayouts();
    widest_ = 0;
    updateScrollBars();
    viewport()->update();
}

void TextView::setAlignment(Qt::Alignment alignment)
{
    alignment_ = alignment;
    clearLayouts();
    viewport()->update();
}

void TextView::setReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    setAttribute(Qt::WA_InputMethodEnabled, !readOnly);
}

// ---- scrolling ----------------------------------------------------------------------------

int TextView::visibleRows()
{
    const qreal h = QFontMetricsF(font()).height();
    return std::max(1, static_cast<int>((viewport()->height() - 2 * margin()) / std::max<qreal>(h, 1)));
}

// The first row in view when row `last` ends the view.
TextView::Row TextView::firstRowEndingAt(Row last)
{
    qreal room = viewport()->height() - 2 * margin() - rowHeight(last);
    Row first = last;
    for (Row up = last; prevRow(&up); first = up) {
        room -= rowHeight(up);
        if (room < 0)
            break;
    }
    return first;
}

// The first row in view when the last row of the text ends the view.
size_t TextView::maxTop()
{
    Segment last = text_.segmentAt(text_.size());
    return rowStart(firstRowEndingAt(Row{last, std::max(0, lay(last)->layout.lineCount() - 1)}));
}

void TextView::setTop(size_t pos)
{
    top_ = rowStart(rowOf(std::min(pos, maxTop())));
    updateScrollBars();
    viewport()->update();
}

void TextView::scrollRows(int rows)
{
    Row r = rowOf(top_);
    const size_t limit = maxTop();
    for (; rows > 0 && rowStart(r) < limit && nextRow(&r); --rows) {
    }
    for (; rows < 0 && prevRow(&r); ++rows) {
    }
    top_ = rowStart(r);
    updateScrollBars();
    viewport()->update();
}

void TextView::updateScrollBars()
{
    settingBars_ = true;
    const size_t limit = maxTop();
    vShift_ = 0;
    while ((limit >> vShift_) > 0x3FFFFFFF)
        ++vShift_;
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, static_cast<int>(limit >> vShift_));
    // The bytes in view, for the size of the handle.
    Row r = rowOf(top_);
    qreal room = viewport()->height() - 2 * margin();
    size_t shown = 0;
    for (;;) {
        room -= rowHeight(r);
        Row next = r;
        if (room < 0 || !nextRow(&next)) {
            shown = (room < 0 ? rowStart(r) : text_.size()) - top_;
            break;
        }
        r = next;
    }
    v->setPageStep(std::max(1, static_cast<int>(shown >> vShift_)));
    v->setValue(static_cast<int>(top_ >> vShift_));
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, wrap_ ? 0 : std::max(0, widest_ + 2 * margin() + 2 - viewport()->width()));
    h->setPageStep(std::max(1, viewport()->width()));
    h->setSingleStep(std::max(1, QFontMetrics(font()).averageCharWidth() * 2));
    settingBars_ = false;
}

void TextView::onScrollBarValue(int value)
{
    if (settingBars_)
        return;
    const int action = barAction_;
    barAction_ = 0;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: scrollRows(1); break;
    case QAbstractSlider::SliderSingleStepSub: scrollRows(-1); break;
    case QAbstractSlider::SliderPageStepAdd: scrollRows(visibleRows() - 1); break;
    case QAbstractSlider::SliderPageStepSub: scrollRows(1 - visibleRows()); break;
    default: setTop(text_.stopAtOrBefore(static_cast<size_t>(value) << vShift_)); break;
    }
}

void TextView::scrollContentsBy(int, int) { viewport()->update(); }

void TextView::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    if (std::abs(delta.y()) >= std::abs(delta.x()) && delta.y() != 0) {
        scrollRows(-delta.y() * QApplication::wheelScrollLines() / 120);
    } else if (delta.x() != 0 && !wrap_) {
        QScrollBar* h = horizontalScrollBar();
        h->setValue(h->value() - delta.x() * h->singleStep() / 40);
    }
    event->accept();
}

QRect TextView::caretRect()
{
    const Row r = caretRow();
    Laid* l = lay(r.seg);
    qreal y = margin();
    Row walk = rowOf(top_);
    int guard = visibleRows() + 2;
    while (rowStart(walk) < rowStart(r) && guard-- > 0) {
        y += rowHeight(walk);
        if (!nextRow(&walk))
            break;
    }
    if (guard <= 0 || rowStart(r) < top_)
        return {};
    int unit = unitOf(*l, caret_);
    unit = l->preeditAt >= 0 ? l->preeditAt + preeditCursor_ : unit;
    const QTextLine line = l->layout.lineAt(std::min(r.line, std::max(0, l->layout.lineCount() - 1)));
    const qreal x = line.isValid() ? line.cursorToX(unit) : 0;
    return QRect(static_cast<int>(x) + margin() - horizontalScrollBar()->value() - 1, static_cast<int>(y), 3,
                 static_cast<int>(std::ceil(rowHeight(r))));
}

// The box of the character at pos, in the viewport; empty when it is not in view.
QRect TextView::characterRect(size_t pos)
{
    if (pos >= text_.size())
        return {};
    const Row target = rowOf(pos);
    if (rowStart(target) < top_)
        return {};
    qreal y = margin();
    for (Row walk = rowOf(top_); walk.seg.start != target.seg.start || walk.line != target.line;) {
        y += rowHeight(walk);
        if (y >= viewport()->height() || !nextRow(&walk))
            return {};
    }
    Laid* l = lay(target.seg);
    if (target.line >= l->layout.lineCount())
        return {};
    const QTextLine line = l->layout.lineAt(target.line);
    const qreal x0 = line.cursorToX(layoutUnit(*l, unitOf(*l, pos)));
    qreal x1 = line.cursorToX(layoutUnit(*l, unitOf(*l, std::min(text_.nextStop(pos), l->end))));
    if (x1 <= x0) // a line break: as wide as a space
        x1 = x0 + QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' '));
    const qreal dx = margin() - horizontalScrollBar()->value();
    return QRectF(x0 + dx, y, x1 - x0, line.height()).toAlignedRect();
}

bool TextView::positionAt(const QPoint& point, size_t* pos)
{
    if (!viewport()->rect().contains(point))
        return false;
    *pos = hit(point);
    return true;
}

void TextView::replaceBytes(size_t from, size_t to, std::string_view gb)
{
    commitComposition();
    if (readOnly_)
        return;
    from = text_.stopAtOrBefore(std::min(from, text_.size()));
    anchor_ = from;
    caret_ = std::max(from, text_.stopAtOrAfter(std::min(to, text_.size())));
    insertBytesFromUser(std::string(gb));
}

void TextView::ensureCaretVisible()
{
    const Row r = caretRow();
    const size_t at = rowStart(r);
    if (at < top_) {
        setTop(at);
    } else {
        // Walk down from the top as far as the view reaches.
        qreal room = viewport()->height() - 2 * margin();
        Row walk = rowOf(top_);
        bool inView = false;
        for (;;) {
            room -= rowHeight(walk);
            if (room < 0)
                break;
            if (rowStart(walk) == at) {
                inView = true;
                break;
            }
            if (!nextRow(&walk))
                break;
        }
        if (!inView)
            setTop(rowStart(firstRowEndingAt(r)));
    }
    if (!wrap_) {
        Laid* l = lay(r.seg);
        const QTextLine line = l->layout.lineAt(std::min(r.line, std::max(0, l->layout.lineCount() - 1)));
        if (line.isValid()) {
            widest_ = std::max(widest_, static_cast<int>(std::ceil(line.naturalTextWidth())));
            updateScrollBars();
            const int x = static_cast<int>(line.cursorToX(unitOf(*l, caret_)));
            QScrollBar* h = horizontalScrollBar();
            const int w = textWidth();
            if (x < h->value())
                h->setValue(std::max(0, x - w / 4));
            else if (x > h->value() + w - 2)
                h->setValue(x - w + w / 4);
        }
    }
}

void TextView::caretMoved(bool reveal)
{
    if (reveal)
        ensureCaretVisible();
    restartBlink();
    viewport()->update();
    if (TextViewsAnnounce())
        announceCaret();
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle | Qt::ImCursorPosition | Qt::ImAnchorPosition);
}

void TextView::restartBlink()
{
    caretShown_ = true;
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash > 0)
        blink_.start(flash / 2, this);
    else
        blink_.stop();
}

void TextView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == blink_.timerId()) {
        caretShown_ = !caretShown_;
        viewport()->update(caretRect().adjusted(-2, 0, 2, 0));
    } else if (event->timerId() == autoScroll_.timerId()) {
        const QRect r = viewport()->rect();
        if (dragPoint_.y() < r.top())
            scrollRows(-1);
        else if (dragPoint_.y() > r.bottom())
            scrollRows(1);
        if (!wrap_) {
            QScrollBar* h = horizontalScrollBar();
            if (dragPoint_.x() < r.left())
                h->setValue(h->value() - h->singleStep());
            else if (dragPoint_.x() > r.right())
                h->setValue(h->value() + h->singleStep());
        }
        caret_ = hit(dragPoint_);
        viewport()->update();
    } else if (event->timerId() == tripleClick_.timerId()) {
        tripleClick_.stop();
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

// ---- caret movement -------------------------------------------------------------------

void TextView::setCaret(size_t pos, bool keepAnchor, bool afterRow)
{
    caret_ = std::min(pos, text_.size());
    caretAfterRow_ = afterRow ? caret_ : SIZE_MAX;
    if (!keepAnchor)
        anchor_ = caret_;
    history_.seal();
    caretMoved();
}

TextView::Row TextView::caretRow()
{
    const Row r = rowOf(caret_);
    Row up = r;
    if (caretAfterRow_ == caret_ && caret_ > 0 && rowStart(r) == caret_ && prevRow(&up) && up.seg.line == r.seg.line)
        return up;
    return r;
}

void TextView::moveVertically(int rows, bool keepAnchor)
{
    Row r = caretRow();
    Laid* l = lay(r.seg);
    if (goalX_ < 0 && r.line < l->layout.lineCount())
        goalX_ = l->layout.lineAt(r.line).cursorToX(unitOf(*l, caret_));
    bool moved = false;
    for (; rows > 0 && nextRow(&r); --rows)
        moved = true;
    for (; rows < 0 && prevRow(&r); ++rows)
        moved = true;
    size_t pos = rows > 0 ? text_.size() : rows < 0 ? 0 : caret_;
    bool afterRow = false;
    if (moved && rows == 0) {
        l = lay(r.seg);
        if (r.line < l->layout.lineCount()) {
            const int unit = l->layout.lineAt(r.line).xToCursor(std::max<qreal>(goalX_, 0));
            pos = text_.stopAtOrBefore(byteOf(*l, unit));
            // The end of a wrapped row is the start of the next one: the caret stays on this row.
            Row next = r;
            afterRow = pos > rowStart(r) && nextRow(&next) && next.seg.line == r.seg.line && pos >= rowStart(next);
        }
    }
    const qreal goal = goalX_;
    setCaret(pos, keepAnchor, afterRow);
    goalX_ = goal;
}

void TextView::keyPressEvent(QKeyEvent* event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (event->matches(QKeySequence::Copy)) {
        copy();
    } else if (event->matches(QKeySequence::Cut)) {
        cut();
    } else if (event->matches(QKeySequence::Paste)) {
        paste();
    } else if (event->matches(QKeySequence::Undo)) {
        undo();
    } else if (IsRedoKey(event)) {
        redo();
    } else if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
    } else {
        switch (event->key()) {
        case Qt::Key_Left:
            if (!shift && caret_ != anchor_ && !ctrl)
                setCaret(selectionStart(), false);
            else
                setCaret(ctrl ? WordLeft(text_, caret_) : text_.prevStop(caret_), shift);
            break;
        case Qt::Key_Right:
            if (!shift && caret_ != anchor_ && !ctrl)
                setCaret(selectionEnd(), false);
            else
                setCaret(ctrl ? WordRight(text_, caret_) : text_.nextStop(caret_), shift);
            break;
        case Qt::Key_Up: moveVertically(-1, shift); break;
        case Qt::Key_Down: moveVertically(1, shift); break;
        case Qt::Key_PageUp:
            scrollRows(1 - visibleRows());
            moveVertically(1 - visibleRows(), shift);
            break;
        case Qt::Key_PageDown:
            scrollRows(visibleRows() - 1);
            moveVertically(visibleRows() - 1, shift);
            break;
        case Qt::Key_Home:
            setCaret(ctrl ? 0 : rowStart(caretRow()), shift);
            break;
        case Qt::Key_End:
            if (ctrl) {
                setCaret(text_.size(), shift);
            } else {
                // After the row's last character; on a wrapped row that is
                // where the next row starts, and the caret stays drawn here.
                const Row r = caretRow();
                Row next = r;
                const bool wrapped = nextRow(&next) && next.seg.line == r.seg.line;
                setCaret(wrapped ? rowStart(next) : r.seg.end, shift, wrapped);
            }
            break;
        case Qt::Key_Backspace:
            if (readOnly_)
                break;
            if (caret_ != anchor_)
                deleteSelection();
            else if (caret_ > 0)
                edit(ctrl ? WordLeft(text_, caret_) : text_.prevStop(caret_), caret_, {}, EditKind::kUser);
            break;
        case Qt::Key_Delete:
            if (readOnly_)
                break;
            if (caret_ != anchor_)
                deleteSelection();
            else if (caret_ < text_.size())
                edit(caret_, ctrl ? WordRight(text_, caret_) : text_.nextStop(caret_), {}, EditKind::kUser);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
                event->ignore();
                return;
            }
            insertFromUser(QStringLiteral("\r\n"), false);
            break;
        default: {
            const QString typed = event->text();
            bool printable = !typed.isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
            for (QChar c : typed)
                printable = printable && c.unicode() >= 32 && c.unicode() != 127;
            if (!printable) {
                event->ignore();
                return;
            }
            insertFromUser(typed, true);
        }
        }
    }
    if (shift && caret_ != anchor_)
        publishSelection();
    event->accept();
}

// ---- mouse -------------------------------------------------------------------------------

size_t TextView::hit(const QPoint& point)
{
    hitAfterRow_ = false;
    Row r = rowOf(top_);
    qreal y = margin();
    if (point.y() >= y) {
        for (;;) {
            const qreal h = rowHeight(r);
            if (point.y() < y + h)
                break;
            Row next = r;
            if (!nextRow(&next))
                return text_.size();
            y += h;
            r = next;
        }
    }
    Laid* l = lay(r.seg);
    if (r.line >= l->layout.lineCount())
        return r.seg.start;
    const qreal x = point.x() - margin() + horizontalScrollBar()->value();
    const QTextLine line = l->layout.lineAt(r.line);
    // Past the middle of a wrapped row's last character: the row's end,
    // which the layout gives as the last character's start.
    Row next = r;
    const int end = line.textStart() + line.textLength();
    if (line.textLength() > 0 && nextRow(&next) && next.seg.line == r.seg.line &&
        x >= (line.cursorToX(end - 1) + line.cursorToX(end)) / 2) {
        hitAfterRow_ = true;
        return rowStart(next);
    }
    int unit = line.xToCursor(x);
    if (l->preeditAt >= 0 && unit > l->preeditAt)
        unit = std::max(l->preeditAt, unit - static_cast<int>(preedit_.size()));
    return text_.stopAtOrBefore(byteOf(*l, unit));
}

void TextView::mousePressEvent(QMouseEvent* event)
{
    commitComposition();
    const QPoint pt = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (tripleClick_.isActive() && (pt - tripleClickPoint_).manhattanLength() < QApplication::startDragDistance()) {
            tripleClick_.stop();
            // The clicked line; the view stays where it is, whatever the
            // line's length.
            const size_t line = text_.lineOf(hit(pt));
            anchor_ = text_.lineStart(line);
            caret_ = text_.lineEnd(line);
            caretAfterRow_ = SIZE_MAX;
            caretMoved(false);
            publishSelection();
            return;
        }
        const size_t pos = hit(pt);
        const bool shift = event->modifiers() & Qt::ShiftModifier;
        if (!shift && caret_ != anchor_ && pos >= selectionStart() && pos < selectionEnd()) {
            // Perhaps the start of dragging the selection; a release without a
            // move places the caret.
            pressInSelection_ = true;
            pressPoint_ = pt;
            return;
        }
        setCaret(pos, shift, hitAfterRow_);
        dragging_ = true;
    } else if (event->button() == Qt::MiddleButton) {
        pastePrimary(pt);
    }
}

void TextView::mouseMoveEvent(QMouseEvent* event)
{
    if (pressInSelection_ && (event->buttons() & Qt::LeftButton)) {
        if ((event->position().toPoint() - pressPoint_).manhattanLength() >= QApplication::startDragDistance()) {
            pressInSelection_ = false;
            startDrag();
        }
        return;
    }
    if (!dragging_ || !(event->buttons() & Qt::LeftButton))
        return;
    dragPoint_ = event->position().toPoint();
    if (viewport()->rect().contains(dragPoint_))
        autoScroll_.stop();
    else if (!autoScroll_.isActive())
        autoScroll_.start(50, this);
    const size_t pos = hit(dragPoint_);
    if (pos != caret_) {
        caret_ = pos;
        caretAfterRow_ = hitAfterRow_ ? pos : SIZE_MAX;
        caretMoved();
    }
}

void TextView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (pressInSelection_) {
            pressInSelection_ = false;
            setCaret(hit(event->position().toPoint()), false);
        }
        dragging_ = false;
        autoScroll_.stop();
        publishSelection();
    }
}

void TextView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pt = event->position().toPoint();
    const size_t pos = hit(pt);
    size_t start, end;
    WordAt(text_, pos, &start, &end);
    anchor_ = start;
    caret_ = end;
    caretMoved();
    publishSelection();
    tripleClickPoint_ = pt;
    tripleClick_.start(QApplication::doubleClickInterval(), this);
}

// ---- actions -------------------------------------------------------------------------------

void TextView::undo() { stepHistory(false); }

void TextView::redo() { stepHistory(true); }

// Takes back the last edit, or does again the last one taken back.
void TextView::stepHistory(bool forward)
{
    if (readOnly_)
        return;
    commitComposition();
    size_t caret, anchor;
    const bool stepped = forward ? history_.redo(&text_, &caret, &anchor) : history_.undo(&text_, &caret, &anchor);
    if (!stepped)
        return;
    clearLayouts();
    caret_ = std::min(caret, text_.size());
    anchor_ = std::min(anchor, text_.size());
    if (TextViewsAnnounce())
        announceEdit(history_.lastStepped().pos, history_.lastStepped().outside, history_.lastStepped().inText);
    afterTextChange(0, 0, 0);
    if (host_)
        host_->editorTextEdited();
}

void TextView::deleteSelection()
{
    commitComposition();
    if (!readOnly_ && caret_ != anchor_)
        edit(selectionStart(), selectionEnd(), {}, EditKind::kUser);
}

void TextView::selectAll()
{
    commitComposition();
    anchor_ = 0;
    caret_ = text_.size();
    caretMoved();
    publishSelection();
}

void TextView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    const bool selected = caret_ != anchor_;
    const bool canPaste = MimeHasText(QGuiApplication::clipboard()->mimeData());
    struct Item {
        const char* text;
        unsigned size;
        void (TextView::*action)();
        bool enabled;
    };
    const Item items[] = {
        {gb::kMenuUndo, gb::kMenuUndoSize, &TextView::undo, !readOnly_ && history_.canUndo()},
        {gb::kMenuRedo, gb::kMenuRedoSize, &TextView::redo, !readOnly_ && history_.canRedo()},
        {nullptr, 0, nullptr, false},
        {gb::kMenuCut, gb::kMenuCutSize, &TextView::cut, !readOnly_ && selected},
        {gb::kMenuCopy, gb::kMenuCopySize, nullptr, selected},
        {gb::kMenuPaste, gb::kMenuPasteSize, &TextView::paste, !readOnly_ && canPaste},
        {gb::kMenuDelete, gb::kMenuDeleteSize, &TextView::deleteSelection, !readOnly_ && selected},
        {nullptr, 0, nullptr, false},
        {gb::kMenuSelectAll, gb::kMenuSelectAllSize, &TextView::selectAll, text_.size() > 0},
    };
    for (const Item& item : items) {
        if (!item.text) {
            menu.addSeparator();
            continue;
        }
        QAction* a = menu.addAction(Gb(item.text, item.size));
        a->setEnabled(item.enabled);
        if (item.action)
            connect(a, &QAction::triggered, this, item.action);
        else
            connect(a, &QAction::triggered, this, [this] { copy(); });
    }
    menu.exec(event->globalPos());
}

// ---- focus and input methods ------------------------------------------------------------

void TextView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    restartBlink();
    viewport()->update();
    if (host_)
        host_->editorFocusChanged(true);
}

void TextView::focusOutEvent(QFocusEvent* event)
{
    commitComposition();
    QAbstractScrollArea::focusOutEvent(event);
    blink_.stop();
    caretShown_ = false;
    history_.seal();
    viewport()->update();
    if (host_)
        host_->editorFocusChanged(false);
}

// A composition still under way goes into the text where it is being
// composed: the input method is asked to commit it, and a composition it
// leaves standing is taken as typed. Called before anything else moves the
// caret or changes the text.
void TextView::commitComposition()
{
    if (preedit_.isEmpty())
        return;
    QGuiApplication::inputMethod()->commit();
    if (preedit_.isEmpty())
        return;
    const QString composed = preedit_;
    laid_.erase(text_.segmentAt(caret_).start);
    preedit_.clear();
    preeditCursor_ = 0;
    QGuiApplication::inputMethod()->reset();
    insertFromUser(composed, true);
}

void TextView::inputMethodEvent(QInputMethodEvent* event)
{
    if (readOnly_) {
        event->ignore();
        return;
    }
    const Segment before = text_.segmentAt(caret_);
    laid_.erase(before.start);
    // A composition begun over a selection replaces it, as typing would:
    // it is never drawn inside the selection.
    if (!event->preeditString().isEmpty() && preedit_.isEmpty() && caret_ != anchor_ &&
        event->commitString().isEmpty() && event->replacementLength() == 0) {
        edit(selectionStart(), selectionEnd(), {}, EditKind::kUser);
        laid_.erase(text_.segmentAt(caret_).start);
    }
    preedit_ = event->preeditString();
    preeditCursor_ = static_cast<int>(preedit_.size());
    for (const QInputMethodEvent::Attribute& a : event->attributes()) {
        if (a.type == QInputMethodEvent::Cursor)
            preeditCursor_ = std::clamp(a.start, 0, static_cast<int>(preedit_.size()));
    }
    if (!event->commitString().isEmpty() || event->replacementLength() > 0) {
        if (event->replacementLength() > 0 && caret_ == anchor_) {
            // Characters around the caret the input method takes back.
            size_t from = caret_;
            for (int i = 0; i > event->replacementStart(); --i)
                from = text_.prevStop(from);
            size_t to = from;
            for (int i = 0; i < event->replacementLength(); ++i)
                to = text_.nextStop(to);
            anchor_ = from;
            caret_ = to;
        }
        insertFromUser(event->commitString(), true);
    }
    laid_.erase(text_.segmentAt(caret_).start);
    caretMoved();
    event->accept();
}

QVariant TextView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    auto* self = const_cast<TextView*>(this);
    switch (query) {
    case Qt::ImEnabled: return !readOnly_;
    case Qt::ImHints: return static_cast<int>(Qt::ImhMultiLine);
    case Qt::ImFont: return font();
    case Qt::ImCursorRectangle: return QRectF(self->caretRect().translated(viewport()->pos()));
    case Qt::ImSurroundingText:
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition: {
        const Segment seg = text_.segmentAt(caret_);
        Laid* l = self->lay(seg);
        if (query == Qt::ImSurroundingText)
            return l->layout.text();
        if (query == Qt::ImCursorPosition)
            return unitOf(*l, caret_);
        return unitOf(*l, std::clamp(anchor_, seg.start, seg.end));
    }
    case Qt::ImCurrentSelection:
        return selectionEnd() - selectionStart() <= 65536 ? FromGb(text_.copy(selectionStart(), selectionEnd()))
                                                          : QString();
    default: return QAbstractScrollArea::inputMethodQuery(query);
    }
}

} // namespace mt::platform
