#include <QApplication>
#include <QEvent>
#include <QFontMetrics>

#include <algorithm>

#include "platform/controls/text_style.h"
#include "platform/edit/edit_core.h"
#include "platform/native_window.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

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

} // namespace

void EditCore::setBorder(int border)
{
    options_.border = std::clamp(border, 0, 5);
    applyBorder();
}

void LineEditCore::applyBorder() { line_->setBorder(options_.border); }

void EditCore::setTextColor(uint32_t color)
{
    options_.textColor = color;
    applyColors();
}

void EditCore::setBackColor(uint32_t color)
{
    options_.backColor = color;
    applyColors();
}

void EditCore::setHideSelection(bool hide)
{
    options_.hideSelection = hide;
    applyColors();
}

void EditCore::applyColors()
{
    const QColor text = ToQColor(options_.textColor);
    const QColor back = ToQColor(options_.backColor);
    const QPalette app = QApplication::palette();
    QPalette pal = box_->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        pal.setColor(group, QPalette::Base, back);
    for (auto group : {QPalette::Active, QPalette::Inactive})
        pal.setColor(group, QPalette::Text, text);
    // An unfocused box shows its selection in the normal colours, or not at
    // all when it hides it.
    pal.setColor(QPalette::Inactive, QPalette::Highlight,
                 options_.hideSelection ? back : app.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 options_.hideSelection ? text : app.color(QPalette::Active, QPalette::HighlightedText));
    box_->setPalette(pal);
}

void EditCore::setFont(std::string_view logicalFont)
{
    options_.font = std::string(logicalFont);
    applyFont();
}

void EditCore::applyFont()
{
    box_->setFont(FontFromRecord(options_.font));
    fitFont();
}

void LineEditCore::fitFont()
{
    // One line of a double-byte sample in the font the box now has (a
    // fallback font may draw it taller than Latin text).
    const int sampleHeight = line_->fontMetrics().size(Qt::TextSingleLine, QString(QChar(0x4E2D))).height();
    const int lineHeight = sampleHeight + 2 * kEditEdgeHeight;
    if (line_->height() < lineHeight)
        line_->resize(line_->width(), lineHeight);
}

void EditCore::setInputMode(int mode)
{
    options_.inputMode = mode;
    applyInputMode();
}

void EditCore::setPasswordChar(char c)
{
    options_.passwordChar = c;
    if (options_.inputMode == 2)
        applyInputMode();
}

void LineEditCore::applyInputMode()
{
    line_->setReadOnly(options_.inputMode == 1);
    line_->setFilter(CharFilterForInputMode(options_.inputMode));
    const bool password = options_.inputMode == 2 && options_.passwordChar != 0;
    line_->setPasswordChar(password ? PasswordQChar(options_.passwordChar) : QChar());
    box_->update();
}

void TextViewCore::applyInputMode()
{
    view_->setReadOnly(options_.inputMode == 1);
    view_->setFilter(CharFilterForInputMode(options_.inputMode));
    box_->update();
}

void EditCore::setTextLimit(int32_t bytes)
{
    options_.textLimit = std::max(0, bytes);
    applyShaping();
}

void EditCore::setCaseConversion(int conversion)
{
    options_.caseConversion = conversion;
    applyShaping();
}

void LineEditCore::applyShaping()
{
    line_->shaper()->caseConversion = options_.caseConversion;
    line_->shaper()->byteLimit = static_cast<size_t>(options_.textLimit);
    line_->updateShaping();
}

void EditCore::setAlignment(int alignment)
{
    options_.alignment = alignment;
    applyAlignment();
}

void LineEditCore::applyAlignment() { line_->setAlignment(HorizontalAlignment(options_.alignment) | Qt::AlignVCenter); }

void TextViewCore::applyAlignment() { view_->setAlignment(HorizontalAlignment(options_.alignment)); }

// ---- spinner ----------------------------------------------------------------------

void EditCore::setSpinnerRange(int32_t a, int32_t b)
{
    options_.spinMin = a;
    options_.spinMax = b;
    if (!spinner_)
        return;
    spinner_->lower = static_cast<int16_t>(std::min(a, b));
    spinner_->upper = static_cast<int16_t>(std::max(a, b));
}

WindowHandle EditCore::spinnerHandle() const { return ToHandle(spinner_); }

void EditCore::placeSpinner()
{
    if (!spinner_)
        return;
    QWidget* parent = box_->parentWidget();
    if (spinner_->parentWidget() != parent)
        spinner_->setParent(parent);
    spinner_->setGeometry(box_->x() + box_->width(), box_->y(), kSpinnerWidth, box_->height());
    spinner_->setEnabled(box_->isEnabled());
    spinner_->setVisible(!box_->isHidden());
    spinner_->stackUnder(box_);
}

bool EditCore::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != box_)
        return false;
    if (editorEvent(event))
        return true;
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

} // namespace mt::platform

namespace mt::platform {

void TextViewCore::setNotice(std::string_view gb) { view_->setNotice(FromGb(gb)); }

std::string TextViewCore::notice() const { return ToGb(view_->notice()); }

void TextViewCore::addMenuShortcut(std::string_view gb, int32_t letter, int32_t keyState)
{
    view_->addMenuShortcut(FromGb(gb), letter, keyState);
}

void TextViewCore::addMenuSwitch(std::string_view gb, bool (*isOn)(), void (*turn)(bool))
{
    view_->addMenuSwitch(FromGb(gb), isOn, turn);
}

} // namespace mt::platform
