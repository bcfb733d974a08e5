// The button's own properties and its stored record (version 1). Plain
// data, read and written without the platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "abi/component_kinds.h"
#include "components/property_archive.h"

namespace mt {

struct ButtonProperties {
    static constexpr uint32_t kVersion = 1;
    int32_t buttonType = 0;
    int32_t horzAlign = 1;
    int32_t vertAlign = 1;
    std::string picture;
    std::string font;
    std::string caption;

    ButtonProperties();
    // Defaults first, then the stored fields. False for a refused version or
    // a record that ends early.
    bool read(const uint8_t* record, size_t size);
    PropertyWriter write() const;
};

} // namespace mt
