// Runs the built middletext program as a child process.
#pragma once

#include <string>
#include <vector>

namespace mt::test {

struct ToolRun {
    std::string out;
    std::string err;
    int status = -1; // exit status, or -1 when it did not exit normally
};

// Runs build/middletext with the arguments, feeding `input` on standard
// input, with the given environment additions ("NAME=value").
ToolRun RunTool(const std::vector<std::string>& args, const std::string& input = "",
                const std::vector<std::string>& environment = {});

// Standard input and output other than a file of the input and a captured
// output.
struct ToolStreams {
    enum class In { kFile,
                    kClosed,
                    kEndless }; // kEndless: a pipe fed the input over and over
    enum class Out { kCaptured,
                     kClosed,
                     kBrokenPipe,
                     kPath }; // kBrokenPipe: SIGPIPE ignored
    In in = In::kFile;
    Out out = Out::kCaptured;
    std::string outPath;      // for kPath
    bool errTerminal = false; // standard error a terminal (a raw pseudo-terminal) instead of a file
};

ToolRun RunTool(const std::vector<std::string>& args, const std::string& input, const ToolStreams& streams,
                const std::vector<std::string>& environment = {});

} // namespace mt::test
