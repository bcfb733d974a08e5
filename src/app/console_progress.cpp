#include "console_progress.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <cstdio>

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

} // namespace

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

ProgressLine::ProgressLine(bool shown)
{
    if (shown)
        thread_ = std::thread([this] { run(); });
}

ProgressLine::~ProgressLine()
{
    stop();
}

void ProgressLine::stop()
{
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
    if (width_ != 0) {
        std::string blank(width_ + 2, ' '); // over the whole line, the caret back at its start
        blank.front() = blank.back() = '\r';
        WriteError(blank);
    }
    width_ = 0;
}

void ProgressLine::run()
{
    const auto start = std::chrono::steady_clock::now();
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, kInterval, [this] { return stopping_; })) {
        int64_t received = 0, announced = -1;
        TransferProgress(&received, &announced);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        std::string line = FormatProgress(received, announced, elapsed.count());
        const size_t width = line.size();
        if (width < width_)
            line.append(width_ - width, ' '); // over what is left of a longer line
        line.insert(line.begin(), '\r');
        WriteError(line);
        width_ = std::max(width_, width);
    }
}

} // namespace app
