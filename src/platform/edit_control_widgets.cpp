#include "platform/edit_control_widgets.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QProxyStyle>
#include <QToolButton>
#include <qdrawutil.h>

#include <algorithm>
#include <limits>
#include <string>

#include "platform/edit_text_mirror.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

bool Accepts(CharFilter filter, QChar c)
{
    if (c.unicode() < 32)
        return true;
    const bool digit = c >= u'0' && c <= u'9';
    switch (filter) {
    case CharFilter::kAll: return true;
    case CharFilter::kSignedDigits: return digit || c == u'-';
    case CharFilter::kDecimal: return digit || c == u'-' || c == u'.';
    case CharFilter::kDigits: return digit;
    }
    return true;
}

// The text a key press would insert when it is a typed character (code 32
// and up) or Enter; empty for everything the widget handles on its own.
QString TypedText(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return mods == Qt::NoModifier ? QStringLiteral("\n") : QString();
    const QString text = event->text();
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

CharFilter CharFilterForInputMode(int mode)
{
    switch (mode) {
    case 3: case 6: case 7: case 8: return CharFilter::kSignedDigits;
    case 4: case 9: case 10: return CharFilter::kDecimal;
    case 5: return CharFilter::kDigits;
    }
    return CharFilter::kAll;
}

QString FilterTyped(CharFilter filter, const QString& typed)
{
    if (filter == CharFilter::kAll)
        return typed;
    QString kept;
    for (QChar c : typed) {
        if (Accepts(filter, c))
            kept += c;
    }
    return kept;
}

QString ConvertCase(int conversion, const QString& text)
{
    if (conversion == 1)
        return text.toLower();
    if (conversion == 2)
        return text.toUpper();
    return text;
}

QString FitBytes(const QString& text, size_t room, bool crlf)
{
    if (room == SIZE_MAX)
        return text;
    QString t = text;
    if (crlf) {
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        t.replace(u'\r', u'\n');
    }
    const std::string bytes = MirrorBytes(Utf16View(t), crlf);
    if (bytes.size() <= room)
        return t;
    size_t b = 0;
    qsizetype units = 0;
    while (b < bytes.size()) {
        const GbChar c = GbCharAt(bytes, b, crlf);
        if (b + c.bytes > room)
            break;
        b += c.bytes;
        units += c.units;
    }
    return t.left(units);
}

void DiffRange(QStringView a, QStringView b, qsizetype* pos, qsizetype* removed, qsizetype* added)
{
    const qsizetype shorter = std::min(a.size(), b.size());
    qsizetype prefix = std::mismatch(a.begin(), a.begin() + shorter, b.begin()).first - a.begin();
    if (prefix > 0 && a[prefix - 1].isHighSurrogate())
        --prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;
    if (suffix > 0 && b[b.size() - suffix].isLowSurrogate())
        --suffix;
    *pos = prefix;
    *removed = a.size() - prefix - suffix;
    *added = b.size() - prefix - suffix;
}

int EditBorderWidth(int border)
{
    static constexpr int widths[] = {0, 2, 3, 1, 5, 1};
    return border >= 0 && border <= 5 ? widths[border] : 0;
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

// ---- LineInputValidator -------------------------------------------------------

QValidator::State LineInputValidator::validate(QString& input, int& pos) const
{
    if (!suspended) {
        if (caseConversion != 0) {
            const QString converted = ConvertCase(caseConversion, input);
            if (converted != input) {
                input = converted;
                pos = std::min<int>(pos, static_cast<int>(input.size()));
            }
        }
        if (byteLimit > 0 && Utf16ToGb(Utf16View(input)).size() > byteLimit) {
            qsizetype at, removed, added;
            DiffRange(lastAccepted, input, &at, &removed, &added);
            const QString rest = input.left(at) + input.mid(at + added);
            const size_t restBytes = Utf16ToGb(Utf16View(rest)).size();
            const size_t room = restBytes < byteLimit ? byteLimit - restBytes : 0;
            const QString kept = FitBytes(input.mid(at, added), room, false);
            input = input.left(at) + kept + input.mid(at + added);
            pos = static_cast<int>(at + kept.size());
        }
    }
    lastAccepted = input;
    return Acceptable;
}

// ---- EditLineWidget ---------------------------------------------------------------

EditLineWidget::EditLineWidget(QWidget* parent) : QLineEdit(parent), shaper_(new LineInputValidator(this))
{
    setFrame(false);
    // A line edit keeps 32767 characters unless told otherwise; the limit
    // an edit box sets is in bytes and kept by the validator.
    setMaxLength(std::numeric_limits<int>::max());
}

EditLineWidget::~EditLineWidget()
{
    if (host_)
        host_->editorDestroyed();
}

void EditLineWidget::setBorder(int border)
{
    border_ = border;
    const int w = EditBorderWidth(border);
    // Only the sides: the text stays centred in the whole height, and the
    // border is painted over the edges afterwards.
    setTextMargins(w, 0, w, 0);
    update();
}

void EditLineWidget::setPasswordChar(QChar c)
{
    QStyle* old = passwordStyle_;
    passwordStyle_ = nullptr;
    if (!c.isNull()) {
        passwordStyle_ = new PasswordCharStyle(c);
        passwordStyle_->setParent(this);
    }
    setStyle(passwordStyle_); // null: back to the application's style
    delete old;
    setEchoMode(c.isNull() ? QLineEdit::Normal : QLineEdit::Password);
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

void EditLineWidget::keyPressEvent(QKeyEvent* event)
{
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
    if (host_)
        host_->editorFocusChanged(true);
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
    if (host_)
        host_->editorFocusChanged(false);
}

void EditLineWidget::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    if (border_ == 0)
        return;
    QPainter p(this);
    PaintEditBorder(&p, rect(), border_, palette());
}

// ---- EditPlainWidget --------------------------------------------------------------

EditPlainWidget::EditPlainWidget(QWidget* parent) : QPlainTextEdit(parent)
{
    document()->setDocumentMargin(2);
}

EditPlainWidget::~EditPlainWidget()
{
    if (host_)
        host_->editorDestroyed();
}

void EditPlainWidget::setBorder(int border)
{
    border_ = border;
    const int w = EditBorderWidth(border);
    // The frame only reserves the width; event() paints it.
    setFrameStyle(w > 0 ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    setLineWidth(w);
    update();
}

QString EditPlainWidget::shapeInsertion(const QString& text) const
{
    const size_t room = host_ ? host_->editorInsertRoom() : SIZE_MAX;
    return FitBytes(ConvertCase(caseConversion_, text), room, true);
}

bool EditPlainWidget::event(QEvent* event)
{
    if (event->type() != QEvent::Paint)
        return QPlainTextEdit::event(event);
    // The scroll area's own paint covers its frame and the corner between the
    // scroll bars; the text is painted by the viewport.
    QPainter p(this);
    p.fillRect(rect(), palette().button());
    PaintEditBorder(&p, rect(), border_, palette());
    return true;
}

void EditPlainWidget::keyPressEvent(QKeyEvent* event)
{
    const QString typed = TypedText(event);
    if (typed.isEmpty() || isReadOnly()) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    const QString shaped = shapeInsertion(FilterTyped(filter_, typed));
    if (shaped == typed) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!shaped.isEmpty())
        insertPlainText(shaped);
}

void EditPlainWidget::inputMethodEvent(QInputMethodEvent* event)
{
    const QString commit = event->commitString();
    const QString shaped = commit.isEmpty() ? commit : shapeInsertion(FilterTyped(filter_, commit));
    if (shaped == commit) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(shaped, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&filtered);
}

void EditPlainWidget::insertFromMimeData(const QMimeData* source)
{
    if (!source || !source->hasText())
        return;
    QMimeData shaped;
    shaped.setText(shapeInsertion(source->text()));
    QPlainTextEdit::insertFromMimeData(&shaped);
}

void EditPlainWidget::focusInEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusInEvent(event);
    if (host_)
        host_->editorFocusChanged(true);
}

void EditPlainWidget::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    if (host_)
        host_->editorFocusChanged(false);
}

// ---- SpinnerWidget --------------------------------------------------------------

SpinnerWidget::SpinnerWidget(QWidget* parent) : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this))
{
    setFocusPolicy(Qt::NoFocus);
    const std::pair<QToolButton*, int> buttons[] = {{up_, +1}, {down_, -1}};
    for (auto [button, direction] : buttons) {
        button->setArrowType(direction > 0 ? Qt::UpArrow : Qt::DownArrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        // pressed comes on the press and again on every auto-repeat.
        connect(button, &QToolButton::pressed, this, [this, direction = direction] {
            if (pressed)
                pressed(direction);
        });
    }
}

void SpinnerWidget::resizeEvent(QResizeEvent*)
{
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

} // namespace mt::platform
