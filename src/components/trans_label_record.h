// The transparent label's own properties and its stored record: version 1
// is written, versions 0 and 1 are read. Plain data and bytes only, so the
// record can be read and written without a window (and fuzzed).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "abi/component_kinds.h"
#include "components/property_archive.h"

namespace mt {

inline constexpr int32_t kHighestTextEffect = 3; // 0 none .. 3 dark shadow
inline constexpr int32_t kHighestLabelAlign = 2; // left/top .. right/bottom

struct TransLabelProperties {
    static constexpr uint32_t kVersion = 1;

    std::string caption; // GBK bytes, no terminator
    int32_t textEffect = 0;
    std::string font; // empty (default GUI font) or a 60-byte logical font
    uint32_t textColor = 0x000000;
    int32_t horzAlign = 0;
    int32_t wordWrap = 0; // 0 or 1
    int32_t vertAlign = 1;

    // The defaults a new label starts from (Caption "透明标签").
    static TransLabelProperties Defaults();
};

// Defaults first, then the record's fields. Choices are clamped, WordWrap
// is 1 only when stored as 1, and a font blob that is not 60 bytes counts as
// empty. False (and *out left at the defaults or partly read) for a version
// above 1 or a record that ends early; an empty record gives the defaults.
bool ReadTransLabelRecord(const uint8_t* record, size_t size, TransLabelProperties* out);
// The record of version 1 for these properties.
PropertyWriter WriteTransLabelRecord(const TransLabelProperties& p);

// A font blob as the label keeps it: the blob when it is 60 bytes, else empty.
std::string StoredLabelFont(std::string blob);

} // namespace mt
