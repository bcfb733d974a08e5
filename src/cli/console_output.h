// Standard output of the command-line mode, with every write checked: the
// first failure is kept and reported once, by finish().
#pragma once

#include <string>
#include <string_view>

namespace app {

class ConsoleOutput {
public:
    ConsoleOutput() = default;
    // Writes to `fd` instead (a file of fetch -o or -D), which it does not close.
    explicit ConsoleOutput(int fd) : fd_(fd) {}
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

    void write(std::string_view bytes);
    // Writes what is buffered. False when any write failed; *error then
    // holds the system's reason.
    bool finish(std::string* error);
    // Writes what is buffered; false once a write has failed.
    bool flush();
    // True once a write has failed: what follows is dropped.
    bool failed() const { return errno_ != 0; }

private:
    void writeAll(std::string_view bytes);

    std::string buffer_;
    int errno_ = 0;
    int fd_ = 1; // standard output
};

} // namespace app
