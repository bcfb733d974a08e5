#include "support/run_tool.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

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
    char dirTemplate[] = "/tmp/mt-run-XXXXXX";
    const std::string dir = mkdtemp(dirTemplate);
    const std::string in = dir + "/in", out = dir + "/out", err = dir + "/err";
    std::ofstream(in, std::ios::binary) << input;
    const std::string program = Program();
    pid_t pid = fork();
    if (pid == 0) {
        int fin = open(in.c_str(), O_RDONLY);
        int fout = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int ferr = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fin, 0);
        dup2(fout, 1);
        dup2(ferr, 2);
        for (const auto& e : environment)
            putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ToolRun run{ReadAll(out), ReadAll(err), WIFEXITED(status) ? WEXITSTATUS(status) : -1};
    std::system(("rm -rf " + dir).c_str());
    return run;
}

} // namespace mt::test
