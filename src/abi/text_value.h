// Texts and byte arrays as they cross the call gate.
//
// A text is a heap block of GB18030 bytes plus one zero byte; the empty text
// is null. A byte array is a heap block holding the word 1, a 32-bit count
// and the bytes; the empty byte array is null. Whoever receives one owns it
// and releases it through the runtime's free operation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "abi/service_calls.h"

namespace mt {

using TextValue = char*;
using ByteArrayValue = uint8_t*;

inline constexpr size_t kByteArrayHeader = 8;

// A new text holding n bytes, or null when n is 0.
inline TextValue NewText(const void* bytes, size_t n)
{
    if (n == 0)
        return nullptr;
    auto* t = static_cast<char*>(svc::Allocate(n + 1));
    std::memcpy(t, bytes, n);
    t[n] = 0;
    return t;
}

inline TextValue NewText(std::string_view s) { return NewText(s.data(), s.size()); }

// A new byte array of n bytes, or null when n is 0.
inline ByteArrayValue NewByteArray(const void* bytes, size_t n)
{
    if (n == 0)
        return nullptr;
    auto* a = static_cast<uint8_t*>(svc::Allocate(n + kByteArrayHeader));
    const int32_t header[2] = {1, static_cast<int32_t>(n)};
    std::memcpy(a, header, sizeof header);
    if (bytes)
        std::memcpy(a + kByteArrayHeader, bytes, n);
    return a;
}

// Count of a byte array; null and negative counts read as 0.
inline size_t ByteArrayCount(const uint8_t* a)
{
    if (!a)
        return 0;
    int32_t n;
    std::memcpy(&n, a + 4, sizeof n);
    return n > 0 ? static_cast<size_t>(n) : 0;
}

inline const uint8_t* ByteArrayData(const uint8_t* a) { return a ? a + kByteArrayHeader : nullptr; }

inline std::string_view TextView(const char* t) { return t ? std::string_view(t) : std::string_view(); }

inline std::string_view ByteArrayView(const uint8_t* a)
{
    return {reinterpret_cast<const char*>(ByteArrayData(a)), ByteArrayCount(a)};
}

} // namespace mt
