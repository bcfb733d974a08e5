// The tooltip of a small multi-line box: its whole text (a small box shows
// two rows at most), then which line breaks its marks stand for.
#include <QHelpEvent>
#include <QToolTip>

#include "platform/edit/edit_core.h"
#include "platform/platform_texts.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

constexpr qsizetype kMaxShown = 2000; // characters of the text a tooltip shows

QString Gb(const char* text, unsigned size) { return FromGb(std::string_view(text, size)); }

QString ToolTipFor(const std::string& bytes)
{
    bool crlf = false, lf = false, cr = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            lf = true;
        } else if (bytes[i] == '\r') {
            const bool pair = i + 1 < bytes.size() && bytes[i + 1] == '\n';
            (pair ? crlf : cr) = true;
            i += pair ? 1 : 0;
        }
    }
    QString text = FromGb(bytes);
    if (text.size() > kMaxShown)
        text = text.left(kMaxShown) + QChar(0x2026);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    QString html = QStringLiteral("<p style='white-space:pre-wrap'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
    QStringList names;
    if (crlf)
        names << Gb(gb::kBreaksCrLf, gb::kBreaksCrLfSize).toHtmlEscaped();
    if (lf)
        names << Gb(gb::kBreaksLf, gb::kBreaksLfSize).toHtmlEscaped();
    if (cr)
        names << Gb(gb::kBreaksCr, gb::kBreaksCrSize).toHtmlEscaped();
    if (!names.isEmpty())
        html += QStringLiteral("<p style='color:gray'>") + names.join(QStringLiteral("<br>")) + QStringLiteral("</p>");
    return html;
}

} // namespace

bool PlainEditBox::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && copiesWholeText() && buffer().size() > 0) {
        auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(), ToolTipFor(bytes()), this);
        return true;
    }
    return TextView::event(event);
}

} // namespace mt::platform
