// A transparent text surface: it paints its text and nothing else, so the
// window and whatever lies beneath show around and between the letters.
// Every change, and every move, repaints what lies under the label before
// the label itself, synchronously, so no trace of an old text remains.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/window_handle.h"

namespace mt::platform {

struct LabelOptions {
    int effect = 0;        // 0 none, 1 white copy at (+1, +1) below the text,
                           // 2 white copy, text at (+1, +1), 3 black shadow at (+2, +2)
    uint32_t textColor = 0x000000; // 0x00BBGGRR; 0xFF000000: button face
    std::string font;      // 60-byte logical-font record, or empty: default GUI font
    int horzAlign = 0;     // 0 left, 1 centre, 2 right
    bool wordWrap = false; // wraps at word boundaries, starting at the top
    int vertAlign = 1;     // single line: 0 top, 1 centre, 2 bottom
    bool visible = true;
    bool disabled = false;
};

class LabelWidget;

class LabelSurface {
public:
    // The text is drawn as static text is: "&" marks the next character as
    // a mnemonic (underlined), "&&" shows one "&".
    LabelSurface(WindowHandle parent, const Rect& rect, const LabelOptions& options, std::string_view text);
    ~LabelSurface(); // destroys the platform window
    LabelSurface(const LabelSurface&) = delete;
    LabelSurface& operator=(const LabelSurface&) = delete;

    // Called when the platform window is gone (its parent was destroyed).
    void setDestroyedListener(std::function<void()> listener);
    bool isAlive() const;
    WindowHandle handle() const; // null once gone

    const std::string& text() const { return text_; }
    const LabelOptions& options() const { return options_; }

    // Each setter stores the value (choices clamped) and refreshes.
    void setText(std::string_view gb);
    void setEffect(int effect);
    void setFont(std::string_view logFont);
    void setTextColor(uint32_t colorRef);
    void setHorzAlign(int align);
    void setWordWrap(bool wrap);
    void setVertAlign(int align);

    // Repaints everything under the label, bottom layer first, then the
    // label, at once.
    void refresh();

private:
    void push();

    std::string text_;
    LabelOptions options_;
    LabelWidget* widget_;
    std::function<void()> destroyed_;
};

} // namespace mt::platform
