#include "console_progress.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <mutex>
#include <utility>

#include "runtime_calls.h"

namespace app {
namespace {

constexpr auto kInterval = std::chrono::milliseconds(200);

void WriteError(const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(STDERR_FILENO, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return; // a terminal that cannot be written to: no progress, no harm
        done += static_cast<size_t>(n);
    }
}

// Standard error is shared by the progress line and the messages: one at a
// time, and the line's width known, so that a message can erase it.
std::mutex g_stderr;
size_t g_width = 0;  // of the progress line on the terminal; 0: none shown
std::string g_shown; // its text

void EraseLocked()
{
    if (g_width == 0)
        return;
    std::string blank(g_width + 2, ' '); // over the whole line, the caret back at its start
    blank.front() = blank.back() = '\r';
    WriteError(blank);
    g_width = 0;
}

void DrawLocked(std::string line)
{
    const size_t width = line.size();
    if (width < g_width)
        line.append(g_width - width, ' '); // over what is left of a longer line
    g_shown = line.substr(0, width);
    line.insert(line.begin(), '\r');
    WriteError(line);
    g_width = std::max(g_width, width);
}

void Draw(const std::string& line)
{
    std::lock_guard lock(g_stderr);
    DrawLocked(line);
}

void Erase()
{
    std::lock_guard lock(g_stderr);
    EraseLocked();
}

} // namespace

void WriteAboveProgress(const std::string& line)
{
    std::lock_guard lock(g_stderr);
    const bool shown = g_width != 0;
    EraseLocked();
    WriteError(line);
    if (shown)
        DrawLocked(g_shown);
}

std::string FormatSourcesProgress(int64_t done, int64_t known, bool totalKnown, int64_t failed, double seconds,
                                  int64_t bytes)
{
    std::string line = std::to_string(done) + " of " + std::to_string(known) + (totalKnown ? "" : "+") + " sources";
    if (failed > 0)
        line += ", " + std::to_string(failed) + " failed";
    if (seconds > 0) {
        char rate[32];
        std::snprintf(rate, sizeof rate, ", %.1f pages/s", static_cast<double>(done) / seconds);
        line += rate;
    }
    return line + ", " + FormatBytes(bytes);
}

std::string FormatBytes(int64_t bytes)
{
    if (bytes < 1024)
        return std::to_string(bytes < 0 ? 0 : bytes) + " B";
    static const char* const kUnits[] = {"KiB", "MiB", "GiB", "TiB"};
    double value = static_cast<double>(bytes) / 1024;
    size_t unit = 0;
    while (value >= 1023.95 && unit + 1 < std::size(kUnits)) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
    return text;
}

std::string FormatProgress(int64_t received, int64_t announced, double seconds)
{
    std::string line = FormatBytes(received);
    if (announced > 0 && received <= announced) {
        const int64_t percent = received / announced * 100 + received % announced * 100 / announced;
        line += " of " + FormatBytes(announced) + " (" + std::to_string(percent) + "%)";
    }
    if (seconds > 0)
        line += ", " + FormatBytes(static_cast<int64_t>(static_cast<double>(received) / seconds)) + "/s";
    return line;
}

RedrawnLine::RedrawnLine(bool shown, std::function<std::string(double seconds)> text) : text_(std::move(text))
{
    if (shown)
        thread_ = std::thread([this] { run(); });
}

RedrawnLine::~RedrawnLine()
{
    stop();
}

void RedrawnLine::stop()
{
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
    Erase();
}

void RedrawnLine::run()
{
    const auto start = std::chrono::steady_clock::now();
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, kInterval, [this] { return stopping_; })) {
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        Draw(text_(elapsed.count()));
    }
}

ProgressLine::ProgressLine(bool shown)
    : line_(shown, [](double seconds) {
          int64_t received = 0, announced = -1;
          TransferProgress(&received, &announced);
          return FormatProgress(received, announced, seconds);
      })
{
}

SourcesProgress::SourcesProgress(bool shown)
    : line_(shown, [this](double seconds) {
          return FormatSourcesProgress(done_.load(std::memory_order_relaxed), known_.load(std::memory_order_relaxed),
                                       ended_.load(std::memory_order_relaxed), failed_.load(std::memory_order_relaxed),
                                       seconds, bytes_.load(std::memory_order_relaxed));
      })
{
}

void SourcesProgress::done(bool failed, int64_t bytes)
{
    done_.fetch_add(1, std::memory_order_relaxed);
    failed_.fetch_add(failed ? 1 : 0, std::memory_order_relaxed);
    bytes_.fetch_add(bytes, std::memory_order_relaxed);
}

} // namespace app
