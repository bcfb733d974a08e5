#include "platform/text_view/text_view_keys.h"

#include <QKeyEvent>

#include "platform/text_view/text_view.h"
#include "platform/text_view/text_words.h"

namespace mt::platform {
namespace {

constexpr Qt::KeyboardModifiers kNo = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers kCtrlShift = Qt::ControlModifier | Qt::ShiftModifier;

struct Binding {
    int key;
    Qt::KeyboardModifiers modifiers; // without Shift where Shift extends
    EditAction action;
    bool shiftExtends;
};

// Clipboard keys as the desktop binds them (Ctrl, Shift/Ctrl+Insert,
// Shift+Delete, the dedicated keys); redo on Ctrl+Y beside Ctrl+Shift+Z.
constexpr Binding kBindings[] = {
    {Qt::Key_C, kCtrl, EditAction::kCopy, false},
    {Qt::Key_Insert, kCtrl, EditAction::kCopy, false},
    {Qt::Key_Copy, kNo, EditAction::kCopy, false},
    {Qt::Key_X, kCtrl, EditAction::kCut, false},
    {Qt::Key_Delete, kShift, EditAction::kCut, false},
    {Qt::Key_Cut, kNo, EditAction::kCut, false},
    {Qt::Key_V, kCtrl, EditAction::kPaste, false},
    {Qt::Key_Insert, kShift, EditAction::kPaste, false},
    {Qt::Key_Paste, kNo, EditAction::kPaste, false},
    {Qt::Key_Z, kCtrl, EditAction::kUndo, false},
    {Qt::Key_Undo, kNo, EditAction::kUndo, false},
    {Qt::Key_Y, kCtrl, EditAction::kRedo, false},
    {Qt::Key_Z, kCtrlShift, EditAction::kRedo, false},
    {Qt::Key_Redo, kNo, EditAction::kRedo, false},
    {Qt::Key_A, kCtrl, EditAction::kSelectAll, false},
    {Qt::Key_Left, kNo, EditAction::kCharLeft, true},
    {Qt::Key_Right, kNo, EditAction::kCharRight, true},
    {Qt::Key_Left, kCtrl, EditAction::kWordLeft, true},
    {Qt::Key_Right, kCtrl, EditAction::kWordRight, true},
    {Qt::Key_Up, kNo, EditAction::kRowUp, true},
    {Qt::Key_Up, kCtrl, EditAction::kRowUp, true},
    {Qt::Key_Down, kNo, EditAction::kRowDown, true},
    {Qt::Key_Down, kCtrl, EditAction::kRowDown, true},
    {Qt::Key_PageUp, kNo, EditAction::kPageUp, true},
    {Qt::Key_PageDown, kNo, EditAction::kPageDown, true},
    {Qt::Key_Home, kNo, EditAction::kRowStart, true},
    {Qt::Key_End, kNo, EditAction::kRowEnd, true},
    {Qt::Key_Home, kCtrl, EditAction::kTextStart, true},
    {Qt::Key_End, kCtrl, EditAction::kTextEnd, true},
    {Qt::Key_Backspace, kNo, EditAction::kDeleteBack, true},
    {Qt::Key_Backspace, kCtrl, EditAction::kDeleteWordBack, true},
    {Qt::Key_Delete, kNo, EditAction::kDeleteForward, false},
    {Qt::Key_Delete, kCtrl, EditAction::kDeleteWordForward, false},
    {Qt::Key_Return, kNo, EditAction::kNewLine, true},
    {Qt::Key_Enter, kNo, EditAction::kNewLine, true},
};

} // namespace

KeyAction ActionForKey(int key, Qt::KeyboardModifiers modifiers)
{
    modifiers &= ~Qt::KeypadModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    for (const Binding& b : kBindings) {
        if (b.key != key)
            continue;
        if (modifiers == b.modifiers)
            return {b.action, false};
        if (b.shiftExtends && shift && (modifiers & ~Qt::ShiftModifier) == b.modifiers)
            return {b.action, true};
    }
    return {};
}

bool IsEditShortcut(EditAction action)
{
    switch (action) {
    case EditAction::kCopy:
    case EditAction::kCut:
    case EditAction::kPaste:
    case EditAction::kUndo:
    case EditAction::kRedo:
    case EditAction::kSelectAll: return true;
    default: return false;
    }
}

// ---- the view's keys ----------------------------------------------------------------

void TextView::keyPressEvent(QKeyEvent* event)
{
    if (zoomKey(event)) {
        event->accept();
        return;
    }
    const KeyAction key = ActionForKey(event->key(), event->modifiers());
    if (key.action != EditAction::kNone) {
        perform(key.action, key.extend);
        if (key.extend && caret_ != anchor_)
            publishSelection();
        event->accept();
        return;
    }
    const QString typed = event->text();
    bool printable = !typed.isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    for (QChar c : typed)
        printable = printable && c.unicode() >= 32 && c.unicode() != 127;
    if (!printable) {
        event->ignore();
        return;
    }
    insertFromUser(typed, true);
    event->accept();
}

void TextView::perform(EditAction action, bool extend)
{
    const bool selected = caret_ != anchor_;
    switch (action) {
    case EditAction::kNone: break;
    case EditAction::kCopy: copy(); break;
    case EditAction::kCut: cut(); break;
    case EditAction::kPaste: paste(); break;
    case EditAction::kUndo: undo(); break;
    case EditAction::kRedo: redo(); break;
    case EditAction::kSelectAll: selectAll(); break;
    case EditAction::kCharLeft:
        setCaret(selected && !extend ? selectionStart() : text_.prevStop(caret_), extend);
        break;
    case EditAction::kCharRight:
        setCaret(selected && !extend ? selectionEnd() : text_.nextStop(caret_), extend);
        break;
    case EditAction::kWordLeft: setCaret(WordLeft(text_, caret_), extend); break;
    case EditAction::kWordRight: setCaret(WordRight(text_, caret_), extend); break;
    case EditAction::kRowUp: moveVertically(-1, extend); break;
    case EditAction::kRowDown: moveVertically(1, extend); break;
    case EditAction::kPageUp:
        scrollRows(1 - visibleRows());
        moveVertically(1 - visibleRows(), extend);
        break;
    case EditAction::kPageDown:
        scrollRows(visibleRows() - 1);
        moveVertically(visibleRows() - 1, extend);
        break;
    case EditAction::kRowStart: setCaret(layouts_.rowStart(caretRow()), extend); break;
    case EditAction::kRowEnd: {
        // After the row's last character; on a wrapped row that is where
        // the next row starts, and the caret stays drawn here.
        const Row r = caretRow();
        Row next = r;
        const bool wrapped = layouts_.nextRow(&next) && next.seg.line == r.seg.line;
        setCaret(wrapped ? layouts_.rowStart(next) : r.seg.end, extend, wrapped);
        break;
    }
    case EditAction::kTextStart: setCaret(0, extend); break;
    case EditAction::kTextEnd: setCaret(text_.size(), extend); break;
    case EditAction::kDeleteBack:
    case EditAction::kDeleteWordBack:
    case EditAction::kDeleteForward:
    case EditAction::kDeleteWordForward: {
        if (readOnly_)
            break;
        if (selected) {
            deleteSelection();
            break;
        }
        const bool back = action == EditAction::kDeleteBack || action == EditAction::kDeleteWordBack;
        const bool word = action == EditAction::kDeleteWordBack || action == EditAction::kDeleteWordForward;
        if (back && caret_ > 0)
            edit(word ? WordLeft(text_, caret_) : text_.prevStop(caret_), caret_, {}, EditKind::kUser);
        else if (!back && caret_ < text_.size())
            edit(caret_, word ? WordRight(text_, caret_) : text_.nextStop(caret_), {}, EditKind::kUser);
        break;
    }
    case EditAction::kNewLine: insertFromUser(QString::fromLatin1(typedLineBreak()), false); break;
    }
}

std::string_view TextView::FirstLineBreak(const TextBuffer& text)
{
    if (text.lineCount() < 2)
        return "\r\n";
    const size_t from = text.lineContentEnd(0);
    const size_t to = text.lineStart(1);
    if (to - from == 2)
        return "\r\n";
    return text.at(from) == '\r' ? "\r" : "\n";
}

std::string_view TextView::typedLineBreak() const
{
    const TextView* source = lineBreakSource_ ? lineBreakSource_.data() : this;
    return FirstLineBreak(source->buffer());
}

int TextView::textWidth() const { return std::max(1, viewport()->width() - 2 * margin()); }

TextView::Row TextView::caretRow()
{
    const Row r = layouts_.rowOf(caret_);
    Row up = r;
    if (caretAfterRow_ == caret_ && caret_ > 0 && layouts_.rowStart(r) == caret_ && layouts_.prevRow(&up) &&
        up.seg.line == r.seg.line)
        return up;
    return r;
}

void TextView::setCaret(size_t pos, bool keepAnchor, bool afterRow)
{
    caret_ = std::min(pos, text_.size());
    caretAfterRow_ = afterRow ? caret_ : SIZE_MAX;
    if (!keepAnchor)
        anchor_ = caret_;
    history_.seal();
    caretMoved();
}

void TextView::moveVertically(int rows, bool keepAnchor)
{
    Row r = caretRow();
    Laid* l = layouts_.lay(r.seg);
    if (goalX_ < 0 && r.line < l->layout.lineCount())
        goalX_ = l->layout.lineAt(r.line).cursorToX(layouts_.unitOf(*l, caret_));
    bool moved = false;
    for (; rows > 0 && layouts_.nextRow(&r); --rows)
        moved = true;
    for (; rows < 0 && layouts_.prevRow(&r); ++rows)
        moved = true;
    size_t pos = rows > 0 ? text_.size() : rows < 0 ? 0
                                                    : caret_;
    bool afterRow = false;
    if (moved && rows == 0) {
        l = layouts_.lay(r.seg);
        if (r.line < l->layout.lineCount()) {
            const int unit = l->layout.lineAt(r.line).xToCursor(std::max<qreal>(goalX_, 0));
            pos = text_.stopAtOrBefore(layouts_.byteOf(*l, unit));
            // The end of a wrapped row is the start of the next one: the caret stays on this row.
            Row next = r;
            afterRow = pos > layouts_.rowStart(r) && layouts_.nextRow(&next) && next.seg.line == r.seg.line && pos >= layouts_.rowStart(next);
        }
    }
    const qreal goal = goalX_;
    setCaret(pos, keepAnchor, afterRow);
    goalX_ = goal;
}

} // namespace mt::platform
