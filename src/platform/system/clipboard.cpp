#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/application.h"
#include "platform/system/text_mime.h"
#include "platform/text_codec.h"

namespace mt::platform {

bool SetClipboardText(std::string_view gb)
{
    EnsureApplication();
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setMimeData(NewTextMime(gb));
    return true;
}

std::string ClipboardText()
{
    EnsureApplication();
    QClipboard* clipboard = QGuiApplication::clipboard();
    std::string gb;
    if (!clipboard || !TextFromMime(clipboard->mimeData(), &gb))
        return {};
    return gb;
}

bool ClipboardHasText()
{
    EnsureApplication();
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard && MimeHasText(clipboard->mimeData());
}

} // namespace mt::platform
