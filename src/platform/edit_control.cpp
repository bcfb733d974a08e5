#include "platform/edit_control.h"

#include <QTextDocument>

#include <algorithm>

#include "platform/application.h"
#include "platform/edit_control_impl.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

QWidget* WidgetOf(WindowHandle handle) { return reinterpret_cast<QWidget*>(handle); }
WindowHandle HandleOf(QWidget* widget) { return reinterpret_cast<WindowHandle>(widget); }

} // namespace

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
            QWidget* w = editor();
            if (w && w->isEnabled() && w->isVisible())
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
