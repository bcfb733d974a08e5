#include "platform/text_view/edit_history.h"

#include <algorithm>

#include "platform/text_view/text_buffer.h"

namespace mt::platform {

void EditHistory::clear()
{
    edits_.clear();
    done_ = 0;
    sealed_ = true;
}

void EditHistory::record(size_t pos, std::string removed, size_t insertedLength, bool typing, size_t caretBefore,
                         size_t anchorBefore, size_t textSize)
{
    edits_.resize(done_);
    if (typing && !sealed_ && !edits_.empty() && removed.empty()) {
        Edit& last = edits_.back();
        if (last.typing && last.pos + last.inText == pos) {
            last.inText += insertedLength;
            return;
        }
    }
    edits_.push_back({pos, std::move(removed), insertedLength, caretBefore, anchorBefore, typing});
    done_ = edits_.size();
    sealed_ = !typing;
    bound(textSize);
}

// Drops the oldest steps beyond the bounds; never the newest.
void EditHistory::bound(size_t textSize)
{
    const size_t budget = std::max(minBudget_, textSize);
    size_t held = 0;
    for (const Edit& e : edits_)
        held += e.outside.size();
    size_t drop = 0;
    while (edits_.size() - drop > 1 && (edits_.size() - drop > maxSteps_ || held > budget))
        held -= edits_[drop++].outside.size();
    if (drop == 0)
        return;
    edits_.erase(edits_.begin(), edits_.begin() + static_cast<std::ptrdiff_t>(drop));
    done_ -= drop;
}

void EditHistory::Swap(TextBuffer* text, Edit* e)
{
    std::string out = text->copy(e->pos, e->pos + e->inText);
    text->replace(e->pos, e->inText, e->outside);
    e->inText = e->outside.size();
    e->outside = std::move(out);
}

bool EditHistory::undo(TextBuffer* text, size_t* caret, size_t* anchor)
{
    if (done_ == 0)
        return false;
    lastStep_ = --done_;
    Edit& e = edits_[lastStep_];
    Swap(text, &e);
    *caret = e.caretBefore;
    *anchor = e.anchorBefore;
    sealed_ = true;
    return true;
}

bool EditHistory::redo(TextBuffer* text, size_t* caret, size_t* anchor)
{
    if (done_ >= edits_.size())
        return false;
    lastStep_ = done_++;
    Edit& e = edits_[lastStep_];
    Swap(text, &e);
    *caret = *anchor = e.pos + e.inText;
    sealed_ = true;
    return true;
}

} // namespace mt::platform
