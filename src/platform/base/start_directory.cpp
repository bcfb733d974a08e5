#include "platform/start_directory.h"

#include <unistd.h>

#include <climits>

namespace mt::platform {
namespace {

std::string& StartDirectory()
{
    static std::string directory;
    return directory;
}

std::string CurrentDirectory()
{
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

} // namespace

void RememberStartDirectory()
{
    if (StartDirectory().empty())
        StartDirectory() = CurrentDirectory();
}

std::string FromStartDirectory(const std::string& path)
{
    if (path.empty() || path.front() == '/')
        return path;
    const std::string base = StartDirectory().empty() ? CurrentDirectory() : StartDirectory();
    return base.empty() ? path : base + "/" + path;
}

} // namespace mt::platform
