// Text crosses the platform layer as GB18030 bytes. Qt holds UTF-16; these
// conversions never lose what a user types or pastes (GB18030 covers all of
// Unicode; the characters iconv leaves out take the codes of
// abi/gb18030.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class QString;

namespace mt::platform {

QString FromGb(std::string_view gb);
std::string ToGb(const QString& text);
// UTF-16 code units to GB18030. A unit that does not convert (a lone
// surrogate) becomes one '?', so every unit stays accounted for.
std::string Utf16ToGb(std::u16string_view units);

// A QString's units, without copying.
std::u16string_view Utf16View(const QString& text);

// UTF-8 for the world outside (clipboard, terminal).
std::string GbToUtf8(std::string_view gb);
// False when utf8 is not valid UTF-8.
bool Utf8ToGb(std::string_view utf8, std::string* gb);

// ---- positions -------------------------------------------------------------
// Positions above the platform count GB18030 bytes; Qt counts UTF-16 units.
// A GB18030 character is one byte (ASCII), two bytes or four bytes; the
// four-byte forms from 0x90 on stand for characters outside the basic plane
// and take two UTF-16 units. A byte that starts no well-formed character
// counts as one character of one unit, as FromGb turns it into one U+FFFD.
// In a multi-line edit box a line break is the pair CR LF in bytes and one
// position in Qt; `crlfAsOne` selects that counting.
struct GbChar {
    uint8_t bytes;
    uint8_t units;
};
// The character that starts at gb[pos]; pos must be below gb.size().
GbChar GbCharAt(std::string_view gb, size_t pos, bool crlfAsOne = false);

// Where a byte position inside a character goes: kDown to the character's
// start, kUp to its end.
enum class Snap { kDown,
                  kUp };

// Linear mappings over a whole text, for short texts (dialog fields, labels).
// Positions beyond the end map to the end.
size_t GbToUtf16Position(std::string_view gb, size_t bytePos, Snap snap, bool crlfAsOne = false);
size_t Utf16ToGbPosition(std::string_view gb, size_t unitPos, bool crlfAsOne = false);

} // namespace mt::platform
