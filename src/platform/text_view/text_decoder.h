// GB18030 bytes to UTF-16 character by character, so that every unit knows
// the byte its character starts at: an undecodable byte becomes one U+FFFD.
// What the multi-line box lays out and what its word walk reads.
#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace mt::platform {

// Decodes `bytes`; unitByte gets, per unit and one past the last, the byte
// offset of the unit's character.
void DecodeByCharacter(const std::string& bytes, QString* text, std::vector<uint32_t>* unitByte);

} // namespace mt::platform
