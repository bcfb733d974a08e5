#include "platform/edit/edit_widgets.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QProxyStyle>
#include <qdrawutil.h>

#include "platform/windows/focus_cause.h"

#include <algorithm>
#include <limits>

namespace mt::platform {
namespace {

// The text a key press would insert when it is a typed character (code 32
// and up) or Enter; empty for everything the widget handles on its own.
QString TypedText(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return mods == Qt::NoModifier ? QStringLiteral("\n") : QString();
    QString text = event->text();
    if (text.isEmpty() || (mods & (Qt::ControlModifier | Qt::MetaModifier)))
        return {};
    for (QChar c : text) {
        if (c.unicode() < 32)
            return {};
    }
    return text;
}

// The line edit takes its password character from its style.
class PasswordCharStyle : public QProxyStyle {
public:
    explicit PasswordCharStyle(QChar c) : c_(c) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return c_.unicode();
        if (hint == SH_LineEdit_PasswordMaskDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }

private:
    QChar c_;
};

// The classic raised dialog frame: a raised two-pixel panel and a line of
// the face colour inside it.
void PaintDialogFrame(QPainter* p, const QRect& r, const QPalette& pal)
{
    qDrawWinPanel(p, r, pal, false);
    p->setPen(pal.color(QPalette::Button));
    p->drawRect(r.adjusted(2, 2, -3, -3));
}

} // namespace

int EditBorderWidth(int border)
{
    static constexpr int kWidths[] = {0, 2, 3, 1, 5, 1};
    return border >= 0 && border <= 5 ? kWidths[border] : 0;
}

void PaintEditBorder(QPainter* p, const QRect& r, int border, const QPalette& pal)
{
    switch (border) {
    case 1: qDrawWinPanel(p, r, pal, true); break;
    case 2: PaintDialogFrame(p, r, pal); break;
    case 3: qDrawShadePanel(p, r, pal, true, 1); break;
    case 4:
        PaintDialogFrame(p, r, pal);
        qDrawWinPanel(p, r.adjusted(3, 3, -3, -3), pal, true);
        break;
    case 5:
        p->setPen(Qt::black);
        p->setBrush(Qt::NoBrush);
        p->drawRect(r.adjusted(0, 0, -1, -1));
        break;
    }
}

EditLineWidget::EditLineWidget(QWidget* parent) : QLineEdit(parent), shaper_(new LineInputValidator(this))
{
    setFrame(false);
    // A line edit keeps 32767 characters unless told otherwise; the limit
    // an edit box sets is in bytes and kept by the validator.
    setMaxLength(std::numeric_limits<int>::max());
}

void EditLineWidget::setBorder(int border)
{
    border_ = border;
    applyTextMargins();
    update();
}

int EditLineWidget::lineHeight() const { return fontMetrics().size(Qt::TextSingleLine, QStringLiteral("W")).height(); }

// The sides keep clear of the border; the text area is one line high,
// centred in the whole height (the border is painted over the edges
// afterwards).
void EditLineWidget::applyTextMargins()
{
    const int side = EditBorderWidth(border_);
    const int spare = std::max(0, height() - lineHeight());
    const int top = spare / 2;
    const QMargins wanted(side, top, side, spare - top);
    if (textMargins() != wanted)
        setTextMargins(wanted);
}

void EditLineWidget::resizeEvent(QResizeEvent* event)
{
    applyTextMargins();
    QLineEdit::resizeEvent(event);
}

void EditLineWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        applyTextMargins();
    QLineEdit::changeEvent(event);
}

void EditLineWidget::setPasswordChar(QChar c)
{
    setEchoMode(c.isNull() ? QLineEdit::Normal : QLineEdit::Password);
    if (c.isNull() && !passwordStyle_)
        return;
    QStyle* old = passwordStyle_;
    passwordStyle_ = nullptr;
    if (!c.isNull()) {
        passwordStyle_ = new PasswordCharStyle(c);
        passwordStyle_->setParent(this);
    }
    setStyle(passwordStyle_); // null: back to the application's style
    delete old;
}

void EditLineWidget::updateShaping()
{
    const bool needed = shaper_->caseConversion != 0 || shaper_->byteLimit > 0;
    if (needed && validator() != shaper_) {
        shaper_->lastAccepted = text();
        setValidator(shaper_);
    } else if (!needed && validator()) {
        setValidator(nullptr);
    }
}

bool IsRedoKey(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Y && (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
}

void EditLineWidget::keyPressEvent(QKeyEvent* event)
{
    if (IsRedoKey(event)) {
        redo();
        event->accept();
        return;
    }
    const QString typed = TypedText(event);
    if (!typed.isEmpty() && !isReadOnly() && filter_ != CharFilter::kAll) {
        const QString kept = FilterTyped(filter_, typed);
        if (kept != typed) {
            event->accept();
            if (!kept.isEmpty())
                insert(kept);
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void EditLineWidget::inputMethodEvent(QInputMethodEvent* event)
{
    const QString kept = FilterTyped(filter_, event->commitString());
    if (kept == event->commitString()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
}

void EditLineWidget::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (host_ && !IsMenuFocusChange(*event))
        host_->editorFocusChanged(true, FocusCauseOf(*event));
}

// A line edit drops its selection when it loses the focus; an edit box keeps
// it (and shows it or not by its palette).
void EditLineWidget::focusOutEvent(QFocusEvent* event)
{
    const int start = selectionStart();
    const int length = static_cast<int>(selectionLength());
    const bool caretAtStart = cursorPosition() == start;
    QLineEdit::focusOutEvent(event);
    if (start >= 0 && length > 0 && !hasSelectedText()) {
        if (caretAtStart)
            setSelection(start + length, -length);
        else
            setSelection(start, length);
    }
    if (host_ && !IsMenuFocusChange(*event))
        host_->editorFocusChanged(false, FocusCauseOf(*event));
}

void EditLineWidget::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    if (border_ == 0)
        return;
    QPainter p(this);
    PaintEditBorder(&p, rect(), border_, palette());
}

} // namespace mt::platform
