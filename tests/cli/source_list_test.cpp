// The sources of extract and find, handed out by the source list directly:
// operands in order, URLs told from files, directories under -r in name
// order, and the lines of --sources behind the operands.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_context.h"
#include "cli/source_list.h"

namespace {

namespace fs = std::filesystem;
using app::CliOptions;
using app::Source;
using Kind = app::Source::Kind;

// A folder of sources: a.txt, a list, and a tree d/ with a link and an
// inner folder.
class SourceFolder {
public:
    SourceFolder()
    {
        char name[] = "/tmp/mt-sources-XXXXXX";
        root_ = mkdtemp(name);
        fs::create_directories(root_ / "d" / "sub");
        for (const char* file : {"a.txt", "d/z", "d/b", "d/sub/c"})
            std::ofstream(root_ / file) << "x";
        fs::create_symlink(root_ / "a.txt", root_ / "d" / "link");
        std::ofstream(root_ / "list", std::ios::binary) << "x.txt\r\n\nHTTP://h/p\n  https://s/\nd\nlast";
        fd_ = open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    ~SourceFolder()
    {
        close(fd_);
        fs::remove_all(root_);
    }
    int fd() const { return fd_; }

private:
    fs::path root_;
    int fd_ = -1;
};

// "kind:name" of each source, in order.
std::string Kinds(const Source& s)
{
    switch (s.kind) {
    case Kind::kFile: return "file:" + s.name;
    case Kind::kStandardInput: return "stdin:" + s.name;
    case Kind::kUrl: return "url:" + s.name;
    case Kind::kUnreadable: return "unreadable:" + s.name + (s.error.empty() ? " (no reason)" : "");
    }
    return "?";
}

struct Row {
    const char* name;
    std::vector<std::string> sources;
    const char* list; // --sources, or null
    bool recursive;
    std::vector<std::string> expected;
    bool named;
};

// A failing row names itself.
void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

class SourceListGives : public testing::TestWithParam<Row> {};

TEST_P(SourceListGives, TheSourcesInOrder)
{
    const Row& row = GetParam();
    SourceFolder folder;
    CliOptions o;
    o.command = "find";
    o.sources = row.sources;
    if (row.list)
        o.sourceList = row.list;
    o.recursive = row.recursive;
    app::SourceList list(o, folder.fd());
    std::vector<std::string> got;
    for (Source s; list.next(&s) && got.size() < 20;)
        got.push_back(Kinds(s));
    EXPECT_EQ(got, row.expected);
    EXPECT_EQ(list.named(), row.named);
}

const Row kRows[] = {
    {"NoneIsStandardInputOnce", {}, nullptr, false, {"stdin:-"}, false},
    {"OneFileIsNotNamed", {"a.txt"}, nullptr, false, {"file:a.txt"}, false},
    {"OperandsInTheOrderGiven", {"b", "-", "http://h/", "a.txt"}, nullptr, false, {"file:b", "stdin:-", "url:http://h/", "file:a.txt"}, true},
    {"DirectoryWithoutRecursiveIsAFile", {"d"}, nullptr, false, {"file:d"}, false},
    {"RecursiveWalksInNameOrderSkippingLinks", {"d/"}, nullptr, true, {"file:d/b", "file:d/sub/c", "file:d/z"}, true},
    {"RecursiveKeepsFilesAndUrls", {"a.txt", "d/sub", "https://h/"}, nullptr, true, {"file:a.txt", "file:d/sub/c", "url:https://h/"}, true},
    {"RecursiveOnAMissingFolder", {"nowhere"}, nullptr, true, {"file:nowhere"}, true},
    {"ListBehindTheOperands", {"a.txt"}, "list", false, {"file:a.txt", "file:x.txt", "url:HTTP://h/p", "url:  https://s/", "file:d", "file:last"}, true},
    {"ListWithRecursive", {}, "list", true, {"file:x.txt", "url:HTTP://h/p", "url:  https://s/", "file:d/b", "file:d/sub/c", "file:d/z", "file:last"}, true},
    {"ListUnreadable", {"a.txt"}, "missing", false, {"file:a.txt", "unreadable:missing"}, true},
};

INSTANTIATE_TEST_SUITE_P(Rows, SourceListGives, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

TEST(SourceList, UrlsInAnyCaseWithBlanksInFront)
{
    for (const char* url : {"http://h", "HTTPS://h/p", " \thttp://h", "hTtP://x"})
        EXPECT_TRUE(app::IsUrlSource(url)) << url;
    for (const char* other : {"http://", "https:/h", "ftp://h", "file:///etc", "./http://h", "", "http:h"})
        EXPECT_FALSE(app::IsUrlSource(other)) << other;
}

TEST(SourceList, TheStartDirectoryIsNeededForRelativePathsOnly)
{
    CliOptions o;
    o.command = "extract";
    o.sources = {"/abs", "-", "http://h/"};
    EXPECT_FALSE(app::NeedsStartDirectory(o));
    o.sources.emplace_back("rel");
    EXPECT_TRUE(app::NeedsStartDirectory(o));
    o.sources = {};
    o.sourceList = "/list"; // its lines may be relative
    EXPECT_TRUE(app::NeedsStartDirectory(o));
    CliOptions fetch;
    fetch.command = "fetch";
    fetch.outputs = {"-", "/out"};
    EXPECT_FALSE(app::NeedsStartDirectory(fetch));
    fetch.dumpHeader = "headers";
    EXPECT_TRUE(app::NeedsStartDirectory(fetch));
}

} // namespace
