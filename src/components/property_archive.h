// Property records: a little-endian archive of a 32-bit version, fixed
// fields and length-prefixed variable parts. The reader never reads past its
// range and refuses a version higher than the one its kind writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mt {

class PropertyReader {
public:
    PropertyReader(const uint8_t* data, size_t size) : p_(data), end_(data ? data + size : data) {}

    // Reads the version word: false when it is above `highest` or missing.
    // An empty record reads as "nothing stored" (false, ok() true).
    bool version(uint32_t highest, uint32_t* out);
    bool ok() const { return ok_; }
    bool empty() const { return p_ == end_; }

    int32_t i32(int32_t fallback = 0);
    uint16_t u16(uint16_t fallback = 0);
    bool boolean(bool fallback) { return i32(fallback ? 1 : 0) != 0; }
    // A 32-bit byte length and that many bytes.
    std::string bytes();

private:
    bool take(size_t n);
    const uint8_t* p_;
    const uint8_t* end_;
    bool ok_ = true;
};

class PropertyWriter {
public:
    void u32(uint32_t v);
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void u16(uint16_t v);
    void boolean(bool b) { u32(b ? 1 : 0); }
    void bytes(std::string_view b);
    const std::string& data() const { return out_; }
    // The record in a new runtime block, its length in *length.
    uint8_t* release(int32_t* length) const;

private:
    std::string out_;
};

} // namespace mt
