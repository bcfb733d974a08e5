// One iconv conversion descriptor, owned: opened by the constructor, closed
// by the destructor, movable and not copyable. Every conversion through
// iconv in the runtime goes through this type. Everything is inline: the
// conversions sit on the byte path.
#pragma once

#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <utility>

namespace mt::platform {

class IconvHandle {
public:
    IconvHandle() = default;
    // Opens a conversion from `from` to `to` (iconv names); valid() tells
    // whether iconv knows both.
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvHandle() { close(); }

    IconvHandle(IconvHandle&& other) noexcept : cd_(std::exchange(other.cd_, Closed())) {}
    IconvHandle& operator=(IconvHandle&& other) noexcept
    {
        if (this != &other) {
            close();
            cd_ = std::exchange(other.cd_, Closed());
        }
        return *this;
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool valid() const { return cd_ != Closed(); }

    // One iconv call: converts from [*in, *in + *inLeft) into
    // [*out, *out + *outLeft) and moves both on by what was done.
    // Returns 0 when all of the input converted, else the errno iconv set:
    // E2BIG (output full), EILSEQ (invalid sequence at *in), EINVAL
    // (incomplete sequence at the end), EBADF on a handle that is not valid.
    int convert(const char** in, size_t* inLeft, char** out, size_t* outLeft)
    {
        if (!valid())
            return EBADF;
        // iconv takes char** for its input but never writes through it.
        char** input = const_cast<char**>(in);
        return iconv(cd_, input, inLeft, out, outLeft) != static_cast<size_t>(-1) ? 0 : errno;
    }

    // Back to the initial shift state, as after opening.
    void resetState()
    {
        if (valid())
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }

private:
    // What iconv_open answers on failure; it stands for "no descriptor".
    static iconv_t Closed() { return reinterpret_cast<iconv_t>(-1); }

    void close()
    {
        if (valid())
            iconv_close(cd_);
        cd_ = Closed();
    }

    iconv_t cd_ = Closed();
};

} // namespace mt::platform
