#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/application.h"
#include "platform/text_codec.h"

namespace mt::platform {

bool SetClipboardText(std::string_view gb)
{
    EnsureApplication();
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(FromGb(gb));
    return true;
}

std::string ClipboardText()
{
    EnsureApplication();
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? ToGb(clipboard->text()) : std::string();
}

bool ClipboardHasText()
{
    EnsureApplication();
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    return data && data->hasText();
}

} // namespace mt::platform
