// The progress line of a transfer on a terminal: one line on standard
// error, redrawn in place while the transfer runs and erased at its end.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace app {

// "512 B", "1.5 KiB", "3.0 MiB", "1.2 GiB".
std::string FormatBytes(int64_t bytes);

// One progress line: the bytes received, of how many when the length was
// announced (-1: not announced) with the percentage, and the rate over
// `seconds` since the start (none before any time has passed).
std::string FormatProgress(int64_t received, int64_t announced, double seconds);

// While it lives, a thread polls the transfer's progress and redraws the
// line every fifth of a second; stop() (or the end of its life) erases it.
// Does nothing when not `shown`.
class ProgressLine {
public:
    explicit ProgressLine(bool shown);
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;
    ~ProgressLine();

    void stop();

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    size_t width_ = 0; // of the line on the terminal, to erase it
    std::thread thread_;
};

} // namespace app
