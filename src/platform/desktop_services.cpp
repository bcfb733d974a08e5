#include "platform/desktop_services.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "platform/application.h"
#include "platform/text_codec.h"

namespace mt::platform {

bool FileExists(std::string_view gbPath)
{
    const QFileInfo info(FromGb(gbPath));
    return !gbPath.empty() && info.exists() && info.isFile();
}

bool OpenDocument(std::string_view gbPath)
{
    EnsureApplication();
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(FromGb(gbPath)).absoluteFilePath()));
}

} // namespace mt::platform
