// test CASEFILE...: every case of the case files run as extract runs its
// rule, one line a case and a summary; --json, --junit and --update.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

#include "case_pages.h"
#include "case_report.h"
#include "cli_context.h"
#include "shared/cli_messages.h"
#include "shared/runtime_utf8.h"

namespace app {
namespace {

// The case files read and parsed; false (every malformed line named) when
// any cannot be read or holds a malformed line: then no case runs.
bool ReadCaseFiles(const CliContext& c, std::vector<CaseFile>* files)
{
    bool good = true;
    std::vector<std::pair<dev_t, ino_t>> seen; // --update writes each file once
    for (const std::string& path : c.options.sources) {
        struct stat st {};
        if (c.options.update && fstatat(c.startDirectory, path.c_str(), &st, 0) == 0) {
            const std::pair<dev_t, ino_t> id(st.st_dev, st.st_ino);
            if (std::find(seen.begin(), seen.end(), id) != seen.end()) {
                PrintError(EchoArgument(path) + ": given twice; --update writes a case file once");
                good = false;
                continue;
            }
            seen.push_back(id);
        }
        CaseFile file{path, {}, {}};
        std::string error;
        if (!ReadFileBytes(path, c.startDirectory, &file.contents, &error)) {
            PrintError(error);
            good = false;
            continue;
        }
        std::vector<CaseLineError> errors;
        ParseCaseFile(file.contents, CaseUse::kTest, &file.cases, &errors);
        for (const CaseLineError& e : errors)
            PrintError(EchoArgument(path) + ":" + std::to_string(e.line) + ": " + e.reason);
        good = good && errors.empty();
        files->push_back(std::move(file));
    }
    return good;
}

// A line on standard error without the program's name: the summary of
// --json, whose standard output holds the objects alone.
void PrintNote(const std::string& line)
{
    const std::string text = line + "\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
}

// UTF-8 lines as the terminal takes them.
std::string ForTerminal(const CliContext& c, const std::string& utf8)
{
    if (!c.console.raw() && c.console.encoding() == "UTF-8")
        return utf8;
    static const ConsoleText fromUtf8 = ConsoleText::ForEncoding("UTF-8");
    Owned text;
    return fromUtf8.decode(utf8, &text) ? c.console.encode(text.view()) : utf8;
}

// The file's contents with the lines (by number) replaced; every other
// byte kept, line ends and a byte-order mark included.
std::string Rewritten(const CaseFile& file, const std::map<size_t, std::pair<const TestCase*, NewExpectation>>& lines)
{
    std::string out;
    std::string_view rest = file.contents;
    for (size_t number = 1; !rest.empty(); ++number) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        const auto update = lines.find(number);
        if (update == lines.end()) {
            out += line;
        } else {
            const bool mark = number == 1 && line.substr(0, 3) == "\xef\xbb\xbf";
            const bool cr = !line.empty() && line.back() == '\r';
            line = line.substr(mark ? 3 : 0, line.size() - (mark ? 3 : 0) - (cr ? 1 : 0));
            out += std::string(mark ? "\xef\xbb\xbf" : "") +
                   RewriteExpectation(line, update->second.first->all, update->second.second) + (cr ? "\r" : "");
        }
        if (end != std::string_view::npos)
            out += '\n';
    }
    return out;
}

// Writes the bytes to `path` through a new file beside it, renamed over it,
// so that a failed write leaves the old file whole. The old file's mode is kept.
bool ReplaceFile(const CliContext& c, const std::string& path, const std::string& bytes, std::string* error)
{
    struct stat st {};
    const bool existed = fstatat(c.startDirectory, path.c_str(), &st, 0) == 0;
    const mode_t mode = existed ? st.st_mode & 07777 : 0666; // a new file as the umask has it
    const std::string temporary = path + ".middletext-new";
    const int fd = openat(c.startDirectory, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    const auto fail = [&](int code) {
        *error = EchoArgument(path) + ": " + std::strerror(code);
        return false;
    };
    if (fd < 0)
        return fail(errno);
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int code = errno;
            close(fd);
            unlinkat(c.startDirectory, temporary.c_str(), 0);
            return fail(code);
        }
        done += static_cast<size_t>(n);
    }
    // The file is closed also when its mode could not be set.
    const bool modeFailed = existed && fchmod(fd, mode) != 0;
    const bool closeFailed = close(fd) != 0;
    if (modeFailed || closeFailed ||
        renameat(c.startDirectory, temporary.c_str(), c.startDirectory, path.c_str()) != 0) {
        const int code = errno;
        unlinkat(c.startDirectory, temporary.c_str(), 0);
        return fail(code);
    }
    return true;
}

bool WriteJunit(const CliContext& c, const std::vector<CaseFile>& files, const std::vector<CaseOutcome>& outcomes)
{
    std::vector<JunitSuite> suites;
    size_t index = 0;
    for (const CaseFile& file : files) {
        suites.push_back({file.path, {}, {}});
        for (const TestCase& tc : file.cases) {
            suites.back().cases.push_back(&tc);
            suites.back().outcomes.push_back(&outcomes[index++]);
        }
    }
    std::string error;
    if (ReplaceFile(c, *c.options.junit, JunitXml(suites), &error))
        return true;
    PrintError("--junit " + error);
    return false;
}

} // namespace

int RunTest(const CliContext& c)
{
    const CliOptions& o = c.options;
    std::vector<CaseFile> files;
    if (!ReadCaseFiles(c, &files))
        return kExitUsage;
    CasePages pages(c, files);
    std::vector<CaseOutcome> outcomes;
    size_t passed = 0, failed = 0, errors = 0, updated = 0, index = 0;
    int sourceStatus = kExitDone;
    for (const CaseFile& file : files) {
        std::map<size_t, std::pair<const TestCase*, NewExpectation>> updates;
        for (const TestCase& tc : file.cases) {
            const CasePage& page = pages.page(index);
            CaseOutcome outcome = RunCase(tc, page);
            sourceStatus = std::max(sourceStatus, page.status);
            pages.done(index++);
            passed += outcome.status == CaseOutcome::Status::kOk;
            failed += outcome.status == CaseOutcome::Status::kFail;
            errors += outcome.status == CaseOutcome::Status::kError;
            if (o.json)
                c.out.write(CaseJson(file.path, tc, outcome));
            else
                c.out.write(ForTerminal(c, CaseLines(tc, outcome, o.update)));
            if (o.update && outcome.status == CaseOutcome::Status::kFail)
                updates.emplace(tc.line, std::pair(&tc, ExpectationNow(outcome)));
            outcomes.push_back(std::move(outcome));
            c.out.flush(); // a case at a time: a slow page shows where the run is
            if (c.out.failed())
                return kExitOutput;
        }
        if (!updates.empty()) {
            std::string error;
            if (!ReplaceFile(c, file.path, Rewritten(file, updates), &error)) {
                PrintError(error);
                return kExitOutput;
            }
            updated += updates.size();
            const std::string note = std::to_string(updates.size()) + " updated in " + EchoArgument(file.path) + "\n";
            if (o.json)
                PrintNote(note.substr(0, note.size() - 1));
            else
                c.out.write(note);
        }
    }
    const std::string summary = std::to_string(passed) + " passed, " + std::to_string(failed) + " failed, " +
                                std::to_string(errors) + " errors";
    if (o.json) {
        c.out.flush();
        PrintNote(summary);
    } else {
        c.out.write(summary + "\n");
    }
    if (o.junit && !WriteJunit(c, files, outcomes))
        return kExitOutput;
    // A failed case comes first: what a CI job needs to know. Failures
    // written back by --update no longer fail.
    if (failed > updated)
        return kExitMessage;
    return sourceStatus;
}

} // namespace app
