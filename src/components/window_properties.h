// The window kind's own properties and its stored record (version 6;
// versions 0 to 6 are read).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "abi/component_kinds.h"
#include "components/property_archive.h"
#include "platform/screen_metrics.h"

namespace mt {

struct WindowProperties {
    static constexpr uint32_t kVersion = 6;

    std::string caption;
    int32_t border = 2;
    uint32_t backColor = platform::kDefaultColor;
    std::string backPicture;
    int32_t backPictureMode = 1;
    std::string backMusic;
    int32_t musicPlayMode = 0;
    bool controlBox = true;
    bool maxButton = false;
    bool minButton = false;
    int32_t startPosition = 1;
    bool movable = true;
    std::string icon;
    bool enterMovesFocus = false;
    bool escCloses = true;
    bool f1OpensHelp = false;
    std::string helpFile;
    int32_t helpContext = 0;
    bool showInTaskbar = true;
    bool freeDrag = false;
    int32_t shape = 0;
    bool alwaysOnTop = false;
    bool keepTitleActive = false;
    std::string windowClassName;

    // Defaults first, then the stored fields. False for a refused version
    // or a record that ends early.
    bool read(const uint8_t* record, size_t size);
    PropertyWriter write() const;
};

} // namespace mt
