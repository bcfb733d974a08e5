// The undo record of a multi-line box: byte edits that undo and redo walk.
// An insertion keeps only its length while its bytes are in the text;
// undoing it takes them out into the record, so a long paste is held once.
//
// The record is bounded: at most kMaxSteps steps, and no more bytes held
// than the larger of kMinBudget and the text's size, whichever limit comes
// first. The oldest steps go first; the newest is kept however large, so the
// last edit can always be taken back. A step is one undoable edit (a typing
// run, a paste, a cut, a drop).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace mt::platform {

class TextBuffer;

class EditHistory {
public:
    static constexpr size_t kMaxSteps = 100;
    static constexpr size_t kMinBudget = size_t{64} << 20;

    explicit EditHistory(size_t maxSteps = kMaxSteps, size_t minBudget = kMinBudget)
        : maxSteps_(maxSteps), minBudget_(minBudget)
    {
    }

    // Undo and redo are the same swap: the bytes at [pos, pos + inText)
    // go out into `outside`, and what was outside goes in.
    struct Edit {
        size_t pos;
        std::string outside;
        size_t inText;
        size_t caretBefore;
        size_t anchorBefore;
        bool typing; // typed characters may join the edit before
    };
    static void Swap(TextBuffer* text, Edit* e);

    void clear();
    // Records an edit just made to a text now `textSize` bytes long; typing
    // at the end of the typing edit before it joins that edit. The oldest
    // steps beyond the bounds go.
    void record(size_t pos, std::string removed, size_t insertedLength, bool typing, size_t caretBefore,
                size_t anchorBefore, size_t textSize = 0);
    // Stops typing from joining the last edit.
    void seal() { sealed_ = true; }
    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < edits_.size(); }
    size_t steps() const { return edits_.size(); }
    // Applies the reversal to `text`; the caret and anchor to restore come
    // back. False when there is nothing to undo or redo.
    bool undo(TextBuffer* text, size_t* caret, size_t* anchor);
    bool redo(TextBuffer* text, size_t* caret, size_t* anchor);
    // The edit the last undo or redo swapped: its bytes now in the text at
    // pos (inText of them) and those it took out (outside).
    const Edit& lastStepped() const { return edits_[lastStep_]; }

private:
    void bound(size_t textSize);

    size_t maxSteps_;
    size_t minBudget_;
    std::vector<Edit> edits_;
    size_t done_ = 0;
    size_t lastStep_ = 0;
    bool sealed_ = true;
};

} // namespace mt::platform
