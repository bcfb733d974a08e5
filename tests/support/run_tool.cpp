#include "support/run_tool.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace mt::test {
namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Program()
{
    const char* dir = std::getenv("MT_BINARY_DIR");
    return std::string(dir ? dir : ".") + "/middletext";
}

} // namespace

ToolRun RunTool(const std::vector<std::string>& args, const std::string& input,
                const std::vector<std::string>& environment)
{
    return RunTool(args, input, ToolStreams{}, environment);
}

namespace {

// A child that writes the input into the pipe until its reader is gone.
pid_t StartFeeder(const std::string& input, int pipeEnds[2])
{
    const pid_t feeder = fork();
    if (feeder == 0) {
        close(pipeEnds[0]);
        signal(SIGPIPE, SIG_IGN);
        std::string chunk;
        while (chunk.size() < 65536)
            chunk += input.empty() ? std::string("y\n") : input;
        while (write(pipeEnds[1], chunk.data(), chunk.size()) > 0) {
        }
        _exit(0);
    }
    close(pipeEnds[1]);
    return feeder;
}

// A pseudo-terminal in raw mode (no line-ending translation): its master
// in *master, its slave in *slave; false when the system has none.
bool OpenTerminal(int* master, int* slave)
{
    *master = posix_openpt(O_RDWR | O_NOCTTY);
    if (*master < 0 || grantpt(*master) != 0 || unlockpt(*master) != 0)
        return false;
    const char* name = ptsname(*master);
    *slave = name ? open(name, O_RDWR | O_NOCTTY) : -1;
    termios mode{};
    if (*slave < 0 || tcgetattr(*slave, &mode) != 0)
        return false;
    cfmakeraw(&mode);
    return tcsetattr(*slave, TCSANOW, &mode) == 0;
}

// What the child wrote to the terminal, until its last holder of the slave
// side is gone.
std::string DrainTerminal(int master)
{
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n > 0)
            text.append(buffer, static_cast<size_t>(n));
        else if (n == 0 || errno != EINTR)
            return text; // EIO: the slave side is closed
    }
}

} // namespace

ToolRun RunTool(const std::vector<std::string>& args, const std::string& input, const ToolStreams& streams,
                const std::vector<std::string>& environment)
{
    int feed[2] = {-1, -1};
    pid_t feeder = -1;
    if (streams.in == ToolStreams::In::kEndless && pipe(feed) == 0)
        feeder = StartFeeder(input, feed);
    int sink[2] = {-1, -1};
    if (streams.out == ToolStreams::Out::kBrokenPipe && pipe(sink) == 0)
        close(sink[0]);
    char dirTemplate[] = "/tmp/mt-run-XXXXXX";
    const std::string dir = mkdtemp(dirTemplate);
    const std::string in = dir + "/in", out = dir + "/out", err = dir + "/err";
    std::ofstream(in, std::ios::binary) << input;
    const std::string program = Program();
    int master = -1, slave = -1;
    if (streams.errTerminal && !OpenTerminal(&master, &slave))
        return ToolRun{"", "no pseudo-terminal", -1};
    pid_t pid = fork();
    if (pid == 0) {
        int fin = streams.in == ToolStreams::In::kEndless ? feed[0] : open(in.c_str(), O_RDONLY);
        int fout = streams.out == ToolStreams::Out::kBrokenPipe ? sink[1]
                   : streams.out == ToolStreams::Out::kPath     ? open(streams.outPath.c_str(), O_WRONLY)
                                                                : open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int ferr = streams.errTerminal ? slave : open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fin, 0);
        dup2(fout, 1);
        dup2(ferr, 2);
        if (streams.errTerminal) {
            close(slave);
            close(master);
        }
        if (streams.in == ToolStreams::In::kClosed)
            close(0);
        if (streams.out == ToolStreams::Out::kClosed)
            close(1);
        if (streams.out == ToolStreams::Out::kBrokenPipe)
            signal(SIGPIPE, SIG_IGN); // stays ignored across exec
        for (const auto& e : environment)
            putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    std::string terminal;
    if (master >= 0) {
        close(slave);
        terminal = DrainTerminal(master);
        close(master);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (feeder > 0) {
        close(feed[0]);
        waitpid(feeder, nullptr, 0);
    }
    if (sink[1] >= 0)
        close(sink[1]);
    ToolRun run{ReadAll(out), streams.errTerminal ? terminal : ReadAll(err), WIFEXITED(status) ? WEXITSTATUS(status) : -1};
    std::system(("rm -rf " + dir).c_str());
    return run;
}

} // namespace mt::test
