// The stored form of a font: a 60-byte logical-font record (five 32-bit
// fields, eight single bytes, a 32-byte zero-padded GB18030 face name), and
// its plain fields. No platform code: the component model reads and writes
// these fields too.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace mt::platform {

inline constexpr size_t kLogicalFontSize = 60;
inline constexpr size_t kFaceNameSize = 32;
using LogicalFontBytes = std::array<uint8_t, kLogicalFontSize>;

struct LogicalFont {
    int32_t height = 0;
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = 0;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    std::string faceName; // GB18030, at most 31 bytes kept

    static LogicalFont FromBytes(const uint8_t* bytes)
    {
        LogicalFont f;
        int32_t words[5];
        std::memcpy(words, bytes, sizeof words);
        f.height = words[0];
        f.width = words[1];
        f.escapement = words[2];
        f.orientation = words[3];
        f.weight = words[4];
        const uint8_t* b = bytes + 20;
        f.italic = b[0];
        f.underline = b[1];
        f.strikeOut = b[2];
        f.charSet = b[3];
        f.outPrecision = b[4];
        f.clipPrecision = b[5];
        f.quality = b[6];
        f.pitchAndFamily = b[7];
        const char* name = reinterpret_cast<const char*>(bytes + 28);
        f.faceName.assign(name, strnlen(name, kFaceNameSize));
        return f;
    }

    LogicalFontBytes toBytes() const
    {
        LogicalFontBytes out{};
        const int32_t words[5] = {height, width, escapement, orientation, weight};
        std::memcpy(out.data(), words, sizeof words);
        const uint8_t bytes[8] = {italic, underline, strikeOut, charSet,
                                  outPrecision, clipPrecision, quality, pitchAndFamily};
        std::memcpy(out.data() + 20, bytes, sizeof bytes);
        std::memcpy(out.data() + 28, faceName.data(), std::min(faceName.size(), kFaceNameSize - 1));
        return out;
    }
};

} // namespace mt::platform
