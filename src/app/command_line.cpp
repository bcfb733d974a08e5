#include "command_line.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli_context.h"
#include "cli_messages.h"
#include "code_languages.h"
#include "console_input.h"
#include "extraction.h"
#include "find_state.h"

namespace app {

void PrintError(const std::string& message)
{
    const std::string line = "middletext: " + message + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

bool CliContext::decodeArgument(const std::string& value, const char* name, Owned* text, int* status) const
{
    if (console.decode(value, text))
        return true;
    PrintError(std::string(name) + " is not valid " + console.encoding() + " (try --gbk for GB18030)");
    *status = kExitUsage;
    return false;
}

namespace {

// The big text and the texts given with the options.
struct Texts {
    Owned text;
    int32_t length = 0;
    Owned left, right, wanted;
};

int ExtractOne(const CliContext& c, const Texts& t)
{
    Owned middle;
    switch (ExtractMiddle(t.text.text(), t.left.text(), t.right.text(), &middle)) {
    case ExtractOutcome::kLeftNotFound: return c.message(lit::LeftNotFound);
    case ExtractOutcome::kRightNotFound: return c.message(lit::RightNotFound);
    case ExtractOutcome::kDone: break;
    }
    c.out.write(c.console.encode(middle.view()));
    if (c.options.newline)
        c.out.write("\n");
    return kExitDone;
}

// Every middle text in order: the next left text is sought right behind the
// last right text. The searches see the text from where they start on, so
// the whole run reads the text about once.
int ExtractAll(const CliContext& c, const Texts& t)
{
    if (t.left.empty() || t.right.empty()) {
        PrintError("--all needs a left and a right text that are not empty");
        return kExitUsage;
    }
    // Missing texts answer as a single extraction does.
    if (FindText(t.text.text(), t.left.text(), nullptr, false) == -1)
        return c.message(lit::LeftNotFound);
    if (FindText(t.text.text(), t.right.text(), nullptr, false) == -1)
        return c.message(lit::RightNotFound);
    const int32_t leftLength = TextLength(t.left.text());
    const int32_t rightLength = TextLength(t.right.text());
    const char* text = t.text.text();
    const std::string_view end = c.options.zero ? std::string_view("\0", 1) : std::string_view("\n");
    for (int32_t at = 0; at < t.length;) {
        const int32_t left = FindText(text + at, t.left.text(), nullptr, false);
        if (left == -1)
            break;
        const int32_t from = at + left - 1 + leftLength; // 0-based, behind the left text
        if (from >= t.length)
            break;
        const int32_t right = FindText(text + from, t.right.text(), nullptr, false);
        if (right == -1)
            break;
        c.out.write(c.console.encode(std::string_view(text + from, static_cast<size_t>(right - 1))));
        c.out.write(end);
        if (c.out.failed())
            break; // the reader is gone: Finish() says so
        at = from + right - 1 + rightLength;
    }
    return kExitDone;
}

// Positions that successive clicks of the find button select, from its
// first-search state, until nothing more is found or a position repeats.
// The window's message that ends the clicks is for a find that found
// nothing: behind the positions it would only be noise on standard error.
int Find(const CliContext& c, const Texts& t)
{
    if (SameText(t.wanted.text(), Lit(lit::PromptMiddle)))
        return c.message(lit::MiddleMissing);
    FindState state;
    int32_t last = 0;
    bool printed = false;
    for (int32_t pos = FindFirst(state, t.text.text(), t.wanted.text()); pos != -1;
         pos = FindNextWithin(state, t.text.text(), t.length, t.wanted.text())) {
        if (printed && pos <= last)
            return kExitDone;
        c.out.write(std::to_string(pos) + "\n");
        if (c.out.failed())
            return kExitDone; // the reader is gone: Finish() says so
        last = pos;
        printed = true;
    }
    return printed ? kExitDone : c.message(lit::NotFound);
}

// extract and find: the arguments, then the input.
int RunOnInput(const CliContext& c)
{
    const CliOptions& o = c.options;
    Texts t;
    int status = kExitDone;
    if ((o.left && !c.decodeArgument(*o.left, "--left", &t.left, &status)) ||
        (o.right && !c.decodeArgument(*o.right, "--right", &t.right, &status)) ||
        (o.text && !c.decodeArgument(*o.text, "--text", &t.wanted, &status)))
        return status;
    std::string error;
    if (!ReadInputText(o.file, c.startDirectory, c.console, &t.text, &t.length, &error)) {
        PrintError(error);
        return kExitUsage;
    }
    if (o.command == "find")
        return Find(c, t);
    return o.all ? ExtractAll(c, t) : ExtractOne(c, t);
}

int Run(const CliContext& c)
{
    const std::string& command = c.options.command;
    if (command == "extract" || command == "find")
        return RunOnInput(c);
    if (command == "fetch")
        return RunFetch(c);
    if (c.options.lang) {
        c.out.write(CodeInLanguage(*c.options.lang)); // ASCII: the same in every encoding
        return kExitDone;
    }
    c.out.write(c.console.encode(Lit(lit::ExtractionCodeTemplate)));
    return kExitDone;
}

// Writes what is left of the output; a failure outweighs any other outcome.
int Finish(ConsoleOutput& out, int status)
{
    std::string error;
    if (out.finish(&error))
        return status;
    PrintError("standard output: " + error);
    return kExitOutput;
}

// The runtime makes the program's directory current as it starts; a path on
// the command line is the user's, relative to where they started it. Held
// open above the standard streams (one of them may be closed), and only
// when a relative path needs it: AT_FDCWD when none does, -1 (errno set)
// when it cannot be had.
int OpenStartDirectory(const CliOptions& o)
{
    if (!o.file || o.file->empty() || o.file->front() == '/' || *o.file == "-" || o.command == "fetch")
        return AT_FDCWD;
    const int fd = open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || fd > STDERR_FILENO)
        return fd;
    const int high = fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    const int error = errno;
    close(fd);
    errno = error;
    return high;
}

} // namespace

int CommandLineEntry(int argc, char** argv)
{
    CliOptions o;
    std::string error;
    if (!ParseCliOptions(argc, argv, &o, &error)) {
        PrintError(error);
        std::fputs("Try 'middletext --help'.\n", stderr);
        return kExitUsage;
    }
    ConsoleOutput out;
    if (o.command == "help" || o.command == "version") {
        out.write(o.command == "help" ? kCliUsage : "middletext 1.0.0\n");
        return Finish(out, kExitDone);
    }
    const int startDirectory = OpenStartDirectory(o);
    if (startDirectory == -1) {
        PrintError(EchoArgument(*o.file) + ": " + std::strerror(errno));
        return kExitUsage;
    }
    mt::Runtime().auxiliaryCall(6, reinterpret_cast<uintptr_t>(&kProgramHeader), 0, 0, 0);
    const ConsoleText console(o.gbk);
    const CliContext context{o, console, out, startDirectory};
    const int status = Finish(out, Run(context));
    if (startDirectory >= 0)
        close(startDirectory);
    return status;
}

} // namespace app
