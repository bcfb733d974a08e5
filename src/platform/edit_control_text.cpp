#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

#include "platform/edit_core.h"
#include "platform/text_codec.h"

namespace mt::platform {
namespace {

// Units [from, from + count) of a document, line breaks as U+2029.
QString DocumentText(QTextDocument* doc, size_t from, size_t count)
{
    QTextCursor c(doc);
    c.setPosition(static_cast<int>(from));
    c.setPosition(static_cast<int>(from + count), QTextCursor::KeepAnchor);
    return c.selectedText();
}

} // namespace

void EditCore::setText(std::string_view gb, bool notify)
{
    const QString text = ConvertCase(options_.caseConversion, FromGb(gb));
    settingText_ = true;
    if (line_) {
        line_->shaper()->suspended = true;
        line_->setText(text);
        line_->setCursorPosition(0);
        line_->shaper()->suspended = false;
        lineText_ = line_->text();
        mirror_.reset(Utf16View(lineText_));
    } else if (plain_) {
        plain_->setPlainText(text);
        mirror_.reset(Utf16View(plain_->document()->toRawText()));
    }
    settingText_ = false;
    pendingChange_ = false;
    if (notify)
        notifyTextChanged();
}

void EditCore::onLineTextChanged(const QString& text)
{
    if (settingText_)
        return;
    qsizetype at, removed, added;
    DiffRange(lineText_, text, &at, &removed, &added);
    const std::u16string_view units = Utf16View(text);
    if (!mirror_.replace(static_cast<size_t>(at), static_cast<size_t>(removed),
                        units.substr(static_cast<size_t>(at), static_cast<size_t>(added))))
        mirror_.reset(units);
    lineText_ = text;
    notifyTextChanged();
}

// The document reports each edit as (position, removed, added) in units;
// around a whole replacement the counts include the final paragraph
// separator, which the text does not, so they are checked against the
// lengths before and after and trimmed, and anything that does not add up
// makes the mirror read the whole text again.
void EditCore::onContentsChange(int position, int removed, int added)
{
    if (settingText_ || !plain_)
        return;
    QTextDocument* doc = plain_->document();
    const size_t newUnits = static_cast<size_t>(std::max(0, doc->characterCount() - 1));
    const size_t oldUnits = mirror_.unitCount();
    if (position < 0 || removed < 0 || added < 0 || static_cast<size_t>(position) > std::min(oldUnits, newUnits))
        return resyncPlain();
    size_t at = static_cast<size_t>(position);
    size_t out = std::min(static_cast<size_t>(removed), oldUnits - at);
    if (newUnits + out < oldUnits || newUnits + out - oldUnits > newUnits - at)
        return resyncPlain();
    size_t in = newUnits + out - oldUnits;
    // Never cut a surrogate pair, nor let two lone halves meet unseen.
    if (at > 0 && doc->characterAt(static_cast<int>(at - 1)).isHighSurrogate()) {
        --at;
        ++out;
        ++in;
    }
    if (at + in < newUnits && doc->characterAt(static_cast<int>(at + in)).isLowSurrogate()) {
        ++out;
        ++in;
    }
    const QString piece = DocumentText(doc, at, in);
    if (out == in) { // possibly a change of format only
        const size_t b0 = mirror_.byteOfUnit(at);
        const size_t b1 = mirror_.byteOfUnit(at + out);
        if (std::string_view(mirror_.bytes()).substr(b0, b1 - b0) == MirrorBytes(Utf16View(piece), true))
            return;
    }
    if (!mirror_.replace(at, out, Utf16View(piece)))
        return resyncPlain();
    pendingChange_ = true;
}

void EditCore::resyncPlain()
{
    mirror_.reset(Utf16View(plain_->document()->toRawText()));
    pendingChange_ = true;
}

// Reported once the document has finished the edit, so that a listener may
// change the text again.
void EditCore::onPlainTextChanged()
{
    if (settingText_ || !pendingChange_)
        return;
    pendingChange_ = false;
    notifyTextChanged();
}

// ---- selection --------------------------------------------------------------------

void EditCore::unitSelection(size_t* start, size_t* end) const
{
    *start = *end = 0;
    if (line_) {
        const int s = line_->hasSelectedText() ? line_->selectionStart() : line_->cursorPosition();
        *start = static_cast<size_t>(std::max(0, s));
        *end = *start + static_cast<size_t>(line_->hasSelectedText() ? line_->selectionLength() : 0);
    } else if (plain_) {
        const QTextCursor c = plain_->textCursor();
        *start = static_cast<size_t>(c.selectionStart());
        *end = static_cast<size_t>(c.selectionEnd());
    }
}

void EditCore::select(int64_t start, int64_t length)
{
    const auto size = static_cast<int64_t>(mirror_.bytes().size());
    const int64_t s = std::clamp<int64_t>(start, 0, size);
    const int64_t e = length <= 0 ? s : (length >= size - s ? size : s + length);
    const size_t us = mirror_.unitOfByte(static_cast<size_t>(s), Snap::kDown);
    const size_t ue = e == s ? us : mirror_.unitOfByte(static_cast<size_t>(e), Snap::kUp);
    if (line_) {
        if (ue > us)
            line_->setSelection(static_cast<int>(us), static_cast<int>(ue - us));
        else
            line_->setCursorPosition(static_cast<int>(us));
    } else if (plain_) {
        QTextCursor c = plain_->textCursor();
        c.setPosition(static_cast<int>(us));
        c.setPosition(static_cast<int>(ue), QTextCursor::KeepAnchor);
        plain_->setTextCursor(c);
        plain_->ensureCursorVisible();
    }
}

void EditCore::replaceSelection(std::string_view gb)
{
    const QString text = FromGb(gb);
    if (line_) {
        line_->insert(text);
        // Not undoable: setting the same text again clears the history and
        // reports nothing.
        const int cursor = line_->cursorPosition();
        line_->setText(line_->text());
        line_->setCursorPosition(cursor);
    } else if (plain_) {
        QTextCursor c = plain_->textCursor();
        c.insertText(plain_->shapeInsertion(text));
        plain_->setTextCursor(c);
        plain_->document()->clearUndoRedoStacks();
        plain_->ensureCursorVisible();
    }
}

int64_t EditCore::selectionStart() const
{
    size_t s, e;
    unitSelection(&s, &e);
    return static_cast<int64_t>(mirror_.byteOfUnit(s));
}

int64_t EditCore::selectionLength() const
{
    size_t s, e;
    unitSelection(&s, &e);
    return static_cast<int64_t>(mirror_.byteOfUnit(e) - mirror_.byteOfUnit(s));
}

std::string EditCore::selectedText() const
{
    size_t s, e;
    unitSelection(&s, &e);
    const size_t b0 = mirror_.byteOfUnit(s);
    return mirror_.bytes().substr(b0, mirror_.byteOfUnit(e) - b0);
}

size_t EditCore::editorInsertRoom() const
{
    if (options_.textLimit <= 0)
        return SIZE_MAX;
    size_t s, e;
    unitSelection(&s, &e);
    const size_t selected = mirror_.byteOfUnit(e) - mirror_.byteOfUnit(s);
    const size_t rest = mirror_.bytes().size() - selected;
    const auto limit = static_cast<size_t>(options_.textLimit);
    return rest < limit ? limit - rest : 0;
}

} // namespace mt::platform
