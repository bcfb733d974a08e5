// The multi-line box's mouse, focus and input methods.
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

#include "platform/platform_texts.h"
#include "platform/system/text_mime.h"
#include "platform/text_codec.h"
#include "platform/text_view/text_decoder.h"
#include "platform/text_view/text_view_keys.h"
#include "platform/text_view/text_words.h"
#include "platform/windows/focus_cause.h"

namespace mt::platform {

size_t TextView::hit(const QPoint& point)
{
    hitAfterRow_ = false;
    Row r = layouts_.rowOf(top_);
    qreal y = margin();
    if (point.y() >= y) {
        for (;;) {
            const qreal h = layouts_.rowHeight(r);
            if (point.y() < y + h)
                break;
            Row next = r;
            if (!layouts_.nextRow(&next))
                return text_.size();
            y += h;
            r = next;
        }
    }
    Laid* l = layouts_.lay(r.seg);
    if (r.line >= l->layout.lineCount())
        return l->start;
    const qreal x = point.x() - margin() + horizontalScrollBar()->value();
    const QTextLine line = l->layout.lineAt(r.line);
    // Past the middle of a wrapped row's last character: the row's end,
    // which the layout gives as the last character's start.
    Row next = r;
    const int end = line.textStart() + line.textLength();
    if (line.textLength() > 0 && layouts_.nextRow(&next) && next.seg.line == r.seg.line &&
        x >= (line.cursorToX(end - 1) + line.cursorToX(end)) / 2) {
        hitAfterRow_ = true;
        return layouts_.rowStart(next);
    }
    return text_.stopAtOrBefore(layouts_.byteOfLayoutUnit(*l, line.xToCursor(x)));
}

void TextView::mousePressEvent(QMouseEvent* event)
{
    commitComposition();
    const QPoint pt = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (mouse_.tripleClick.isActive() && (pt - mouse_.tripleClickPoint).manhattanLength() < QApplication::startDragDistance()) {
            mouse_.tripleClick.stop();
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
            mouse_.pressInSelection = true;
            mouse_.pressPoint = pt;
            return;
        }
        setCaret(pos, shift, hitAfterRow_);
        mouse_.selecting = true;
    } else if (event->button() == Qt::MiddleButton) {
        pastePrimary(pt);
    }
}

void TextView::mouseMoveEvent(QMouseEvent* event)
{
    if (mouse_.pressInSelection && (event->buttons() & Qt::LeftButton)) {
        if ((event->position().toPoint() - mouse_.pressPoint).manhattanLength() >= QApplication::startDragDistance()) {
            mouse_.pressInSelection = false;
            startDrag();
        }
        return;
    }
    if (!mouse_.selecting || !(event->buttons() & Qt::LeftButton))
        return;
    mouse_.point = event->position().toPoint();
    if (viewport()->rect().contains(mouse_.point))
        mouse_.autoScroll.stop();
    else if (!mouse_.autoScroll.isActive())
        mouse_.autoScroll.start(50, this);
    const size_t pos = hit(mouse_.point);
    if (pos != caret_) {
        caret_ = pos;
        caretAfterRow_ = hitAfterRow_ ? pos : SIZE_MAX;
        caretMoved();
    }
}

void TextView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (mouse_.pressInSelection) {
            mouse_.pressInSelection = false;
            setCaret(hit(event->position().toPoint()), false);
        }
        mouse_.selecting = false;
        mouse_.autoScroll.stop();
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
    mouse_.tripleClickPoint = pt;
    mouse_.tripleClick.start(QApplication::doubleClickInterval(), this);
}

void TextView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    restartBlink();
    viewport()->update();
    if (host_ && !IsMenuFocusChange(*event))
        host_->editorFocusChanged(true, FocusCauseOf(*event));
}

void TextView::focusOutEvent(QFocusEvent* event)
{
    commitComposition();
    QAbstractScrollArea::focusOutEvent(event);
    blink_.stop();
    caretShown_ = false;
    history_.seal();
    viewport()->update();
    if (host_ && !IsMenuFocusChange(*event))
        host_->editorFocusChanged(false, FocusCauseOf(*event));
}

// A composition still under way goes into the text where it is being
// composed: the input method is asked to commit it, and a composition it
// leaves standing is taken as typed. Called before anything else moves the
// caret or changes the text.
void TextView::commitComposition()
{
    if (layouts_.preedit().isEmpty())
        return;
    QGuiApplication::inputMethod()->commit();
    if (layouts_.preedit().isEmpty())
        return;
    const QString composed = layouts_.preedit();
    layouts_.clearPreedit();
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
    // The old composition leaves its layout; the new one is set once the
    // text is edited.
    const bool composing = !layouts_.preedit().isEmpty();
    layouts_.clearPreedit();
    const QString preedit = event->preeditString();
    int preeditCursor = static_cast<int>(preedit.size());
    for (const QInputMethodEvent::Attribute& a : event->attributes()) {
        if (a.type == QInputMethodEvent::Cursor)
            preeditCursor = std::clamp(a.start, 0, static_cast<int>(preedit.size()));
    }
    // A composition begun over a selection replaces it, as typing would:
    // it is never drawn inside the selection.
    if (!preedit.isEmpty() && !composing && caret_ != anchor_ && event->commitString().isEmpty() &&
        event->replacementLength() == 0)
        edit(selectionStart(), selectionEnd(), {}, EditKind::kUser);
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
    // The composition shows in the layout that shows the caret's row.
    layouts_.setPreedit(layouts_.rowOf(caret_).seg.start, preedit);
    preeditCursor_ = preeditCursor;
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
        Laid* l = self->layouts_.lay(seg);
        if (query == Qt::ImSurroundingText)
            return l->layout.text();
        if (query == Qt::ImCursorPosition)
            return layouts_.unitOf(*l, caret_);
        return layouts_.unitOf(*l, std::clamp(anchor_, l->start, seg.end));
    }
    case Qt::ImCurrentSelection:
        return selectionEnd() - selectionStart() <= 65536 ? FromGb(text_.copy(selectionStart(), selectionEnd()))
                                                          : QString();
    default: return QAbstractScrollArea::inputMethodQuery(query);
    }
}

} // namespace mt::platform
