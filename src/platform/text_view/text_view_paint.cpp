// The multi-line box on screen: painting, scrolling, the caret and where
// characters are.
#include "platform/text_view/text_view.h"

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

#include "platform/edit/edit_widgets.h"
#include "platform/platform_texts.h"
#include "platform/system/text_mime.h"
#include "platform/text_codec.h"
#include "platform/text_view/text_decoder.h"
#include "platform/text_view/text_view_keys.h"
#include "platform/text_view/text_words.h"

namespace mt::platform {

void TextView::paintEvent(QPaintEvent* event)
{
    QPainter p(viewport());
    const QRect clip = event->rect();
    p.fillRect(clip, palette().base());
    const QPalette::ColorGroup group =
        !isEnabled() ? QPalette::Disabled : hasFocus() ? QPalette::Active
                                                       : QPalette::Inactive;
    p.setPen(palette().color(group, QPalette::Text));
    const size_t s0 = selectionStart();
    const size_t s1 = selectionEnd();
    const qreal x = margin() - horizontalScrollBar()->value();
    Row r = layouts_.rowOf(top_);
    Laid* l = layouts_.lay(r.seg);
    qreal y = margin() - (r.line < l->layout.lineCount() ? l->layout.lineAt(r.line).y() : 0);
    Segment seg = r.seg;
    const auto found = occurrencesInView();
    for (;;) {
        l = layouts_.lay(seg);
        QList<QTextLayout::FormatRange> selections;
        addMarkRanges(*l, seg, found, &selections);
        if (s1 > s0 && s1 > l->start && s0 <= seg.end) {
            QTextLayout::FormatRange range;
            const int u0 = layouts_.layoutUnit(*l, layouts_.unitOf(*l, std::max(s0, l->start)));
            const int u1 = layouts_.layoutUnit(*l, layouts_.unitOf(*l, std::min(s1, seg.end)));
            range.start = u0;
            range.length = u1 - u0;
            range.format.setBackground(palette().brush(group, QPalette::Highlight));
            range.format.setForeground(palette().brush(group, QPalette::HighlightedText));
            if (range.length > 0)
                selections.append(range);
        }
        // A last line the next segment shows is left out.
        const qreal shown = l->height - (l->lastHidden ? l->layout.lineAt(l->layout.lineCount() - 1).height() : 0);
        const QRectF segRect(0, y, viewport()->width(), shown);
        if (segRect.intersects(clip)) {
            // The layout draws only the lines that meet the rectangle it is given.
            l->layout.draw(&p, QPointF(x, y), selections, segRect.adjusted(0, 0, 0, -0.5).intersected(QRectF(clip)));
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
        if (mouse_.dropPos != SIZE_MAX && mouse_.dropPos >= l->start && mouse_.dropPos <= seg.end &&
            layouts_.rowOf(mouse_.dropPos).seg.start == seg.start)
            l->layout.drawCursor(&p, QPointF(x, y), layouts_.layoutUnit(*l, layouts_.unitOf(*l, mouse_.dropPos)), 1);
        y += shown;
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
    paintNotice(&p);
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
        const auto* key = static_cast<QKeyEvent*>(event);
        if (IsEditShortcut(ActionForKey(key->key(), key->modifiers()).action)) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void TextView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    layouts_.clear();
    layouts_.forgetWidest();
    top_ = layouts_.rowStart(layouts_.rowOf(top_));
    updateScrollBars();
}

void TextView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        if (!zooming_) {
            baseFont_ = font();
            if (zoom_ != 0)
                applyZoom(); // a new font from outside keeps the zoom
        }
        layouts_.clear();
        layouts_.forgetWidest();
        top_ = layouts_.rowStart(layouts_.rowOf(top_));
        updateScrollBars();
        viewport()->update();
    }
}

int TextView::visibleRows()
{
    const qreal h = QFontMetricsF(font()).height();
    return std::max(1, static_cast<int>((viewport()->height() - 2 * margin()) / std::max<qreal>(h, 1)));
}

// The first row in view when row `last` ends the view.
TextView::Row TextView::firstRowEndingAt(Row last)
{
    qreal room = viewport()->height() - 2 * margin() - layouts_.rowHeight(last);
    Row first = last;
    for (Row up = last; layouts_.prevRow(&up); first = up) {
        room -= layouts_.rowHeight(up);
        if (room < 0)
            break;
    }
    return first;
}

// The first row in view when the last row of the text ends the view.
size_t TextView::maxTop()
{
    Segment last = text_.segmentAt(text_.size());
    return layouts_.rowStart(firstRowEndingAt(Row{last, std::max(0, layouts_.lay(last)->layout.lineCount() - 1)}));
}

void TextView::setTop(size_t pos)
{
    top_ = layouts_.rowStart(layouts_.rowOf(std::min(pos, maxTop())));
    updateScrollBars();
    viewport()->update();
}

void TextView::scrollRows(int rows)
{
    Row r = layouts_.rowOf(top_);
    const size_t limit = maxTop();
    for (; rows > 0 && layouts_.rowStart(r) < limit && layouts_.nextRow(&r); --rows) {
    }
    for (; rows < 0 && layouts_.prevRow(&r); ++rows) {
    }
    top_ = layouts_.rowStart(r);
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
    Row r = layouts_.rowOf(top_);
    qreal room = viewport()->height() - 2 * margin();
    size_t shown = 0;
    for (;;) {
        room -= layouts_.rowHeight(r);
        Row next = r;
        if (room < 0 || !layouts_.nextRow(&next)) {
            shown = (room < 0 ? layouts_.rowStart(r) : text_.size()) - top_;
            break;
        }
        r = next;
    }
    v->setPageStep(std::max(1, static_cast<int>(shown >> vShift_)));
    v->setValue(static_cast<int>(top_ >> vShift_));
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, wrap_ ? 0 : std::max(0, layouts_.widest() + 2 * margin() + 2 - viewport()->width()));
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
    if (zoomable_ && (event->modifiers() & Qt::ControlModifier)) {
        if (delta.y() != 0)
            zoom(delta.y() > 0 ? 1 : -1);
        event->accept();
        return;
    }
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
    Laid* l = layouts_.lay(r.seg);
    qreal y = margin();
    const size_t target = layouts_.rowStart(r);
    if (target < top_)
        return {};
    Row walk = layouts_.rowOf(top_);
    int guard = visibleRows() + 2;
    while (layouts_.rowStart(walk) < target && guard-- > 0) {
        y += layouts_.rowHeight(walk);
        if (!layouts_.nextRow(&walk))
            break;
    }
    if (guard <= 0)
        return {};
    int unit = layouts_.unitOf(*l, caret_);
    unit = l->preeditAt >= 0 ? l->preeditAt + preeditCursor_ : unit;
    const QTextLine line = l->layout.lineAt(std::min(r.line, std::max(0, l->layout.lineCount() - 1)));
    const qreal x = line.isValid() ? line.cursorToX(unit) : 0;
    return QRect(static_cast<int>(x) + margin() - horizontalScrollBar()->value() - 1, static_cast<int>(y), 3,
                 static_cast<int>(std::ceil(layouts_.rowHeight(r))));
}

// The box of the character at pos, in the viewport; empty when it is not in view.
QRect TextView::characterRect(size_t pos)
{
    if (pos >= text_.size())
        return {};
    const Row target = layouts_.rowOf(pos);
    if (layouts_.rowStart(target) < top_)
        return {};
    qreal y = margin();
    for (Row walk = layouts_.rowOf(top_); walk.seg.start != target.seg.start || walk.line != target.line;) {
        y += layouts_.rowHeight(walk);
        if (y >= viewport()->height() || !layouts_.nextRow(&walk))
            return {};
    }
    Laid* l = layouts_.lay(target.seg);
    if (target.line >= l->layout.lineCount())
        return {};
    const QTextLine line = l->layout.lineAt(target.line);
    const qreal x0 = line.cursorToX(layouts_.layoutUnit(*l, layouts_.unitOf(*l, pos)));
    qreal x1 = line.cursorToX(layouts_.layoutUnit(*l, layouts_.unitOf(*l, std::min(text_.nextStop(pos), l->end))));
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

void TextView::ensureCaretVisible()
{
    const Row r = caretRow();
    const size_t at = layouts_.rowStart(r);
    if (at < top_) {
        setTop(at);
    } else {
        // Walk down from the top as far as the view reaches.
        qreal room = viewport()->height() - 2 * margin();
        Row walk = layouts_.rowOf(top_);
        bool inView = false;
        for (;;) {
            room -= layouts_.rowHeight(walk);
            if (room < 0)
                break;
            if (layouts_.rowStart(walk) == at) {
                inView = true;
                break;
            }
            if (!layouts_.nextRow(&walk))
                break;
        }
        if (!inView)
            setTop(layouts_.rowStart(firstRowEndingAt(r)));
    }
    if (!wrap_) {
        Laid* l = layouts_.lay(r.seg);
        const QTextLine line = l->layout.lineAt(std::min(r.line, std::max(0, l->layout.lineCount() - 1)));
        if (line.isValid()) {
            layouts_.noteWidth(static_cast<int>(std::ceil(line.naturalTextWidth())));
            updateScrollBars();
            const int x = static_cast<int>(line.cursorToX(layouts_.unitOf(*l, caret_)));
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
    } else if (event->timerId() == mouse_.autoScroll.timerId()) {
        const QRect r = viewport()->rect();
        if (mouse_.point.y() < r.top())
            scrollRows(-1);
        else if (mouse_.point.y() > r.bottom())
            scrollRows(1);
        if (!wrap_) {
            QScrollBar* h = horizontalScrollBar();
            if (mouse_.point.x() < r.left())
                h->setValue(h->value() - h->singleStep());
            else if (mouse_.point.x() > r.right())
                h->setValue(h->value() + h->singleStep());
        }
        caret_ = hit(mouse_.point);
        viewport()->update();
    } else if (event->timerId() == mouse_.tripleClick.timerId()) {
        mouse_.tripleClick.stop();
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

} // namespace mt::platform
