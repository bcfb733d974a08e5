// Property types: how a property's value travels between application code,
// the engine and a kind.
#pragma once

#include <cstdint>

#include "abi/component_kinds.h"

namespace mt {

enum PropertyType : uint16_t {
    kPropInteger0 = 1000,
    kPropInteger = 1001,
    kPropEightBytes = 1002,
    kPropLogical = 1003,
    kPropEightBytesB = 1004,
    kPropText = 1005,
    kPropChoice = 1006,
    kPropPicture = 1009,
    kPropIcon = 1010,
    kPropCursor = 1011,
    kPropSound = 1012,
    kPropFont = 1013,
    kPropColor = 1014,
    kPropBackColor = 1015,
    kPropFileName = 1016,
    kPropColorB = 1017,
    kPropDataSource = 1018,
    kPropDataColumn = 1020,
    kPropBytesA = 1023,
    kPropBytesB = 1024,
};

enum class PropertyClass { kWord,
                           kEightBytes,
                           kLogical,
                           kChoice,
                           kBytes,
                           kCursor,
                           kFont,
                           kText };

constexpr PropertyClass ClassOf(uint16_t type)
{
    switch (type) {
    case kPropInteger0:
    case kPropInteger:
    case kPropColor:
    case kPropBackColor:
    case kPropColorB:
        return PropertyClass::kWord;
    case kPropEightBytes:
    case kPropEightBytesB: return PropertyClass::kEightBytes;
    case kPropLogical: return PropertyClass::kLogical;
    case kPropChoice: return PropertyClass::kChoice;
    case kPropPicture:
    case kPropIcon:
    case kPropSound:
    case kPropBytesA:
    case kPropBytesB:
        return PropertyClass::kBytes;
    case kPropCursor: return PropertyClass::kCursor;
    case kPropFont: return PropertyClass::kFont;
    }
    return PropertyClass::kText;
}

// Stored positions and sizes are kept within these bounds.
inline constexpr int32_t kCoordinateLimit = 32627;

constexpr int32_t ClampPosition(int64_t v)
{
    return v > kCoordinateLimit ? kCoordinateLimit : v < -kCoordinateLimit ? -kCoordinateLimit
                                                                           : static_cast<int32_t>(v);
}

constexpr int32_t ClampSize(int64_t v)
{
    return v > kCoordinateLimit ? kCoordinateLimit : v < 0 ? 0
                                                           : static_cast<int32_t>(v);
}

constexpr int32_t ClampChoice(int32_t v, int32_t highest) { return v < 0 ? 0 : v > highest ? highest
                                                                                           : v; }

} // namespace mt
