#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QTextDocument>

#include <algorithm>

#include "platform/edit_control_impl.h"
#include "platform/text_style.h"

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

} // namespace mt::platform
