// The platform edit control in the runtime's terms: text as GB18030 bytes,
// positions as byte positions, colours as 0x00BBGGRR, rectangles in pixels.
// A single-line control is a line edit; a multi-line one is a text view of
// the bytes themselves (text_view.h), whose line breaks stay as written.
//
// Like every window of this layer it is made hidden and registered: the
// window operations (native_window.h) move, show, enable, focus and destroy
// it, and its WindowListener hears focus and destruction. What only an edit
// control does is reached through EditControlOf.
//
// Byte positions inside a character never split it on screen: a selection's
// start snaps back to the start of the character it falls in and its end
// forward to the end of that character, so a selection covers every
// character it touches (a caret, start = end, snaps back). CR LF counts as
// one character.
//
// Reading the whole text is a copy even for texts of megabytes: a
// single-line control keeps a byte mirror of its line edit, a multi-line one
// holds nothing but the bytes.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/dropped_file.h"
#include "platform/native_window.h"
#include "platform/text_marks.h"
#include "platform/window_handle.h"
#include "platform/window_listener.h"

namespace mt::platform {

// The height a single-line control adds to one line of text (twice the
// 3-D edge) and the width of its spinner.
inline constexpr int kEditEdgeHeight = 2;
inline constexpr int kSpinnerWidth = 18;

struct EditOptions {
    bool multiLine = false;
    int border = 1; // 0 none, 1 sunken, 2 dialog frame, 3 static edge,
                    // 4 dialog frame and sunken, 5 thin line
    uint32_t textColor = 0x000000;
    uint32_t backColor = 0xFFFFFF; // kDefaultColor: button face
    std::string font;              // 60-byte logical-font record, or empty
    bool hideSelection = true;     // selection hidden while unfocused
    int32_t textLimit = 0;         // bytes a user may bring the text to; 0: none
    int scrollBars = 0;            // multi-line: 1 horizontal, 2 vertical, 3 both
    int alignment = 0;             // 0 left, 1 centre, 2 right
    int inputMode = 0;             // 1 read-only, 2 password, 3..10 character filters
    char passwordChar = '*';
    int caseConversion = 0; // 1 lower, 2 upper
    bool spinner = false;   // single-line only
    int32_t spinMin = 0;
    int32_t spinMax = 100;
};

// What an edit control reports besides the WindowListener's notices. Calls
// come only while the window is live; any of them may destroy it.
class EditNotices {
public:
    // The user (typing, pasting, undo) or the platform (replaceSelection)
    // changed the text. Never for setText, unless it is asked to.
    virtual void textChanged() {}
    // An arrow of the spinner was pressed while the box is enabled and
    // visible: +1 up, -1 down.
    virtual void spinnerPressed(int /*direction*/) {}
    // A file was dropped onto a multi-line control: its bytes, or why not
    // (edit_widgets.h). The text is as it was; replaceAll puts the bytes in.
    virtual void fileDropped(const DroppedFile& /*file*/) {}

protected:
    ~EditNotices() = default;
};

class EditControl {
public:
    virtual WindowHandle handle() const = 0;
    bool isMultiLine() const { return multiLine_; }

    // ---- text -----------------------------------------------------------
    virtual const std::string& text() const = 0;
    // The text's length, and the text copied into out (room for
    // textSize() bytes): for a long text, cheaper than text(), which may
    // first have to bring it together in one piece.
    virtual size_t textSize() const { return text().size(); }
    virtual void copyText(char* out) const
    {
        const std::string& t = text();
        if (!t.empty())
            std::memcpy(out, t.data(), t.size());
    }
    // True when the text is known to hold no zero byte (false: it may).
    virtual bool textFreeOfZeroBytes() const { return false; }
    // Replaces the whole text (case conversion applies, the limit does not),
    // puts the caret at the start and clears the undo history. Reports
    // textChanged only when notify is set.
    virtual void setText(std::string_view gb, bool notify = false) = 0;
    // Multi-line: replaces the whole text as a program's write the user can
    // take back (TextView::writeBytes): one undo step, or none for a
    // placeholder, the text that stands for an empty box. Nothing is
    // reported. Single-line: setText.
    virtual void writeText(std::string_view gb, bool placeholder) = 0;

    // ---- selection, in byte positions ------------------------------------
    virtual int64_t selectionStart() const = 0;
    virtual int64_t selectionLength() const = 0;
    virtual std::string selectedText() const = 0;
    // Selects [start, start + length) clamped to the text and snapped as
    // described above; the caret goes to the end and scrolls into view.
    virtual void select(int64_t start, int64_t length) = 0;
    // Replaces the selection as if the user had (case conversion and limit
    // apply), not undoable; reports textChanged.
    virtual void replaceSelection(std::string_view gb) = 0;
    // Multi-line: replaces the whole text as the user would, as one undoable
    // edit (the limit does not apply); reports textChanged once.
    virtual void replaceAll(std::string_view gb) = 0;

    // ---- marks (text_marks.h): drawn by a multi-line control alone ---------
    virtual void setMarks(TextMarks marks) = 0;
    // The marks in place; null for a single-line control.
    virtual const TextMarks* marks() const = 0;
    // Multi-line: an entry at the top of the context menu, enabled while
    // text is selected, that presses the key (a virtual key code, F1-F12)
    // in the control, so that the window and the program see it as typed.
    // `label` is GB18030; the key's name is shown beside it. A key added
    // again replaces its entry.
    virtual void addMenuKey(std::string_view /*label*/, int32_t /*key*/) {}
    // Multi-line: an entry beside those, always enabled, that presses a
    // letter key ('A'-'Z') with modifiers (1 Ctrl, 2 Shift, 4 Alt) in the
    // control, as typed; the keys are shown beside the GB18030 label. The
    // same keys again replace their entry.
    virtual void addMenuShortcut(std::string_view /*label*/, int32_t /*letter*/, int32_t /*keyState*/) {}

    // ---- the notice: one line drawn over the top of a multi-line control ----
    // It says something about the text (why a page looks as it does) and
    // changes neither the bytes nor the layout; the next change of the text
    // takes it away. Empty: none. A single-line control shows none.
    virtual void setNotice(std::string_view gb) = 0;
    // The notice in place, in GB18030; empty when there is none.
    virtual std::string notice() const = 0;

    // Multi-line: a switch at the end of the context menu, checked while
    // isOn() answers true; choosing it calls turn() with the other state.
    // `label` is GB18030. A switch with the same label replaces its entry.
    virtual void addMenuSwitch(std::string_view /*label*/, bool (* /*isOn*/)(), void (* /*turn*/)(bool)) {}

    // ---- appearance and behaviour ------------------------------------------
    virtual void setBorder(int border) = 0;
    virtual void setTextColor(uint32_t color) = 0;
    virtual void setBackColor(uint32_t color) = 0;
    // Applies the font; a single-line control lower than one line of a
    // double-byte character plus 2 * kEditEdgeHeight grows to that height.
    virtual void setFont(std::string_view logicalFont) = 0;
    virtual void setTextLimit(int32_t bytes) = 0;
    // Mode 1 read-only, 2 password (with the password character), 3..10
    // filter typed characters; every other mode none of these.
    virtual void setInputMode(int mode) = 0;
    virtual void setPasswordChar(char c) = 0;
    virtual void setAlignment(int alignment) = 0;
    virtual void setHideSelection(bool hide) = 0;
    virtual void setCaseConversion(int conversion) = 0;

    // ---- spinner ---------------------------------------------------------------
    // Right of the box, as high as it, in its parent, directly below it in
    // the stacking order; shown, enabled and moved with it.
    virtual bool hasSpinner() const = 0;
    // Bounds kept as 16-bit numbers: the low halves of min(a, b), max(a, b).
    virtual void setSpinnerRange(int32_t a, int32_t b) = 0;
    virtual int16_t spinnerLower() const = 0;
    virtual int16_t spinnerUpper() const = 0;
    // The spinner's widget, for tests; it is no registered window.
    virtual WindowHandle spinnerHandle() const = 0;

    // ---- focus and line breaks ------------------------------------------------
    // How the control last gained the focus (kProgram before it ever did).
    virtual FocusCause lastFocusCause() const = 0;
    // Multi-line: Enter inserts the line break the text of the multi-line
    // control `source` already uses (the form of its first one: LF, CR LF
    // or CR; CR LF when it has none). Null, or a control that is not
    // multi-line: its own text's.
    virtual void setLineBreakSource(WindowHandle source) = 0;

protected:
    explicit EditControl(bool multiLine) : multiLine_(multiLine) {}
    ~EditControl() = default;

private:
    bool multiLine_;
};

// A new hidden edit control, a child of `parent`, holding `text`.
// `listener` hears focus and destruction, `notices` the rest; either may be
// null.
WindowHandle CreateEditControl(WindowHandle parent, const Rect& rect, const EditOptions& options,
                               std::string_view text, WindowListener* listener, EditNotices* notices);
// The edit control behind a live handle, or null.
EditControl* EditControlOf(WindowHandle handle);

} // namespace mt::platform
