#include "case_run.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "abi/text_value.h"
#include "cli_diagnostics.h"
#include "cli_messages.h"
#include "console_input.h"
#include "runtime_utf8.h"

namespace app {

namespace {

const ConsoleText& Utf8Console()
{
    static const ConsoleText utf8 = ConsoleText::ForEncoding("UTF-8");
    return utf8;
}

std::string Plain(std::string_view s)
{
    return std::string(s);
}

} // namespace

bool ReadFileBytes(const std::string& path, int directory, std::string* bytes, std::string* error)
{
    const int fd = openat(directory, path.c_str(), O_RDONLY | O_CLOEXEC);
    const auto fail = [&](int code) {
        *error = EchoArgument(path) + ": " + std::strerror(code);
        return false;
    };
    if (fd < 0)
        return fail(errno);
    bytes->clear();
    char piece[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, piece, sizeof piece);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int code = errno;
            close(fd);
            return fail(code);
        }
        if (n == 0)
            break;
        bytes->append(piece, static_cast<size_t>(n));
        if (bytes->size() > InputLimit()) {
            close(fd);
            *error = EchoArgument(path) + ": input too large";
            return false;
        }
    }
    close(fd);
    return true;
}

std::string SourcePath(const std::string& caseFile, const TestCase& c)
{
    if (c.url || c.source.front() == '/')
        return c.source;
    const size_t slash = caseFile.rfind('/');
    if (slash == std::string::npos)
        return c.source == "-" ? "./-" : c.source; // a file named -, not standard input
    return caseFile.substr(0, slash + 1) + c.source;
}

std::string RuntimeText(const CaseText& text)
{
    if (text.gbk)
        return text.bytes;
    Owned runtime;
    if (!Utf8Console().decode(text.bytes, &runtime))
        return text.bytes; // not reached: the file's texts are checked UTF-8
    return Plain(runtime.view());
}

namespace {

constexpr const char* kLeftMissing = "the left text is not in the page";
constexpr const char* kRightMissing = "the right text is not in the page";

// The middle text of a single extraction, as extract finds it.
bool ExtractOne(const char* text, const std::string& left, const std::string& right, std::string* middle,
                std::string* reason)
{
    if (FindText(text, left.c_str(), nullptr, false) == -1)
        return *reason = kLeftMissing, false;
    if (FindText(text, right.c_str(), nullptr, false) == -1)
        return *reason = kRightMissing, false;
    const int32_t from = FindText(text, left.c_str(), nullptr, false) + TextLength(left.c_str());
    const int32_t end = FindText(text + from - 1, right.c_str(), nullptr, false);
    middle->assign(text + from - 1, end > 1 ? static_cast<size_t>(end - 1) : 0);
    return true;
}

// Every middle text, as extract --all finds them.
std::vector<std::string> ExtractAll(const char* text, int32_t length, const std::string& left,
                                    const std::string& right, std::string* reason)
{
    std::vector<std::string> found;
    if (FindText(text, left.c_str(), nullptr, false) == -1)
        return *reason = kLeftMissing, found;
    if (FindText(text, right.c_str(), nullptr, false) == -1)
        return *reason = kRightMissing, found;
    const auto leftLength = static_cast<int32_t>(left.size()), rightLength = static_cast<int32_t>(right.size());
    for (int32_t at = 0; at < length;) {
        const int32_t l = FindText(text + at, left.c_str(), nullptr, false);
        if (l == -1)
            break;
        const int32_t from = at + l - 1 + leftLength;
        if (from >= length)
            break;
        const int32_t r = FindText(text + from, right.c_str(), nullptr, false);
        if (r == -1)
            break;
        found.emplace_back(text + from, static_cast<size_t>(r - 1));
        at = from + r - 1 + rightLength;
    }
    return found;
}

} // namespace

bool ReadCaseSource(const std::string& path, int directory, bool gbk, Owned* text, int32_t* length,
                    std::string* error)
{
    static const ConsoleText raw(true);
    if (ReadInputText(path, directory, gbk ? raw : Utf8Console(), text, length, error))
        return true;
    if (!gbk && error->find("try --gbk") != std::string::npos)
        *error = EchoArgument(path) + " is not valid UTF-8 (try \"source_gbk\": true for GB18030)";
    return false;
}

NewExpectation ExpectationNow(const CaseOutcome& o)
{
    NewExpectation e{o.found, {}, false};
    for (const std::string& text : o.got) {
        std::string utf8;
        e.gbk = e.gbk || !RuntimeToUtf8(text, &utf8);
        e.texts.push_back(utf8);
    }
    if (e.gbk)
        e.texts = o.got;
    return e;
}

CaseOutcome RunCase(const TestCase& c, const CasePage& page)
{
    CaseOutcome o;
    for (const CaseText& text : c.expect)
        o.expected.push_back(RuntimeText(text));
    if (!page.read) {
        o.status = CaseOutcome::Status::kError;
        o.reason = page.error;
        return o;
    }
    const char* text = Arg(page.text.text());
    const std::string left = RuntimeText(*c.left), right = RuntimeText(*c.right);
    std::string missing;
    if (c.all) {
        o.got = ExtractAll(text, page.length, left, right, &missing);
        if (o.got == o.expected)
            return o;
        o.reason = !missing.empty() && !o.expected.empty() ? missing : "the middle texts differ";
    } else {
        std::string middle;
        o.found = ExtractOne(text, left, right, &middle, &missing);
        if (o.found)
            o.got.push_back(std::move(middle));
        if (o.found == c.found && o.got == o.expected)
            return o;
        o.reason = !o.found ? missing : !c.found ? "a middle text was found where none was expected"
                                                 : "the middle text differs";
    }
    o.status = CaseOutcome::Status::kFail;
    const bool empty = o.got.empty() || (!c.all && o.got.front().empty());
    if (!o.found || empty)
        o.hint = DiagnoseRule(text, left.c_str(), right.c_str(), false);
    return o;
}

} // namespace app
