// The multi-line box's keys as a table: {key, modifiers} to an action, and
// whether Shift extends the selection. The view performs the action
// (TextView::perform); a key with no action types its text, if any.
#pragma once

#include <Qt>

namespace mt::platform {

enum class EditAction {
    kNone,
    kCopy,
    kCut,
    kPaste,
    kUndo,
    kRedo,
    kSelectAll,
    kCharLeft,
    kCharRight,
    kWordLeft,
    kWordRight,
    kRowUp,
    kRowDown,
    kPageUp,
    kPageDown,
    kRowStart,
    kRowEnd,
    kTextStart,
    kTextEnd,
    kDeleteBack,
    kDeleteForward,
    kDeleteWordBack,
    kDeleteWordForward,
    kNewLine,
};

struct KeyAction {
    EditAction action = EditAction::kNone;
    bool extend = false; // Shift held on a movement: the selection grows
};

// The action of a key pressed with `modifiers` (the keypad's flag aside).
KeyAction ActionForKey(int key, Qt::KeyboardModifiers modifiers);

// Clipboard, history and select-all keys, which the box keeps from the
// window's shortcuts.
bool IsEditShortcut(EditAction action);

} // namespace mt::platform
