#include "platform/edit_control.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

#include "platform/application.h"
#include "platform/edit_control_widgets.h"
#include "platform/edit_text_mirror.h"
#include "platform/text_codec.h"
#include "platform/text_style.h"

namespace mt::platform {
namespace {

QWidget* WidgetOf(WindowHandle handle) { return reinterpret_cast<QWidget*>(handle); }
WindowHandle HandleOf(QWidget* widget) { return reinterpret_cast<WindowHandle>(widget); }

// The password character as Qt shows it: a byte that is no character of its
// own shows as '*'.
QChar PasswordQChar(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 && byte < 0x80 ? QChar(byte) : QChar(u'*');
}

Qt::Alignment HorizontalAlignment(int alignment)
{
    switch (alignment) {
    case 1: return Qt::AlignHCenter;
    case 2: return Qt::AlignRight;
    }
    return Qt::AlignLeft;
}

// Units [from, from + count) of a document, line breaks as U+2029.
QString DocumentText(QTextDocument* doc, size_t from, size_t count)
{
    QTextCursor c(doc);
    c.setPosition(static_cast<int>(from));
    c.setPosition(static_cast<int>(from + count), QTextCursor::KeepAnchor);
    return c.selectedText();
}

} // namespace

class EditControl::Impl : public QObject, public EditorHost {
public:
    explicit Impl(const EditOptions& o) : options(o), mirror(o.multiLine) {}
    ~Impl() override;

    void build(QWidget* parent, const Rect& rect, std::string_view text);
    QWidget* editor() const { return box; }
    void detach();

    void setText(std::string_view gb, bool notify);
    void unitSelection(size_t* start, size_t* end) const;
    void select(int64_t start, int64_t length);
    void replaceSelection(const QString& text);

    void applyColors();
    void applyFont();
    void applyBorder();
    void applyInputMode();
    void applyShaping();
    void applyAlignment();
    void setSpinnerRange(int32_t a, int32_t b);
    void placeSpinner();

    template <typename... Args>
    void fire(const std::function<void(Args...)>& callback, Args... args);

    // EditorHost
    void editorFocusChanged(bool in) override { fire(in ? listener.focusIn : listener.focusOut); }
    size_t editorInsertRoom() const override;
    void editorDestroyed() override;

    bool eventFilter(QObject* watched, QEvent* event) override;

    EditOptions options;
    EditTextMirror mirror;
    EditListener listener;
    // The editor: `box` tracks its life (a QPointer of the base class, so it
    // can be compared while the widget is being destroyed), `line` or
    // `plain` is the same widget by its type.
    QPointer<QWidget> box;
    QPointer<EditLineWidget> line;
    QPointer<EditPlainWidget> plain;
    QPointer<SpinnerWidget> spinner;
    QString lineText; // the line edit's text as the mirror holds it
    bool settingText = false;
    bool pendingChange = false;
    int callbackDepth = 0;

private:
    void setupLine();
    void setupPlain();
    void onLineTextChanged(const QString& text);
    void onContentsChange(int position, int removed, int added);
    void onPlainTextChanged();
    void resyncPlain();
};

// ---- building and tearing down ---------------------------------------------------

void EditControl::Impl::build(QWidget* parent, const Rect& rect, std::string_view text)
{
    if (options.multiLine)
        setupPlain();
    else
        setupLine();
    QWidget* w = line ? static_cast<QWidget*>(line) : static_cast<QWidget*>(plain);
    box = w;
    w->setParent(parent);
    w->setGeometry(rect.left, rect.top, std::max(0, rect.width), std::max(0, rect.height));
    w->installEventFilter(this);
    applyColors();
    applyBorder();
    applyAlignment();
    applyInputMode();
    applyShaping();
    applyFont();
    setText(text, false);
    if (options.spinner && line) {
        spinner = new SpinnerWidget(parent);
        spinner->pressed = [this](int direction) {
            QWidget* box = editor();
            if (box && box->isEnabled() && box->isVisible())
                fire(listener.spinnerPressed, direction);
        };
        setSpinnerRange(options.spinMin, options.spinMax);
    }
    w->setEnabled(!options.disabled);
    w->setVisible(options.visible);
    placeSpinner();
}

void EditControl::Impl::setupLine()
{
    line = new EditLineWidget(nullptr);
    line->setHost(this);
    connect(line, &QLineEdit::textChanged, this, &Impl::onLineTextChanged);
}

void EditControl::Impl::setupPlain()
{
    plain = new EditPlainWidget(nullptr);
    plain->setHost(this);
    const bool horizontal = options.scrollBars == 1 || options.scrollBars == 3;
    const bool vertical = options.scrollBars == 2 || options.scrollBars == 3;
    plain->setLineWrapMode(horizontal ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    plain->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    plain->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    connect(plain->document(), &QTextDocument::contentsChange, this, &Impl::onContentsChange);
    connect(plain, &QPlainTextEdit::textChanged, this, &Impl::onPlainTextChanged);
}

// Stops every report and hides the widgets; they go with this object.
void EditControl::Impl::detach()
{
    listener = {};
    if (line)
        line->setHost(nullptr);
    if (plain)
        plain->setHost(nullptr);
    if (box) {
        box->removeEventFilter(this);
        box->hide();
    }
    if (spinner)
        spinner->hide();
}

EditControl::Impl::~Impl()
{
    detach();
    QWidget* w = box;
    box = nullptr;
    line = nullptr;
    plain = nullptr;
    delete spinner.data();
    delete w;
}

// Called from the editor's destructor, before Qt takes the widget apart.
void EditControl::Impl::editorDestroyed()
{
    box->removeEventFilter(this);
    box = nullptr;
    line = nullptr;
    plain = nullptr;
    delete spinner.data();
    fire(listener.destroyed);
}

template <typename... Args>
void EditControl::Impl::fire(const std::function<void(Args...)>& callback, Args... args)
{
    if (!callback)
        return;
    // The callback may replace the listener or destroy the control; this
    // object then lives on until the event loop deletes it.
    const std::function<void(Args...)> call = callback;
    ++callbackDepth;
    call(args...);
    --callbackDepth;
}

// ---- text ---------------------------------------------------------------------------

void EditControl::Impl::setText(std::string_view gb, bool notify)
{
    const QString text = ConvertCase(options.caseConversion, FromGb(gb));
    settingText = true;
    if (line) {
        line->shaper()->suspended = true;
        line->setText(text);
        line->setCursorPosition(0);
        line->shaper()->suspended = false;
        lineText = line->text();
        mirror.reset(Utf16View(lineText));
    } else if (plain) {
        plain->setPlainText(text);
        mirror.reset(Utf16View(plain->document()->toRawText()));
    }
    settingText = false;
    pendingChange = false;
    if (notify)
        fire(listener.textChanged);
}

void EditControl::Impl::onLineTextChanged(const QString& text)
{
    if (settingText)
        return;
    qsizetype at, removed, added;
    DiffRange(lineText, text, &at, &removed, &added);
    const std::u16string_view units = Utf16View(text);
    if (!mirror.replace(static_cast<size_t>(at), static_cast<size_t>(removed),
                        units.substr(static_cast<size_t>(at), static_cast<size_t>(added))))
        mirror.reset(units);
    lineText = text;
    fire(listener.textChanged);
}

// The document reports each edit as (position, removed, added) in units;
// around a whole replacement the counts include the final paragraph
// separator, which the text does not, so they are checked against the
// lengths before and after and trimmed, and anything that does not add up
// makes the mirror read the whole text again.
void EditControl::Impl::onContentsChange(int position, int removed, int added)
{
    if (settingText || !plain)
        return;
    QTextDocument* doc = plain->document();
    const size_t newUnits = static_cast<size_t>(std::max(0, doc->characterCount() - 1));
    const size_t oldUnits = mirror.unitCount();
    if (position < 0 || removed < 0 || added < 0 || static_cast<size_t>(position) > std::min(oldUnits, newUnits))
        return resyncPlain();
    size_t at = static_cast<size_t>(position);
    size_t out = std::min(static_cast<size_t>(removed), oldUnits - at);
    if (newUnits + out < oldUnits || newUnits + out - oldUnits > newUnits - at)
        return resyncPlain();
    size_t in = newUnits + out - oldUnits;
    // Never cut a surrogate pair, nor let two lone halves meet unseen.
    if (at > 0 && doc->characterAt(static_cast<int>(at - 1)).isHighSurrogate()) {
        --at;
        ++out;
        ++in;
    }
    if (at + in < newUnits && doc->characterAt(static_cast<int>(at + in)).isLowSurrogate()) {
        ++out;
        ++in;
    }
    const QString piece = DocumentText(doc, at, in);
    if (out == in) { // possibly a change of format only
        const size_t b0 = mirror.byteOfUnit(at);
        const size_t b1 = mirror.byteOfUnit(at + out);
        if (std::string_view(mirror.bytes()).substr(b0, b1 - b0) == MirrorBytes(Utf16View(piece), true))
            return;
    }
    if (!mirror.replace(at, out, Utf16View(piece)))
        return resyncPlain();
    pendingChange = true;
}

void EditControl::Impl::resyncPlain()
{
    mirror.reset(Utf16View(plain->document()->toRawText()));
    pendingChange = true;
}

// Reported once the document has finished the edit, so that a listener may
// change the text again.
void EditControl::Impl::onPlainTextChanged()
{
    if (settingText || !pendingChange)
        return;
    pendingChange = false;
    fire(listener.textChanged);
}

// ---- selection --------------------------------------------------------------------

void EditControl::Impl::unitSelection(size_t* start, size_t* end) const
{
    *start = *end = 0;
    if (line) {
        const int s = line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
        *start = static_cast<size_t>(std::max(0, s));
        *end = *start + static_cast<size_t>(line->hasSelectedText() ? line->selectionLength() : 0);
    } else if (plain) {
        const QTextCursor c = plain->textCursor();
        *start = static_cast<size_t>(c.selectionStart());
        *end = static_cast<size_t>(c.selectionEnd());
    }
}

void EditControl::Impl::select(int64_t start, int64_t length)
{
    const auto size = static_cast<int64_t>(mirror.bytes().size());
    const int64_t s = std::clamp<int64_t>(start, 0, size);
    const int64_t e = length <= 0 ? s : (length >= size - s ? size : s + length);
    const size_t us = mirror.unitOfByte(static_cast<size_t>(s), Snap::kDown);
    const size_t ue = e == s ? us : mirror.unitOfByte(static_cast<size_t>(e), Snap::kUp);
    if (line) {
        if (ue > us)
            line->setSelection(static_cast<int>(us), static_cast<int>(ue - us));
        else
            line->setCursorPosition(static_cast<int>(us));
    } else if (plain) {
        QTextCursor c = plain->textCursor();
        c.setPosition(static_cast<int>(us));
        c.setPosition(static_cast<int>(ue), QTextCursor::KeepAnchor);
        plain->setTextCursor(c);
        plain->ensureCursorVisible();
    }
}

void EditControl::Impl::replaceSelection(const QString& text)
{
    if (line) {
        line->insert(text);
        // Not undoable: setting the same text again clears the history and
        // reports nothing.
        const int cursor = line->cursorPosition();
        line->setText(line->text());
        line->setCursorPosition(cursor);
    } else if (plain) {
        QTextCursor c = plain->textCursor();
        c.insertText(plain->shapeInsertion(text));
        plain->setTextCursor(c);
        plain->document()->clearUndoRedoStacks();
        plain->ensureCursorVisible();
    }
}

size_t EditControl::Impl::editorInsertRoom() const
{
    if (options.textLimit <= 0)
        return SIZE_MAX;
    size_t s, e;
    unitSelection(&s, &e);
    const size_t selected = mirror.byteOfUnit(e) - mirror.byteOfUnit(s);
    const size_t rest = mirror.bytes().size() - selected;
    const auto limit = static_cast<size_t>(options.textLimit);
    return rest < limit ? limit - rest : 0;
}

// ---- appearance -------------------------------------------------------------------

void EditControl::Impl::applyColors()
{
    QWidget* w = editor();
    if (!w)
        return;
    const QColor text = ColorFromRef(options.textColor);
    const QColor back = ColorFromRef(options.backColor);
    const QPalette app = QApplication::palette();
    QPalette pal = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        pal.setColor(group, QPalette::Base, back);
    for (auto group : {QPalette::Active, QPalette::Inactive})
        pal.setColor(group, QPalette::Text, text);
    // An unfocused box shows its selection in the normal colours, or not at
    // all when it hides it.
    pal.setColor(QPalette::Inactive, QPalette::Highlight,
                 options.hideSelection ? back : app.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 options.hideSelection ? text : app.color(QPalette::Active, QPalette::HighlightedText));
    w->setPalette(pal);
}

void EditControl::Impl::applyFont()
{
    QWidget* w = editor();
    if (!w)
        return;
    const QFont font = FontFromLogFont(options.font);
    w->setFont(font);
    if (!line)
        return;
    const int lineHeight = QFontMetrics(font).height() + 2 * kEditEdgeHeight;
    if (line->height() < lineHeight)
        line->resize(line->width(), lineHeight);
}

void EditControl::Impl::applyBorder()
{
    if (line)
        line->setBorder(options.border);
    else if (plain)
        plain->setBorder(options.border);
}

void EditControl::Impl::applyInputMode()
{
    QWidget* w = editor();
    if (!w)
        return;
    const CharFilter filter = CharFilterForInputMode(options.inputMode);
    if (line) {
        line->setReadOnly(options.inputMode == 1);
        line->setFilter(filter);
        const bool password = options.inputMode == 2 && options.passwordChar != 0;
        line->setPasswordChar(password ? PasswordQChar(options.passwordChar) : QChar());
    } else if (plain) {
        plain->setReadOnly(options.inputMode == 1);
        plain->setFilter(filter);
    }
    w->update();
}

void EditControl::Impl::applyShaping()
{
    if (line) {
        line->shaper()->caseConversion = options.caseConversion;
        line->shaper()->byteLimit = static_cast<size_t>(std::max(0, options.textLimit));
        line->updateShaping();
    } else if (plain) {
        plain->setCaseConversion(options.caseConversion);
    }
}

void EditControl::Impl::applyAlignment()
{
    const Qt::Alignment h = HorizontalAlignment(options.alignment);
    if (line) {
        line->setAlignment(h | Qt::AlignVCenter);
    } else if (plain) {
        QTextOption option = plain->document()->defaultTextOption();
        option.setAlignment(h);
        plain->document()->setDefaultTextOption(option);
    }
}

// ---- spinner ----------------------------------------------------------------------

void EditControl::Impl::setSpinnerRange(int32_t a, int32_t b)
{
    options.spinMin = a;
    options.spinMax = b;
    if (!spinner)
        return;
    spinner->lower = static_cast<int16_t>(std::min(a, b));
    spinner->upper = static_cast<int16_t>(std::max(a, b));
}

// Right of the box, as high as it, in its parent, directly below it in the
// stacking order, shown and enabled with it.
void EditControl::Impl::placeSpinner()
{
    if (!spinner || !line)
        return;
    QWidget* parent = line->parentWidget();
    if (spinner->parentWidget() != parent)
        spinner->setParent(parent);
    spinner->setGeometry(line->x() + line->width(), line->y(), kSpinnerWidth, line->height());
    spinner->setEnabled(line->isEnabled());
    spinner->setVisible(!line->isHidden());
    spinner->stackUnder(line);
}

bool EditControl::Impl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != editor())
        return false;
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::EnabledChange:
    case QEvent::ParentChange:
    case QEvent::ZOrderChange:
        placeSpinner();
        break;
    case QEvent::ApplicationPaletteChange:
        applyColors();
        break;
    default:
        break;
    }
    return false;
}

// ---- EditControl ------------------------------------------------------------------

EditControl::EditControl(WindowHandle parent, const Rect& rect, const EditOptions& options, std::string_view text)
    : d_(new Impl(options))
{
    EnsureApplication();
    d_->options.border = std::clamp(options.border, 0, 5);
    d_->options.textLimit = std::max(0, options.textLimit);
    d_->build(WidgetOf(parent), rect, text);
}

EditControl::~EditControl()
{
    if (d_->callbackDepth > 0) {
        d_->detach();
        d_->deleteLater();
    } else {
        delete d_;
    }
}

void EditControl::setListener(EditListener listener) { d_->listener = std::move(listener); }
bool EditControl::isAlive() const { return d_->editor() != nullptr; }
WindowHandle EditControl::handle() const { return HandleOf(d_->editor()); }
bool EditControl::isMultiLine() const { return d_->options.multiLine; }

const std::string& EditControl::text() const { return d_->mirror.bytes(); }
void EditControl::setText(std::string_view gb, bool notify) { d_->setText(gb, notify); }

int64_t EditControl::selectionStart() const
{
    size_t s, e;
    d_->unitSelection(&s, &e);
    return static_cast<int64_t>(d_->mirror.byteOfUnit(s));
}

int64_t EditControl::selectionLength() const
{
    size_t s, e;
    d_->unitSelection(&s, &e);
    return static_cast<int64_t>(d_->mirror.byteOfUnit(e) - d_->mirror.byteOfUnit(s));
}

std::string EditControl::selectedText() const
{
    size_t s, e;
    d_->unitSelection(&s, &e);
    const size_t b0 = d_->mirror.byteOfUnit(s);
    return d_->mirror.bytes().substr(b0, d_->mirror.byteOfUnit(e) - b0);
}

void EditControl::select(int64_t start, int64_t length) { d_->select(start, length); }
void EditControl::replaceSelection(std::string_view gb) { d_->replaceSelection(FromGb(gb)); }

void EditControl::setBorder(int border)
{
    d_->options.border = std::clamp(border, 0, 5);
    d_->applyBorder();
}

void EditControl::setTextColor(uint32_t colorRef)
{
    d_->options.textColor = colorRef;
    d_->applyColors();
}

void EditControl::setBackColor(uint32_t colorRef)
{
    d_->options.backColor = colorRef;
    d_->applyColors();
}

void EditControl::setFont(std::string_view logFont)
{
    d_->options.font = std::string(logFont);
    d_->applyFont();
}

void EditControl::setTextLimit(int32_t bytes)
{
    d_->options.textLimit = std::max(0, bytes);
    d_->applyShaping();
}

void EditControl::setInputMode(int mode)
{
    d_->options.inputMode = mode;
    d_->applyInputMode();
}

void EditControl::setPasswordChar(char c)
{
    d_->options.passwordChar = c;
    if (d_->options.inputMode == 2)
        d_->applyInputMode();
}

void EditControl::setAlignment(int alignment)
{
    d_->options.alignment = alignment;
    d_->applyAlignment();
}

void EditControl::setHideSelection(bool hide)
{
    d_->options.hideSelection = hide;
    d_->applyColors();
}

void EditControl::setCaseConversion(int conversion)
{
    d_->options.caseConversion = conversion;
    d_->applyShaping();
}

bool EditControl::hasSpinner() const { return d_->spinner != nullptr; }
void EditControl::setSpinnerRange(int32_t a, int32_t b) { d_->setSpinnerRange(a, b); }
int16_t EditControl::spinnerLower() const { return d_->spinner ? d_->spinner->lower : 0; }
int16_t EditControl::spinnerUpper() const { return d_->spinner ? d_->spinner->upper : 0; }
WindowHandle EditControl::spinnerHandle() const { return HandleOf(d_->spinner); }

void EditControl::setFocus()
{
    if (QWidget* w = d_->editor())
        w->setFocus(Qt::OtherFocusReason);
}

bool EditControl::hasFocus() const
{
    QWidget* w = d_->editor();
    return w && w->hasFocus();
}

} // namespace mt::platform
