#include "console_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace app {
namespace {

constexpr size_t kFlushBytes = size_t{64} << 10;

} // namespace

void ConsoleOutput::write(std::string_view bytes)
{
    if (errno_ != 0)
        return;
    if (bytes.size() >= kFlushBytes) {
        if (flush())
            writeAll(bytes);
        return;
    }
    buffer_.append(bytes);
    if (buffer_.size() >= kFlushBytes)
        flush();
}

bool ConsoleOutput::flush()
{
    writeAll(buffer_);
    buffer_.clear();
    return errno_ == 0;
}

void ConsoleOutput::writeAll(std::string_view bytes)
{
    size_t done = 0;
    while (done < bytes.size() && errno_ == 0) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else if (n == 0)
            errno_ = EIO;
        else if (errno != EINTR)
            errno_ = errno;
    }
}

bool ConsoleOutput::finish(std::string* error)
{
    if (flush())
        return true;
    *error = std::strerror(errno_);
    return false;
}

} // namespace app
