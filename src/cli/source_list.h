// The sources of extract and find, in the order they were given: the
// operands, then the lines of --sources, a directory (with --recursive)
// standing for its regular files in name order. Handed out one at a time,
// so that a long list or a deep tree is never held whole.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli_options.h"

namespace app {

struct Source {
    enum class Kind {
        kFile,          // a path, relative ones found from the start directory
        kStandardInput, // "-", or no source given at all
        kUrl,           // http:// or https://, in any letter case (IsUrlSource)
        kUnreadable,    // a directory or list that could not be read; error says why
    };
    Kind kind = Kind::kFile;
    std::string name;  // as given, or the directory's name, a slash and the file's path in it
    std::string error; // kUnreadable: the system's reason
};

// Whether an operand is read as a page: http:// or https:// in any letter
// case, blanks in front of it allowed.
bool IsUrlSource(const std::string& operand);

class SourceList {
public:
    // `directory`: where relative paths are found (an open directory or
    // AT_FDCWD).
    SourceList(const CliOptions& options, int directory);
    ~SourceList();
    SourceList(const SourceList&) = delete;
    SourceList& operator=(const SourceList&) = delete;

    // The next source; false after the last.
    bool next(Source* source);
    // Whether results are named by their source unless asked otherwise:
    // more than one operand, a list, or --recursive.
    bool named() const { return named_; }

private:
    struct Walk; // a directory being read
    struct ListReader;
    bool fromOperand(const std::string& operand, Source* source);
    bool fromWalk(Source* source);

    const CliOptions& options_;
    int directory_;
    bool named_;
    size_t nextOperand_ = 0;
    bool standardInputOnly_; // no source given: standard input once
    std::vector<Walk> walks_;
    std::unique_ptr<ListReader> list_;
    bool listOpened_ = false;
};

} // namespace app
