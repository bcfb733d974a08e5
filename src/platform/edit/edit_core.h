// The inside of an edit control: the text, the reports to the listeners,
// the appearance and the spinner. One core stands over each kind of editor:
// LineEditCore over a single-line box's line edit (the bytes in a mirror
// beside it), TextViewCore over a multi-line box's TextView; what they share
// is EditCore's. The core lives inside its editor widget (LineEditBox or
// PlainEditBox) and goes with it.
// Its methods are spread over four files: edit_control.cpp builds it,
// edit_control_text.cpp keeps the text and selection, edit_control_look.cpp
// the appearance and the spinner, edit_control_clipboard.cpp a single-line
// box's clipboard and drops.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "platform/edit/edit_one_row.h"
#include "platform/edit/edit_spinner.h"
#include "platform/edit/edit_text_mirror.h"
#include "platform/edit/edit_widgets.h"
#include "platform/edit_control.h"
#include "platform/text_view/text_view.h"

namespace mt::platform {

// What both boxes share: the options, the listeners, the appearance that
// sits on the widget itself, and the spinner. What touches the editor is
// the work of the two cores below.
class EditCore : public QObject, public EditControl, public EditorHost {
public:
    ~EditCore() override;

    // Everything the options ask for, the text, and the spinner.
    void build(std::string_view text);

    // EditControl
    WindowHandle handle() const override { return reinterpret_cast<WindowHandle>(box_); }
    int64_t selectionStart() const override;
    int64_t selectionLength() const override;
    void setBorder(int border) override;
    void setTextColor(uint32_t color) override;
    void setBackColor(uint32_t color) override;
    void setFont(std::string_view logicalFont) override;
    void setTextLimit(int32_t bytes) override;
    void setInputMode(int mode) override;
    void setPasswordChar(char c) override;
    void setAlignment(int alignment) override;
    void setHideSelection(bool hide) override;
    void setCaseConversion(int conversion) override;
    bool hasSpinner() const override { return spinner_ != nullptr; }
    void setSpinnerRange(int32_t a, int32_t b) override;
    int16_t spinnerLower() const override { return spinner_ ? spinner_->lower : 0; }
    int16_t spinnerUpper() const override { return spinner_ ? spinner_->upper : 0; }
    WindowHandle spinnerHandle() const override;
    FocusCause lastFocusCause() const override { return focusCause_; }

    // EditorHost
    void editorFocusChanged(bool in, FocusCause cause) override;
    size_t editorInsertRoom() const override;
    void editorTextEdited() override { notifyTextChanged(); }
    void editorFileDropped(const DroppedFile& file) override
    {
        if (live() && notices_)
            notices_->fileDropped(file);
    }

protected:
    EditCore(QWidget* box, bool multiLine, const EditOptions& options, WindowListener* listener,
             EditNotices* notices);
    bool eventFilter(QObject* watched, QEvent* event) override;

    bool live() const;
    void notifyTextChanged();
    // The selection in bytes.
    virtual void byteSelection(size_t* start, size_t* end) const = 0;
    // The options as the editor takes them.
    virtual void applyBorder() = 0;
    virtual void applyInputMode() = 0;
    virtual void applyShaping() = 0;
    virtual void applyAlignment() = 0;
    // After the font changed.
    virtual void fitFont() {}
    // An event of the editor's the core handles itself: true when done.
    virtual bool editorEvent(QEvent* /*event*/) { return false; }
    // After the options and the text are in place.
    virtual void finishBuild() {}
    void makeSpinner();

    QWidget* box_; // the editor
    EditOptions options_;
    bool settingText_ = false;

private:
    void applyColors();
    void applyFont();
    void placeSpinner();

    WindowListener* listener_;
    EditNotices* notices_;
    QPointer<SpinnerWidget> spinner_;
    FocusCause focusCause_ = FocusCause::kProgram;
};

// The single-line box's core: a line edit and the bytes it shows, mirrored.
class LineEditCore final : public EditCore {
public:
    LineEditCore(EditLineWidget* line, const EditOptions& options, WindowListener* listener, EditNotices* notices);

    // EditControl
    const std::string& text() const override { return mirror_.bytes(); }
    size_t textSize() const override { return mirror_.bytes().size(); }
    void setText(std::string_view gb, bool notify) override;
    void writeText(std::string_view gb, bool /*placeholder*/) override { setText(gb, false); }
    std::string selectedText() const override;
    void select(int64_t start, int64_t length) override;
    void replaceSelection(std::string_view gb) override;
    // What only a multi-line box has: nothing here.
    void replaceAll(std::string_view /*gb*/) override {}
    void setMarks(TextMarks /*marks*/) override {}
    const TextMarks* marks() const override { return nullptr; }
    void setNotice(std::string_view /*gb*/) override {}
    std::string notice() const override { return {}; }
    void setLineBreakSource(WindowHandle /*source*/) override {}

private:
    void byteSelection(size_t* start, size_t* end) const override;
    void applyBorder() override;
    void applyInputMode() override;
    void applyShaping() override;
    void applyAlignment() override;
    void fitFont() override;
    bool editorEvent(QEvent* event) override { return lineClipboardEvent(event); }
    void finishBuild() override;

    // The line edit's selection in units.
    void unitSelection(size_t* start, size_t* end) const;
    void onLineTextChanged(const QString& text);
    // A single-line box's clipboard: the exact bytes beside the Unicode
    // text, and the bytes preferred when they come back. True when the event
    // was one of these and is done.
    bool lineClipboardEvent(QEvent* event);
    void copyBytes() const;
    void cutBytes();
    void pasteBytes();
    // Inserts bytes in place of the selection as a paste does.
    void insertBytes(std::string_view gb);

    EditLineWidget* line_;
    EditTextMirror mirror_;
    QString lineText_; // the line edit's text as the mirror holds it
};

// The multi-line box's core: a TextView, which holds the bytes itself.
class TextViewCore final : public EditCore {
public:
    TextViewCore(TextView* view, const EditOptions& options, WindowListener* listener, EditNotices* notices);

    // EditControl
    const std::string& text() const override { return view_->bytes(); }
    size_t textSize() const override { return view_->buffer().size(); }
    bool textFreeOfZeroBytes() const override { return view_->buffer().zeroBytes() == 0; }
    void copyText(char* out) const override { view_->buffer().copyTo(out); }
    void setText(std::string_view gb, bool notify) override;
    void writeText(std::string_view gb, bool placeholder) override;
    std::string selectedText() const override;
    void select(int64_t start, int64_t length) override;
    void replaceSelection(std::string_view gb) override;
    void replaceAll(std::string_view gb) override { view_->replaceAllFromUser(gb); }
    void setMarks(TextMarks marks) override { view_->setMarks(std::move(marks)); }
    const TextMarks* marks() const override { return &view_->marks(); }
    void addMenuKey(std::string_view label, int32_t key) override { view_->addMenuKey(label, key); }
    void addMenuShortcut(std::string_view label, int32_t letter, int32_t keyState) override;
    void setNotice(std::string_view gb) override;
    std::string notice() const override;
    void addMenuSwitch(std::string_view gb, bool (*isOn)(), void (*turn)(bool)) override;
    void setLineBreakSource(WindowHandle source) override;

private:
    void byteSelection(size_t* start, size_t* end) const override;
    void applyBorder() override { view_->setBorder(options_.border); }
    void applyInputMode() override;
    void applyShaping() override { view_->setCaseConversion(options_.caseConversion); }
    void applyAlignment() override;

    TextView* view_;
};

// The editor widgets that carry a core.
class LineEditBox : public EditLineWidget {
public:
    LineEditBox(QWidget* parent, const EditOptions& options, WindowListener* listener, EditNotices* notices)
        : EditLineWidget(parent), core(this, options, listener, notices)
    {
    }
    ~LineEditBox() override { setHost(nullptr); }
    LineEditCore core;
};

class PlainEditBox : public TextView {
public:
    PlainEditBox(QWidget* parent, const EditOptions& options, WindowListener* listener, EditNotices* notices)
        : TextView(parent), core(this, options, listener, notices)
    {
    }
    ~PlainEditBox() override { setHost(nullptr); }
    TextViewCore core;

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    // Ctrl+Y redoes, beside Ctrl+Shift+Z.
    void keyPressEvent(QKeyEvent* event) override;
    // A small box (no scroll bars) shows its whole text as its tooltip, with
    // the line breaks it holds named (edit_tooltip.cpp).
    bool event(QEvent* event) override;
    // One row high with line breaks, the box draws its text in that row and
    // places the mouse and drops there (edit_one_row.h); otherwise the view
    // does.
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct RowState {
        uint64_t generation;
        size_t start, end, caret;
        QString preedit;
        bool focus;
        bool operator==(const RowState&) const = default;
    };
    OneRowText oneRow_;
    RowState shownState_{};
    QString preedit_;
    int preeditCursor_ = 0;
    size_t pressAnchor_ = 0;
    bool selecting_ = false;
    QRect caretRect_;
};

} // namespace mt::platform
