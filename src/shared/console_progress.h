// The progress line of a transfer on a terminal: one line on standard
// error, redrawn in place while the transfer runs and erased at its end.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
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

// The line of a run over several sources: how many are done of how many
// (`total` -1 while the list is still being read, `known` of them so far),
// how many failed, how many a second, and the bytes read.
std::string FormatSourcesProgress(int64_t done, int64_t known, bool totalKnown, int64_t failed, double seconds,
                                  int64_t bytes);

// Writes a line on standard error; a progress line being shown is erased
// first and drawn again behind it.
void WriteAboveProgress(const std::string& line);

// A line a thread of its own redraws every fifth of a second while it
// lives, made by `text` from the seconds since the start; stop() (or the end
// of its life) erases it. Does nothing when not `shown`.
class RedrawnLine {
public:
    RedrawnLine(bool shown, std::function<std::string(double seconds)> text);
    RedrawnLine(const RedrawnLine&) = delete;
    RedrawnLine& operator=(const RedrawnLine&) = delete;
    ~RedrawnLine();

    void stop();

private:
    void run();

    std::function<std::string(double)> text_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

// While it lives, the transfer's progress, polled and redrawn as a
// RedrawnLine. Does nothing when not `shown`.
class ProgressLine {
public:
    explicit ProgressLine(bool shown);

    void stop() { line_.stop(); }

private:
    RedrawnLine line_;
};

// The progress of a run over several sources, redrawn every fifth of a
// second by a thread of its own while it lives. Does nothing when not
// `shown`.
class SourcesProgress {
public:
    explicit SourcesProgress(bool shown);

    // A source taken from the list; the list's end (the total known).
    void listed()
    {
        if (!fixed_)
            known_.fetch_add(1, std::memory_order_relaxed);
    }
    // The number of sources, when it is known before the run.
    void expect(int64_t total)
    {
        fixed_ = true;
        known_.store(total, std::memory_order_relaxed);
        ended_.store(true, std::memory_order_relaxed);
    }
    void listEnded() { ended_.store(true, std::memory_order_relaxed); }
    // A source done, and whether it failed (an exit status above 1).
    void done(bool failed, int64_t bytes);
    void stop() { line_.stop(); }

private:
    std::atomic<int64_t> known_{0}, done_{0}, failed_{0}, bytes_{0};
    std::atomic<bool> ended_{false};
    bool fixed_ = false; // expect() gave the total
    RedrawnLine line_;   // last: its thread reads the counts above
};

} // namespace app
