#include "platform/edit/edit_one_row.h"

#include <QApplication>
#include <QDropEvent>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTextBoundaryFinder>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "platform/edit/edit_core.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

constexpr int kMargin = 2; // the view's own margin around its rows

} // namespace

bool OneRowText::Applies(const TextView& view)
{
    const TextBuffer& b = view.buffer();
    return b.lineCount() > 1 && b.size() <= kMaxBytes &&
           view.viewport()->height() < 2 * QFontMetricsF(view.font()).height() + 2 * kMargin;
}

void OneRowText::update(const TextView& view)
{
    if (generation_ == view.generation() && font_ == view.font())
        return;
    generation_ = view.generation();
    font_ = view.font();
    keptCaret_ = -1; // a new text: the caret is brought into sight again
    const std::string& b = view.bytes();
    units_.clear();
    byteOf_.clear();
    marks_.clear();
    size_t i = 0;
    while (i < b.size()) {
        // A run up to the next line break: CR and LF are never part of
        // another character.
        size_t j = i;
        while (j < b.size() && b[j] != '\r' && b[j] != '\n')
            j += GbCharAt(b, j).bytes;
        units_ += FromGb(std::string_view(b).substr(i, j - i));
        for (size_t k = i; k < j;) {
            const GbChar c = GbCharAt(b, k);
            byteOf_.insert(byteOf_.end(), c.units, k);
            k += c.bytes;
        }
        byteOf_.resize(static_cast<size_t>(units_.size()), j); // a decoder that counts otherwise
        if (j < b.size()) {
            marks_.push_back(static_cast<int>(units_.size()));
            units_ += QChar(MarkOf(b, j));
            byteOf_.push_back(j);
            j += b[j] == '\r' && j + 1 < b.size() && b[j + 1] == '\n' ? 2 : 1;
        }
        i = j;
    }
    byteOf_.push_back(b.size());
}

char16_t OneRowText::MarkOf(std::string_view gb, size_t at)
{
    if (gb[at] == '\n')
        return kLfMark;
    return at + 1 < gb.size() && gb[at + 1] == '\n' ? kCrLfMark : kCrMark;
}

int OneRowText::unitOfByte(size_t byte) const
{
    return static_cast<int>(std::lower_bound(byteOf_.begin(), byteOf_.end(), byte) - byteOf_.begin());
}

qreal OneRowText::originX(const TextView&) const { return kMargin - scroll_; }

void OneRowText::scrollTo(const TextView& view, qreal caretX)
{
    const qreal width = std::max(1, view.viewport()->width() - 2 * kMargin);
    const QTextLine line = layout_.lineAt(0);
    if (line.naturalTextWidth() <= width - 2) {
        scroll_ = 0;
        return;
    }
    if (caretX < scroll_)
        scroll_ = std::max<qreal>(0, caretX - width / 4);
    else if (caretX > scroll_ + width - 2)
        scroll_ = caretX - width + width / 4;
}

void OneRowText::wheel(const TextView& view, qreal pixels)
{
    update(view);
    const QTextLine line = layOut(-1, QString());
    if (!line.isValid())
        return;
    const qreal width = std::max(1, view.viewport()->width() - 2 * kMargin);
    const qreal most = std::max<qreal>(0, line.naturalTextWidth() - width + 2);
    scroll_ = std::clamp<qreal>(scroll_ + pixels, 0, most);
}

QTextLine OneRowText::layOut(int preeditAt, const QString& preedit)
{
    layout_.setText(units_);
    layout_.setFont(font_);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout_.setTextOption(option);
    layout_.setPreeditArea(preedit.isEmpty() ? -1 : preeditAt, preedit);
    layout_.beginLayout();
    QTextLine line = layout_.createLine();
    if (line.isValid())
        line.setLineWidth(1e6);
    layout_.endLayout();
    return line;
}

void OneRowText::paint(TextView& view, QPainter* p, const QString& preedit, int preeditCursor, bool caret)
{
    update(view);
    const int caretUnit = unitOfByte(view.caret());
    const QTextLine line = layOut(caretUnit, preedit);
    if (!line.isValid())
        return;
    const int shownCaret = caretUnit + (preedit.isEmpty() ? 0 : preeditCursor);
    // The caret is kept in sight when it moves; the wheel may look elsewhere
    // meanwhile.
    if (shownCaret != keptCaret_ || !preedit.isEmpty()) {
        keptCaret_ = shownCaret;
        scrollTo(view, line.cursorToX(shownCaret));
    }

    const QPalette::ColorGroup group =
        !view.isEnabled() ? QPalette::Disabled : view.hasFocus() ? QPalette::Active
                                                                 : QPalette::Inactive;
    const QPalette& pal = view.palette();
    const auto shown = [&](int unit) { return unit + (!preedit.isEmpty() && unit >= caretUnit ? preedit.size() : 0); };
    QList<QTextLayout::FormatRange> formats;
    for (int m : marks_) {
        QTextLayout::FormatRange mark;
        mark.start = static_cast<int>(shown(m));
        mark.length = 1;
        mark.format.setForeground(pal.brush(group, QPalette::PlaceholderText));
        formats.append(mark);
    }
    const int u0 = unitOfByte(view.selectionStart());
    const int u1 = unitOfByte(view.selectionEnd());
    if (u1 > u0) {
        QTextLayout::FormatRange selected;
        selected.start = static_cast<int>(shown(u0));
        selected.length = static_cast<int>(shown(u1) - selected.start);
        selected.format.setBackground(pal.brush(group, QPalette::Highlight));
        selected.format.setForeground(pal.brush(group, QPalette::HighlightedText));
        formats.append(selected);
    }
    if (!preedit.isEmpty()) {
        QTextLayout::FormatRange composing;
        composing.start = caretUnit;
        composing.length = static_cast<int>(preedit.size());
        composing.format.setFontUnderline(true);
        formats.append(composing);
    }
    p->fillRect(view.viewport()->rect(), pal.base());
    p->setPen(pal.color(group, QPalette::Text));
    const QPointF origin(originX(view), kMargin);
    layout_.draw(p, origin, formats);
    if (caret)
        layout_.drawCursor(p, origin, shownCaret, 1);
}

size_t OneRowText::byteAt(const TextView& view, qreal x)
{
    update(view);
    const QTextLine line = layOut(0, QString());
    if (!line.isValid())
        return view.caret();
    const int unit = line.xToCursor(x - originX(view));
    return byteOf_[static_cast<size_t>(std::clamp(unit, 0, static_cast<int>(byteOf_.size()) - 1))];
}

QRect OneRowText::caretRect(const TextView& view)
{
    if (layout_.lineCount() == 0)
        return {};
    const QTextLine line = layout_.lineAt(0);
    const qreal x = line.cursorToX(unitOfByte(view.caret())) + originX(view);
    return QRect(static_cast<int>(x) - 1, kMargin, 3, static_cast<int>(std::ceil(line.height())));
}

void OneRowText::wordAround(const TextView& view, size_t pos, size_t* start, size_t* end)
{
    update(view);
    const int unit = unitOfByte(pos);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, units_);
    finder.setPosition(unit);
    int s = finder.isAtBoundary() ? unit : static_cast<int>(finder.toPreviousBoundary());
    finder.setPosition(unit);
    int e = static_cast<int>(finder.toNextBoundary());
    s = std::max(0, s);
    e = e < 0 ? static_cast<int>(units_.size()) : e;
    *start = byteOf_[static_cast<size_t>(s)];
    *end = byteOf_[static_cast<size_t>(std::max(s, e))];
}

// ---- the box -------------------------------------------------------------------------

void PlainEditBox::paintEvent(QPaintEvent* event)
{
    if (!OneRowText::Applies(*this)) {
        TextView::paintEvent(event);
        return;
    }
    // The view repaints only what it thinks changed, in rows of its own:
    // anything else asks for the whole row.
    const RowState now{generation(), selectionStart(), selectionEnd(), caret(), preedit_, hasFocus()};
    if (now != shownState_ || event->rect() != viewport()->rect()) {
        shownState_ = now;
        if (event->rect() != viewport()->rect())
            viewport()->update();
    }
    QPainter p(viewport());
    oneRow_.paint(*this, &p, preedit_, preeditCursor_, hasFocus());
    caretRect_ = oneRow_.caretRect(*this);
}

void PlainEditBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !OneRowText::Applies(*this)) {
        TextView::mousePressEvent(event);
        return;
    }
    const size_t at = oneRow_.byteAt(*this, event->position().x());
    if (event->modifiers() & Qt::ShiftModifier)
        pressAnchor_ = caret() == selectionStart() ? selectionEnd() : selectionStart();
    else
        pressAnchor_ = at;
    selectBytes(std::min(pressAnchor_, at), std::max(pressAnchor_, at));
    selecting_ = true;
    viewport()->update();
    event->accept();
}

void PlainEditBox::mouseMoveEvent(QMouseEvent* event)
{
    if (!selecting_ || !OneRowText::Applies(*this)) {
        TextView::mouseMoveEvent(event);
        return;
    }
    const size_t at = oneRow_.byteAt(*this, event->position().x());
    selectBytes(std::min(pressAnchor_, at), std::max(pressAnchor_, at));
    viewport()->update();
    event->accept();
}

void PlainEditBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (!selecting_) {
        TextView::mouseReleaseEvent(event);
        return;
    }
    selecting_ = false;
    event->accept();
}

// A row holding line breaks moves sideways under the wheel, so that a
// longer text can be read; the focus stays where it is.
void PlainEditBox::wheelEvent(QWheelEvent* event)
{
    if (!OneRowText::Applies(*this) || (event->modifiers() & Qt::ControlModifier)) {
        TextView::wheelEvent(event);
        return;
    }
    const QPoint delta = event->angleDelta();
    const int angle = std::abs(delta.y()) >= std::abs(delta.x()) ? delta.y() : delta.x();
    const qreal perNotch = QApplication::wheelScrollLines() * 2 * QFontMetricsF(font()).averageCharWidth();
    oneRow_.wheel(*this, -angle / 120.0 * perNotch);
    viewport()->update();
    event->accept();
}

void PlainEditBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !OneRowText::Applies(*this)) {
        TextView::mouseDoubleClickEvent(event);
        return;
    }
    size_t start, end;
    oneRow_.wordAround(*this, oneRow_.byteAt(*this, event->position().x()), &start, &end);
    selectBytes(start, end);
    viewport()->update();
    event->accept();
}

// A drop from elsewhere goes in where it falls in the row, as one undoable
// insertion (the input method's way in); the view's own drags are its own.
void PlainEditBox::dropEvent(QDropEvent* event)
{
    if (!OneRowText::Applies(*this) || isReadOnly() || event->source() == this || !event->mimeData()->hasText()) {
        TextView::dropEvent(event);
        return;
    }
    const size_t at = oneRow_.byteAt(*this, event->position().x());
    selectBytes(at, at);
    QInputMethodEvent insert;
    insert.setCommitString(event->mimeData()->text());
    TextView::inputMethodEvent(&insert);
    event->acceptProposedAction();
    viewport()->update();
}

void PlainEditBox::inputMethodEvent(QInputMethodEvent* event)
{
    preedit_ = event->preeditString();
    preeditCursor_ = static_cast<int>(preedit_.size());
    for (const QInputMethodEvent::Attribute& a : event->attributes()) {
        if (a.type == QInputMethodEvent::Cursor)
            preeditCursor_ = a.start;
    }
    TextView::inputMethodEvent(event);
    viewport()->update();
}

QVariant PlainEditBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query == Qt::ImCursorRectangle && OneRowText::Applies(*this) && !caretRect_.isNull())
        return QRectF(caretRect_);
    return TextView::inputMethodQuery(query);
}

} // namespace mt::platform
