#include "console_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "cli_diagnostics.h"
#include "cli_messages.h"

namespace app {
namespace {

// Bytes asked of the system per read.
constexpr size_t kReadBytes = size_t{1} << 20;

const char kTooLarge[] = "input too large";

// A runtime block that grows as the text arrives and becomes the text.
class TextBlock {
public:
    TextBlock() = default;
    TextBlock(const TextBlock&) = delete;
    TextBlock& operator=(const TextBlock&) = delete;
    ~TextBlock() { mt::Runtime().free(block_); }

    size_t size() const { return size_; }
    // Bytes that fit behind the text, its terminator aside.
    size_t spare() const { return capacity_ - size_ - (capacity_ != 0); }
    // Room for at least `bytes` more behind the text (and its terminator).
    char* room(size_t bytes)
    {
        if (capacity_ - size_ < bytes + 1) {
            const size_t wanted = size_ + bytes + 1;
            capacity_ = wanted > 2 * capacity_ ? wanted : 2 * capacity_;
            block_ = static_cast<char*>(mt::Runtime().reallocate(block_, capacity_));
        }
        return block_ + size_;
    }
    void grow(size_t bytes) { size_ += bytes; }
    // The text: null when empty, else the block cut to its bytes and the
    // terminator.
    Owned finish()
    {
        if (size_ == 0)
            return Owned();
        block_ = static_cast<char*>(mt::Runtime().reallocate(block_, size_ + 1));
        block_[size_] = 0;
        char* text = block_;
        block_ = nullptr;
        return Owned(text);
    }

private:
    char* block_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

// An open input: a file, or standard input (not closed here).
class Input {
public:
    Input(const std::optional<std::string>& file, int directory)
    {
        if (!file || *file == "-")
            return;
        name_ = EchoArgument(*file);
        fd_ = openat(directory, file->c_str(), O_RDONLY | O_CLOEXEC);
        owned_ = fd_ >= 0;
        error_ = owned_ ? 0 : errno;
    }
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;
    ~Input()
    {
        if (owned_)
            close(fd_);
    }

    const std::string& name() const { return name_; }
    int error() const { return error_; }
    int fd() const { return fd_; }
    // Reads up to `bytes` into p: the count, 0 at the end, -1 on an error
    // (then error() says which).
    ssize_t read(char* p, size_t bytes)
    {
        for (;;) {
            const ssize_t n = ::read(fd_, p, bytes);
            if (n >= 0 || errno != EINTR) {
                if (n < 0)
                    error_ = errno;
                return n;
            }
        }
    }

private:
    std::string name_ = "standard input";
    int fd_ = STDIN_FILENO;
    bool owned_ = false;
    int error_ = 0;
};

bool Fail(const Input& in, const char* reason, std::string* error)
{
    *error = in.name() + ": " + reason;
    return false;
}

// Raw GB18030 bytes: read straight into the text's block.
bool ReadRaw(Input& in, size_t expected, size_t limit, TextBlock* block, std::string* error)
{
    // A file's size is known: one read, and one more that finds its end.
    block->room(expected < limit ? expected + 1 : limit + 1);
    for (;;) {
        char* p = block->room(block->spare() != 0 ? 1 : kReadBytes);
        const ssize_t n = in.read(p, block->spare());
        if (n < 0)
            return Fail(in, std::strerror(in.error()), error);
        if (n == 0)
            return true;
        const auto* zero = static_cast<const char*>(std::memchr(p, 0, static_cast<size_t>(n)));
        block->grow(zero ? static_cast<size_t>(zero - p) : static_cast<size_t>(n));
        if (block->size() > limit)
            return Fail(in, kTooLarge, error);
        if (zero)
            return true;
    }
}

// Terminal bytes: read in pieces, each converted as soon as its characters
// are whole, so that the input is never held whole beside its text.
bool ReadConverted(Input& in, const ConsoleText& console, size_t limit, TextBlock* block, std::string* error)
{
    // Not zeroed first: a vector would clear a megabyte for every input.
    size_t size = kReadBytes;
    auto buffer = std::make_unique_for_overwrite<char[]>(size);
    size_t held = 0; // bytes of a character cut by the last read
    for (bool ended = false; !ended;) {
        if (size - held < kReadBytes / 2) { // boundaries unknown: the input grows here
            auto bigger = std::make_unique_for_overwrite<char[]>(2 * size);
            std::memcpy(bigger.get(), buffer.get(), held);
            buffer = std::move(bigger);
            size *= 2;
        }
        const ssize_t n = in.read(buffer.get() + held, size - held);
        if (n < 0)
            return Fail(in, std::strerror(in.error()), error);
        const auto* fresh = buffer.get() + held;
        const auto* zero = static_cast<const char*>(std::memchr(fresh, 0, static_cast<size_t>(n)));
        const size_t got = held + (zero ? static_cast<size_t>(zero - fresh) : static_cast<size_t>(n));
        ended = n == 0 || zero;
        if (got > limit + limit / 2) // no character boundaries known and still no end
            return Fail(in, kTooLarge, error);
        const std::string_view bytes(buffer.get(), got);
        const size_t whole = ended ? got : console.wholeCharacters(bytes);
        size_t produced = 0;
        if (!console.decodePiece(bytes.substr(0, whole), block->room(4 * whole), &produced)) {
            *error = in.name() + ": " + diag::NotValid(console.encoding());
            return false;
        }
        block->grow(produced);
        if (block->size() > limit)
            return Fail(in, kTooLarge, error);
        held = got - whole;
        std::memmove(buffer.get(), buffer.get() + whole, held);
    }
    return true;
}

} // namespace

size_t InputLimit()
{
    size_t limit = INT32_MAX - 1;
#ifdef MT_INPUT_LIMIT_FROM_ENVIRONMENT
    // Test builds only: lets a test reach the limit without gigabytes.
    if (const char* lower = std::getenv("MT_TEST_INPUT_LIMIT"))
        limit = std::strtoull(lower, nullptr, 10);
#endif
    return limit;
}

bool ReadInputText(const std::optional<std::string>& file, int directory, const ConsoleText& console,
                   Owned* text, int32_t* length, std::string* error)
{
    Input in(file, directory);
    if (in.fd() < 0)
        return Fail(in, std::strerror(in.error()), error);
    struct stat st {};
    if (fstat(in.fd(), &st) != 0)
        return Fail(in, std::strerror(errno), error);
    if (S_ISDIR(st.st_mode))
        return Fail(in, std::strerror(EISDIR), error);
    const size_t limit = InputLimit();
    size_t expected = 0;
    if (S_ISREG(st.st_mode)) {
        expected = static_cast<size_t>(st.st_size);
        // Refused before reading. Converted text is at least two thirds of
        // its terminal bytes (three bytes of UTF-8 become two).
        if ((console.raw() ? expected : expected / 3 * 2) > limit)
            return Fail(in, kTooLarge, error);
    }
    TextBlock block;
    if (console.raw() ? !ReadRaw(in, expected, limit, &block, error)
                      : !ReadConverted(in, console, limit, &block, error))
        return false;
    *length = static_cast<int32_t>(block.size());
    *text = block.finish();
    return true;
}

} // namespace app
