#include "support/run_program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
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

} // namespace

std::optional<std::string> FindProgram(const std::vector<std::string>& names)
{
    const char* path = std::getenv("PATH");
    for (const std::string& name : names) {
        std::istringstream dirs(path ? path : "");
        for (std::string dir; std::getline(dirs, dir, ':');) {
            const std::string candidate = dir + "/" + name;
            if (!dir.empty() && access(candidate.c_str(), X_OK) == 0)
                return candidate;
        }
    }
    return std::nullopt;
}

ToolRun RunProgram(const std::vector<std::string>& args)
{
    char dirTemplate[] = "/tmp/mt-program-XXXXXX";
    if (args.empty() || !mkdtemp(dirTemplate))
        return {};
    const std::string dir = dirTemplate, out = dir + "/out", err = dir + "/err";
    const pid_t pid = fork();
    if (pid == 0) {
        const int fin = open("/dev/null", O_RDONLY);
        const int fout = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int ferr = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fin, 0);
        dup2(fout, 1);
        dup2(ferr, 2);
        std::vector<char*> argv;
        argv.reserve(args.size() + 1);
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    const bool exited = pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status);
    ToolRun run{ReadAll(out), ReadAll(err), exited ? WEXITSTATUS(status) : -1};
    std::filesystem::remove_all(dir);
    return run;
}

} // namespace mt::test
