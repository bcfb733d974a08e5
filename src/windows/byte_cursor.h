// Bounds-checked little-endian reading over a byte range. Every read either
// succeeds inside the range or fails and leaves the cursor failed; nothing is
// ever read past the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace mt {

class ByteCursor {
public:
    ByteCursor(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}

    bool ok() const { return ok_; }
    size_t remaining() const { return static_cast<size_t>(end_ - p_); }
    const uint8_t* position() const { return p_; }

    uint32_t u32()
    {
        uint32_t v = 0;
        if (take(4))
            std::memcpy(&v, p_ - 4, 4);
        return v;
    }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    uint16_t u16()
    {
        uint16_t v = 0;
        if (take(2))
            std::memcpy(&v, p_ - 2, 2);
        return v;
    }

    // n raw bytes.
    std::string bytes(size_t n)
    {
        if (!take(n))
            return {};
        return std::string(reinterpret_cast<const char*>(p_ - n), n);
    }

    // A 32-bit length (negative fails) followed by that many bytes.
    std::string counted()
    {
        int32_t n = i32();
        if (n < 0)
            ok_ = false;
        return ok_ ? bytes(static_cast<size_t>(n)) : std::string();
    }

    // Bytes up to a zero byte, which is consumed and not returned.
    std::string zeroTerminated()
    {
        if (!ok_)
            return {};
        const void* z = std::memchr(p_, 0, remaining());
        if (!z) {
            ok_ = false;
            return {};
        }
        auto n = static_cast<size_t>(static_cast<const uint8_t*>(z) - p_);
        std::string s(reinterpret_cast<const char*>(p_), n);
        p_ += n + 1;
        return s;
    }

    // The rest of the range.
    std::string rest() { return bytes(remaining()); }

    // A count of items of itemSize bytes each that must fit in what is left.
    bool fits(int64_t count, size_t itemSize)
    {
        if (count < 0 || static_cast<uint64_t>(count) > remaining() / itemSize)
            ok_ = false;
        return ok_;
    }

    void fail() { ok_ = false; }

private:
    bool take(size_t n)
    {
        if (!ok_ || n > remaining()) {
            ok_ = false;
            return false;
        }
        p_ += n;
        return true;
    }

    const uint8_t* p_;
    const uint8_t* end_;
    bool ok_ = true;
};

} // namespace mt
