#include "components/property_archive.h"

#include <cstring>

#include "abi/service_calls.h"

namespace mt {

bool PropertyReader::take(size_t n)
{
    if (!ok_ || static_cast<size_t>(end_ - p_) < n) {
        ok_ = false;
        return false;
    }
    p_ += n;
    return true;
}

bool PropertyReader::version(uint32_t highest, uint32_t* out)
{
    if (empty())
        return false;
    const auto v = static_cast<uint32_t>(i32());
    if (!ok_ || v > highest) {
        ok_ = false;
        return false;
    }
    *out = v;
    return true;
}

int32_t PropertyReader::i32(int32_t fallback)
{
    if (!take(4))
        return fallback;
    int32_t v;
    std::memcpy(&v, p_ - 4, 4);
    return v;
}

uint16_t PropertyReader::u16(uint16_t fallback)
{
    if (!take(2))
        return fallback;
    uint16_t v;
    std::memcpy(&v, p_ - 2, 2);
    return v;
}

std::string PropertyReader::bytes()
{
    const int32_t n = i32();
    if (!ok_ || n < 0 || !take(static_cast<size_t>(n))) {
        ok_ = false;
        return {};
    }
    return std::string(reinterpret_cast<const char*>(p_ - n), static_cast<size_t>(n));
}

void PropertyWriter::u32(uint32_t v)
{
    char b[4];
    std::memcpy(b, &v, 4);
    out_.append(b, 4);
}

void PropertyWriter::u16(uint16_t v)
{
    char b[2];
    std::memcpy(b, &v, 2);
    out_.append(b, 2);
}

void PropertyWriter::bytes(std::string_view b)
{
    u32(static_cast<uint32_t>(b.size()));
    out_.append(b);
}

uint8_t* PropertyWriter::release(int32_t* length) const
{
    *length = static_cast<int32_t>(out_.size());
    auto* block = static_cast<uint8_t*>(svc::Allocate(out_.size() ? out_.size() : 1));
    std::memcpy(block, out_.data(), out_.size());
    return block;
}

} // namespace mt
