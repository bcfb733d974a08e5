#include "source_list.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cli_context.h"
#include "shared/cli_messages.h"

namespace app {

struct SourceList::Walk {
    std::string path;               // as it will be named, without a slash at the end
    std::vector<std::string> names; // its entries, sorted
    size_t next = 0;
};

// The lines of --sources, read a piece at a time.
struct SourceList::ListReader {
    int fd = -1;
    bool owned = false;
    std::string buffer;
    bool ended = false;

    ~ListReader()
    {
        if (owned)
            close(fd);
    }
    // The next line without its line break (and a carriage return before
    // it); false at the end. *error is set when a read failed.
    bool line(std::string* out, int* error)
    {
        for (;;) {
            const size_t end = buffer.find('\n');
            if (end != std::string::npos || (ended && !buffer.empty())) {
                *out = buffer.substr(0, end);
                buffer.erase(0, end == std::string::npos ? buffer.size() : end + 1);
                if (!out->empty() && out->back() == '\r')
                    out->pop_back();
                return true;
            }
            if (ended)
                return false;
            char piece[1 << 16];
            const ssize_t n = ::read(fd, piece, sizeof piece);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                *error = errno;
                ended = true;
                buffer.clear();
                return false;
            }
            ended = n == 0;
            buffer.append(piece, static_cast<size_t>(n));
        }
    }
};

bool IsUrlSource(const std::string& given)
{
    // Blanks in front, as a pasted line may have them, are not sent either.
    const std::string_view operand = std::string_view(given).substr(std::min(given.find_first_not_of(" \t"), given.size()));
    const auto starts = [&operand](std::string_view prefix) {
        return operand.size() > prefix.size() &&
               std::equal(prefix.begin(), prefix.end(), operand.begin(),
                          [](char p, char c) { return p == (c >= 'A' && c <= 'Z' ? c + 0x20 : c); });
    };
    return starts("http://") || starts("https://");
}

bool NeedsStartDirectory(const CliOptions& o)
{
    const auto relative = [](const std::string& path) { return !path.empty() && path.front() != '/' && path != "-"; };
    if (o.command == "fetch")
        return std::any_of(o.outputs.begin(), o.outputs.end(), relative) || (o.dumpHeader && relative(*o.dumpHeader));
    if (o.command == "test" || (o.command == "suggest" && o.cases))
        return true; // relative case files, and relative sources in them
    if (o.command != "extract" && o.command != "find" && o.command != "suggest")
        return false;
    if (o.sourceList)
        return true;
    return std::any_of(o.sources.begin(), o.sources.end(), [](const std::string& s) {
        return !s.empty() && s.front() != '/' && s != "-" && !IsUrlSource(s);
    });
}

SourceList::SourceList(const CliOptions& options, int directory)
    : options_(options),
      directory_(directory),
      named_(options.sources.size() > 1 || options.sourceList || options.recursive),
      standardInputOnly_(options.sources.empty() && !options.sourceList)
{
}

SourceList::~SourceList() = default;

bool SourceList::next(Source* source)
{
    for (;;) {
        if (!walks_.empty()) {
            if (fromWalk(source))
                return true;
            continue;
        }
        if (standardInputOnly_) {
            standardInputOnly_ = false;
            *source = Source{Source::Kind::kStandardInput, "-", ""};
            return true;
        }
        if (nextOperand_ < options_.sources.size()) {
            if (fromOperand(options_.sources[nextOperand_++], source))
                return true;
            continue;
        }
        if (!options_.sourceList)
            return false;
        if (!listOpened_) {
            listOpened_ = true;
            list_ = std::make_unique<ListReader>();
            if (*options_.sourceList != "-") {
                list_->fd = openat(directory_, options_.sourceList->c_str(), O_RDONLY | O_CLOEXEC);
                list_->owned = list_->fd >= 0;
                if (list_->fd < 0) {
                    *source = Source{Source::Kind::kUnreadable, *options_.sourceList, std::strerror(errno)};
                    list_.reset();
                    return true;
                }
            } else {
                list_->fd = STDIN_FILENO;
            }
        }
        if (!list_)
            return false;
        std::string line;
        int error = 0;
        if (!list_->line(&line, &error)) {
            const std::string name = *options_.sourceList == "-" ? "standard input" : *options_.sourceList;
            list_.reset();
            if (error == 0)
                return false;
            *source = Source{Source::Kind::kUnreadable, name, std::strerror(error)};
            return true;
        }
        if (line == "-" && *options_.sourceList == "-") {
            *source = Source{Source::Kind::kUnreadable, line, "standard input holds the list of sources"};
            return true;
        }
        if (!line.empty() && fromOperand(line, source))
            return true;
    }
}

// A source as given: false when it stood for a directory, whose files
// follow.
bool SourceList::fromOperand(const std::string& operand, Source* source)
{
    if (operand == "-") {
        *source = Source{Source::Kind::kStandardInput, operand, ""};
        return true;
    }
    if (IsUrlSource(operand)) {
        *source = Source{Source::Kind::kUrl, operand, ""};
        return true;
    }
    struct stat st {};
    if (options_.recursive && fstatat(directory_, operand.c_str(), &st, 0) == 0 && S_ISDIR(st.st_mode)) {
        std::string path = operand;
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        walks_.push_back(Walk{path, {}, 0});
        const int fd = openat(directory_, operand.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        DIR* dir = fd >= 0 ? fdopendir(fd) : nullptr;
        if (!dir) {
            const int error = errno;
            if (fd >= 0)
                close(fd);
            walks_.pop_back();
            *source = Source{Source::Kind::kUnreadable, operand, std::strerror(error)};
            return true;
        }
        Walk& walk = walks_.back();
        while (const dirent* entry = readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                walk.names.emplace_back(entry->d_name);
        }
        closedir(dir);
        std::sort(walk.names.begin(), walk.names.end());
        return false;
    }
    *source = Source{Source::Kind::kFile, operand, ""};
    return true;
}

// The next regular file of the innermost directory being read; false when
// it has none left or the entry was a directory (now read in its turn).
bool SourceList::fromWalk(Source* source)
{
    Walk& walk = walks_.back();
    if (walk.next == walk.names.size()) {
        walks_.pop_back();
        return false;
    }
    const std::string path = (walk.path == "/" ? "" : walk.path) + "/" + walk.names[walk.next++];
    struct stat st {};
    if (fstatat(directory_, path.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        *source = Source{Source::Kind::kUnreadable, path, std::strerror(errno)};
        return true;
    }
    if (S_ISREG(st.st_mode)) {
        *source = Source{Source::Kind::kFile, path, ""};
        return true;
    }
    if (S_ISDIR(st.st_mode))
        return fromOperand(path, source); // -r holds: read in its turn
    return false;                         // links, devices, pipes: not the directory's regular files
}

} // namespace app
