// Whole processes for benchmarks: a child run with its output thrown away,
// timed, with its peak memory.
#pragma once

#include <string>
#include <vector>

namespace mt::bench {

struct ChildRun {
    double wallSeconds = 0;
    double cpuSeconds = 0; // user + system
    long peakKb = 0;       // the largest process's peak resident size
    int status = -1;       // exit status, or -1 when it did not exit normally
};

// Runs args[0] (found on PATH) with standard output, and standard error when
// quietErrors is set, going to /dev/null.
ChildRun RunChild(const std::vector<std::string>& args, bool quietErrors);

// The program a benchmark runs: its first argument, else the middletext
// beside the build's bench folder.
std::string ProgramUnderTest(int argc, char** argv);

} // namespace mt::bench
