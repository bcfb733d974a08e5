// The edit box's own properties and its stored record (version 2; versions 0
// to 2 are read). Plain data: no platform, no engine, so the record can be
// read, written and fuzzed alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "abi/component_kinds.h"
#include "components/property_archive.h"

namespace mt {

// Highest values of the choice properties.
inline constexpr int32_t kEbBorderMax = 5;
inline constexpr int32_t kEbScrollBarsMax = 3;
inline constexpr int32_t kEbAlignmentMax = 2;
inline constexpr int32_t kEbInputModeMax = 11;
inline constexpr int32_t kEbCaseConversionMax = 2;
inline constexpr int32_t kEbSpinButtonMax = 2;

// Input modes the box treats specially.
enum EditInputMode : int32_t {
    kInputNormal = 0,
    kInputReadOnly = 1,
    kInputPassword = 2,
    kInputByte = 5,
    kInputShort = 6,
    kInputInt = 7,
    kInputLong = 8,
    kInputFloat = 9,
    kInputDouble = 10,
    kInputDateTime = 11,
};

enum EditSpinButton : int32_t { kSpinNone = 0,
                                kSpinAutomatic = 1,
                                kSpinManual = 2 };

struct EditBoxProperties {
    static constexpr uint32_t kVersion = 2;

    std::string content; // GB18030
    int32_t border = 1;
    uint32_t textColor = 0x000000;
    uint32_t backColor = 0xFFFFFF;
    std::string font; // empty or a 60-byte logical-font record
    bool hideSelection = true;
    int32_t maxLength = 0; // never negative
    bool multiLine = false;
    int32_t scrollBars = 0;
    int32_t alignment = 0;
    int32_t inputMode = 0;
    char passwordChar = '*'; // one byte; 0: none
    int32_t caseConversion = 0;
    int32_t spinButton = 0;
    int32_t spinMin = 0;
    int32_t spinMax = 100;
    int32_t selStart = 0;
    int32_t selLength = 0;
    std::string dataSource;
    std::string dataColumn;
};

// Defaults first, then the stored fields, choices clamped into their ranges.
// False for a version above 2 or a record that ends early; *out then holds
// what was read so far and must not be used. An empty record is "nothing
// stored": the defaults, true.
bool ReadEditBoxRecord(const uint8_t* record, size_t size, EditBoxProperties* out);
// The record of version 2.
PropertyWriter WriteEditBoxRecord(const EditBoxProperties& p);

} // namespace mt
