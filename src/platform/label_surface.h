// A transparent text surface: it paints its text and nothing else, so the
// window and whatever lies beneath show around and between the letters.
// Every change, and every move, repaints what lies under the label before
// the label itself, synchronously, so no trace of an old text remains.
//
// Like every window of this layer it is made hidden and registered; what
// only a label does is reached through LabelSurfaceOf.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/window_handle.h"
#include "platform/window_listener.h"

namespace mt::platform {

struct LabelOptions {
    int effect = 0;                // 0 none, 1 white copy at (+1, +1) below the text,
                                   // 2 white copy, text at (+1, +1), 3 black shadow at (+2, +2)
    uint32_t textColor = 0x000000; // 0x00BBGGRR or kDefaultColor
    std::string font;              // 60-byte logical-font record, or empty: default GUI font
    int horzAlign = 0;             // 0 left, 1 centre, 2 right
    bool wordWrap = false;         // wraps at word boundaries, starting at the top
    int vertAlign = 1;             // single line: 0 top, 1 centre, 2 bottom
};

class LabelSurface {
public:
    virtual WindowHandle handle() const = 0;
    virtual const std::string& text() const = 0;
    virtual const LabelOptions& options() const = 0;

    // Each setter stores the value (choices clamped) and refreshes. The text
    // is drawn as static text is: "&" underlines the next character, "&&"
    // shows one "&".
    virtual void setText(std::string_view gb) = 0;
    virtual void setEffect(int effect) = 0;
    virtual void setFont(std::string_view logicalFont) = 0;
    virtual void setTextColor(uint32_t color) = 0;
    virtual void setHorzAlign(int align) = 0;
    virtual void setWordWrap(bool wrap) = 0;
    virtual void setVertAlign(int align) = 0;

    // Repaints everything under the label, bottom layer first, then the
    // label, at once.
    virtual void refresh() = 0;

protected:
    ~LabelSurface() = default;
};

// A new hidden label, a child of `parent`; `listener` (may be null) hears
// its destruction.
WindowHandle CreateLabelSurface(WindowHandle parent, const Rect& rect, const LabelOptions& options,
                                std::string_view text, WindowListener* listener);
// The label behind a live handle, or null.
LabelSurface* LabelSurfaceOf(WindowHandle handle);

} // namespace mt::platform
