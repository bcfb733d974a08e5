#include "platform/desktop_services.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "platform/application.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

std::function<bool(std::string_view)>& Opener()
{
    static std::function<bool(std::string_view)> opener;
    return opener;
}

} // namespace

bool FileExists(std::string_view gbPath)
{
    const QFileInfo info(FromGb(gbPath));
    return !gbPath.empty() && info.exists() && info.isFile();
}

bool OpenDocument(std::string_view gbPath)
{
    if (Opener())
        return Opener()(gbPath);
    EnsureApplication();
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(FromGb(gbPath)).absoluteFilePath()));
}

} // namespace mt::platform

namespace mt::platform {

void SetDocumentOpener(std::function<bool(std::string_view)> opener) { Opener() = std::move(opener); }

} // namespace mt::platform
