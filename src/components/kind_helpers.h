// Small pieces every kind's routines share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "components/kind_routines.h"

namespace mt {

// Byte data handed to the engine as pointer and length; null and 0 when empty.
void PutBytes(const std::string& bytes, RawPropertyValue* out);

// A stored record's length as a size; 0 or less means no record.
inline size_t RecordSize(int32_t length) { return length > 0 ? static_cast<size_t>(length) : 0; }

// Hands a 60-byte font record's face name to the visitor and puts the
// (possibly changed) name back into the record. Other lengths hold no font.
void VisitFontFace(std::string* font, TextVisitor visitor, void* user);

} // namespace mt
