#include "platform/edit_control.h"

#include <algorithm>

#include "platform/application.h"
#include "platform/edit/edit_core.h"
#include "platform/native_window.h"

namespace mt::platform {
namespace {

// Stands in for a listener the caller does not give: the registry always
// tells someone.
struct NoListener : WindowListener {};

WindowListener* Listening(WindowListener* listener)
{
    static NoListener none;
    return listener ? listener : &none;
}

} // namespace

WindowHandle CreateEditControl(WindowHandle parent, const Rect& rect, const EditOptions& options,
                               std::string_view text, WindowListener* listener, EditNotices* notices)
{
    EnsureApplication();
    EditOptions o = options;
    o.border = std::clamp(o.border, 0, 5);
    o.textLimit = std::max(0, o.textLimit);
    QWidget* parentWidget = ToWidget(parent);
    QWidget* box;
    EditCore* core;
    if (o.multiLine) {
        auto* plain = new PlainEditBox(parentWidget, o, listener, notices);
        box = plain;
        core = &plain->core;
    } else {
        auto* line = new LineEditBox(parentWidget, o, listener, notices);
        box = line;
        core = &line->core;
    }
    box->hide();
    box->setGeometry(rect.left, rect.top, std::max(0, rect.width), std::max(0, rect.height));
    core->build(text);
    RegisterWindow(box, Listening(listener));
    return ToHandle(box);
}

EditControl* EditControlOf(WindowHandle handle)
{
    QWidget* w = ToWidget(handle);
    if (auto* line = dynamic_cast<LineEditBox*>(w))
        return &line->core;
    if (auto* plain = dynamic_cast<PlainEditBox*>(w))
        return &plain->core;
    return nullptr;
}

// ---- EditCore: building --------------------------------------------------------------

EditCore::EditCore(QWidget* box, bool multiLine, const EditOptions& options, WindowListener* listener,
                   EditNotices* notices)
    : EditControl(multiLine), box_(box), options_(options), listener_(listener), notices_(notices)
{
    box_->installEventFilter(this);
}

LineEditCore::LineEditCore(EditLineWidget* line, const EditOptions& options, WindowListener* listener,
                           EditNotices* notices)
    : EditCore(line, false, options, listener, notices), line_(line), mirror_(false)
{
    line_->setHost(this);
    connect(line_, &QLineEdit::textChanged, this, &LineEditCore::onLineTextChanged);
}

TextViewCore::TextViewCore(TextView* view, const EditOptions& options, WindowListener* listener,
                           EditNotices* notices)
    : EditCore(view, true, options, listener, notices), view_(view)
{
    view_->setHost(this);
    // A horizontal scroll bar means long lines run on; without one they wrap.
    const bool horizontal = options_.scrollBars == 1 || options_.scrollBars == 3;
    const bool vertical = options_.scrollBars == 2 || options_.scrollBars == 3;
    view_->setWordWrap(!horizontal);
    view_->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    view_->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    // A box that scrolls rows (the big one) zooms; one-row boxes keep their size.
    view_->setZoomable(vertical);
    // A box without scroll bars (one of a few rows) copies its whole
    // text when nothing is selected.
    view_->setCopiesWholeText(!horizontal && !vertical);
}

EditCore::~EditCore() { delete spinner_.data(); }

void EditCore::build(std::string_view text)
{
    applyColors();
    setBorder(options_.border);
    applyAlignment();
    applyInputMode();
    applyShaping();
    applyFont();
    setText(text, false);
    finishBuild();
}

// A single-line box asked for one has a spinner.
void LineEditCore::finishBuild()
{
    if (options_.spinner)
        makeSpinner();
}

void EditCore::makeSpinner()
{
    spinner_ = new SpinnerWidget(box_->parentWidget());
    spinner_->pressed = [this](int direction) {
        if (live() && notices_ && box_->isEnabled() && box_->isVisible())
            notices_->spinnerPressed(direction);
    };
    setSpinnerRange(options_.spinMin, options_.spinMax);
    placeSpinner();
}

// Notices go out only while the window is live: from its destruction on,
// its owner may be gone.
bool EditCore::live() const { return IsWindow(ToHandle(box_)); }

void EditCore::editorFocusChanged(bool in, FocusCause cause)
{
    if (in)
        focusCause_ = cause;
    if (!live() || !listener_)
        return;
    if (in)
        listener_->focusIn();
    else
        listener_->focusOut();
}

void TextViewCore::setLineBreakSource(WindowHandle source)
{
    QWidget* w = ToWidget(source);
    auto* plain = dynamic_cast<PlainEditBox*>(w);
    view_->setLineBreakSource(plain && plain != view_ ? plain : nullptr);
}

void EditCore::notifyTextChanged()
{
    if (live() && notices_)
        notices_->textChanged();
}

} // namespace mt::platform
