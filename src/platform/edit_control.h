// The platform edit control in the runtime's terms: text as GB18030 bytes,
// positions as byte positions, colours as 0x00BBGGRR, rectangles in pixels.
// A single-line control is a line edit, a multi-line one a plain-text edit
// whose line breaks read as CR LF.
//
// Byte positions inside a character never split it on screen: a selection's
// start snaps back to the start of the character it falls in and its end
// forward to the end of that character, so a selection covers every
// character it touches (a caret, start = end, snaps back). CR LF counts as
// one character.
//
// The control keeps its text's bytes up to date from the widget's change
// reports, so reading the whole text is a copy even for texts of megabytes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/window_handle.h"

namespace mt::platform {

// The height a single-line control adds to one line of text (twice the
// 3-D edge) and the width of its spinner.
inline constexpr int kEditEdgeHeight = 2;
inline constexpr int kSpinnerWidth = 18;

struct EditOptions {
    bool multiLine = false;
    int border = 1;                 // 0 none, 1 sunken, 2 dialog frame, 3 static edge,
                                    // 4 dialog frame and sunken, 5 thin line
    uint32_t textColor = 0x000000;
    uint32_t backColor = 0xFFFFFF;  // 0xFF000000: button face
    std::string font;               // 60-byte logical-font record, or empty
    bool hideSelection = true;      // selection hidden while unfocused
    int32_t textLimit = 0;          // bytes a user may bring the text to; 0: none
    int scrollBars = 0;             // multi-line: 1 horizontal, 2 vertical, 3 both
    int alignment = 0;              // 0 left, 1 centre, 2 right
    int inputMode = 0;              // 1 read-only, 2 password, 3..10 character filters
    char passwordChar = '*';
    int caseConversion = 0;         // 1 lower, 2 upper
    bool spinner = false;           // single-line only
    int32_t spinMin = 0;
    int32_t spinMax = 100;
    bool visible = true;
    bool disabled = false;
};

// What the control reports. Any callback may destroy the control.
struct EditListener {
    // The user (typing, pasting, undo) or the platform (replaceSelection)
    // changed the text. Never for setText, unless it is asked to.
    std::function<void()> textChanged{};
    std::function<void()> focusIn{};
    std::function<void()> focusOut{};
    // An arrow of the spinner was pressed: +1 up, -1 down.
    std::function<void(int direction)> spinnerPressed{};
    // The platform window is gone (its parent was destroyed); the control
    // does nothing from now on.
    std::function<void()> destroyed{};
};

class EditControl {
public:
    EditControl(WindowHandle parent, const Rect& rect, const EditOptions& options, std::string_view text);
    ~EditControl(); // destroys the platform window and its spinner
    EditControl(const EditControl&) = delete;
    EditControl& operator=(const EditControl&) = delete;

    void setListener(EditListener listener);
    bool isAlive() const;
    WindowHandle handle() const; // null once gone
    bool isMultiLine() const;

    // ---- text -----------------------------------------------------------
    const std::string& text() const;
    size_t textSize() const { return text().size(); }
    // Replaces the whole text (case conversion applies, the limit does not),
    // puts the caret at the start and clears the undo history. Reports
    // textChanged only when notify is set.
    void setText(std::string_view gb, bool notify = false);

    // ---- selection, in byte positions ------------------------------------
    int64_t selectionStart() const;
    int64_t selectionLength() const;
    std::string selectedText() const;
    // Selects [start, start + length) clamped to the text and snapped as
    // described above; the caret goes to the end and scrolls into view.
    void select(int64_t start, int64_t length);
    // Replaces the selection as if the user had (case conversion and limit
    // apply), not undoable; reports textChanged.
    void replaceSelection(std::string_view gb);

    // ---- appearance and behaviour ------------------------------------------
    void setBorder(int border);
    void setTextColor(uint32_t colorRef);
    void setBackColor(uint32_t colorRef);
    // Applies the font; a single-line control lower than one line of a
    // double-byte character plus 2 * kEditEdgeHeight grows to that height.
    void setFont(std::string_view logFont);
    void setTextLimit(int32_t bytes);
    // Mode 1 read-only, 2 password (with the password character), 3..10
    // filter typed characters; every other mode none of these.
    void setInputMode(int mode);
    void setPasswordChar(char c);
    void setAlignment(int alignment);
    void setHideSelection(bool hide);
    void setCaseConversion(int conversion);

    // ---- spinner -----------------------------------------------------------
    bool hasSpinner() const;
    // Bounds kept as 16-bit numbers: the low halves of min(a, b), max(a, b).
    void setSpinnerRange(int32_t a, int32_t b);
    int16_t spinnerLower() const;
    int16_t spinnerUpper() const;
    WindowHandle spinnerHandle() const;

    // ---- focus ---------------------------------------------------------------
    void setFocus();
    bool hasFocus() const;

    class Impl;

private:
    Impl* d_; // a QObject; may outlive this object by a turn of the event loop
};

} // namespace mt::platform
