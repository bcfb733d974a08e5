#include "command_line.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli_context.h"
#include "code_languages.h"
#include "program_version.h"
#include "shared/cli_messages.h"

namespace app {

bool CliContext::decodeArgument(const std::string& value, const char* name, Owned* text, int* status) const
{
    if (console.decode(value, text))
        return true;
    PrintError(std::string(name) + " is " + diag::NotValid(console.encoding()));
    *status = kExitUsage;
    return false;
}

int RunCode(const CliContext& c)
{
    if (c.options.lang) {
        c.out.write(CodeInLanguage(*c.options.lang)); // ASCII: the same in every encoding
        return kExitDone;
    }
    c.out.write(c.console.encode(Lit(lit::ExtractionCodeTemplate)));
    return kExitDone;
}

namespace {

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
    if (!NeedsStartDirectory(o))
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
    if (o.command == "help") {
        out.write(CliUsage(o.helpCommand));
        return Finish(out, kExitDone);
    }
    const int startDirectory = OpenStartDirectory(o);
    if (startDirectory == -1) {
        PrintError(std::string("the directory the program was started in: ") + std::strerror(errno));
        return kExitUsage;
    }
    mt::Runtime().auxiliaryCall(6, reinterpret_cast<uintptr_t>(&kProgramHeader), 0, 0, 0);
    if (o.command == "version") {
        // The first line as it always was; then what pages are read with.
        out.write(std::string("middletext ") + kProgramVersion + "\n");
        out.write(LibraryVersions().view());
        return Finish(out, kExitDone);
    }
    const ConsoleText console(o.gbk);
    const CliContext context{o, console, out, startDirectory};
    const int status = Finish(out, RunCommand(context));
    if (startDirectory >= 0)
        close(startDirectory);
    return status;
}

} // namespace app
