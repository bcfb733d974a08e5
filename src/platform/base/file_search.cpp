#include "platform/file_search.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/text_codec.h"

namespace mt::platform {

struct FileSearch {
    DIR* dir = nullptr;
    std::string directory; // UTF-8, with a trailing '/' unless empty
    std::string pattern;   // UTF-8
};

FileSearch* BeginFileSearch(const std::string& pattern)
{
    std::string utf8 = GbToUtf8(pattern);
    size_t slash = utf8.rfind('/');
    auto* s = new FileSearch;
    s->directory = slash == std::string::npos ? std::string() : utf8.substr(0, slash + 1);
    s->pattern = slash == std::string::npos ? utf8 : utf8.substr(slash + 1);
    s->dir = opendir(s->directory.empty() ? "." : s->directory.c_str());
    if (!s->dir) {
        delete s;
        return nullptr;
    }
    return s;
}

bool NextFileEntry(FileSearch* s, std::string* name, uint32_t* attributes)
{
    if (!s)
        return false;
    while (dirent* e = readdir(s->dir)) {
        if (fnmatch(s->pattern.c_str(), e->d_name, FNM_PERIOD) != 0)
            continue;
        std::string path = s->directory + e->d_name;
        struct stat st {};
        if (stat(path.c_str(), &st) != 0)
            continue;
        uint32_t attr = 0;
        if (S_ISDIR(st.st_mode))
            attr |= kAttrDirectory;
        if (e->d_name[0] == '.')
            attr |= kAttrHidden;
        if (access(path.c_str(), W_OK) != 0)
            attr |= kAttrReadOnly;
        std::string gb;
        if (!Utf8ToGb(e->d_name, &gb))
            continue; // a name that is not valid UTF-8 cannot be handed on faithfully
        *name = gb;
        *attributes = attr;
        return true;
    }
    return false;
}

void EndFileSearch(FileSearch* s)
{
    if (!s)
        return;
    closedir(s->dir);
    delete s;
}

} // namespace mt::platform
