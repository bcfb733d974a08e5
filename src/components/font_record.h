// Font properties as application code sees them: the whole FontRecord
// (sub-field -1) or one of its seven fields (0 angle, 1 bold, 2 italic,
// 3 strikeout, 4 underline, 5 size in points, 6 face name), over the stored
// 60-byte logical-font blob.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/logical_font.h"

namespace mt {

// The whole-font value: a runtime block of this layout; the face name is a
// separate text owned by the record's receiver.
struct FontRecord {
    int32_t angle; // tenths of a degree
    int32_t bold;  // logical
    int32_t italic;
    int32_t strikeOut;
    int32_t underline;
    int32_t size;   // points
    char* faceName; // text value (null: empty)
};

enum FontField : int32_t {
    kFontWhole = -1,
    kFontAngle = 0,
    kFontBold = 1,
    kFontItalic = 2,
    kFontStrikeOut = 3,
    kFontUnderline = 4,
    kFontSize = 5,
    kFontFaceName = 6,
};

// The font a blob stands for: the blob when it is 60 bytes, else the
// default GUI font's record.
platform::LogicalFont FontOrDefault(const uint8_t* blob, size_t size);
// The fields a kind overrides before it makes a font from a blob.
platform::LogicalFont ForDisplay(platform::LogicalFont font);

// A read of one sub-field: a value, or (6, -1) a new text / FontRecord.
uint64_t ReadFontField(const platform::LogicalFont& font, int32_t field);
// A whole record as application code writes it (null: not called).
platform::LogicalFont FontFromRecord(const FontRecord& record);
// Replaces one field (0-6) by a written value (a text pointer for 6).
void WriteFontField(platform::LogicalFont* font, int32_t field, uint64_t value);

// Rounded a * b / c, as the platform's multiply-divide; 0 for c == 0.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

} // namespace mt
