#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

#include "platform/edit_control_impl.h"
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

void EditControl::Impl::setText(std::string_view gb, bool notify)
{
    const QString text = ConvertCase(options.caseConversion, FromGb(gb));
    settingText = true;
    if (line) {
        line->shaper()->suspended = true;
        line->setText(text);
        line->setCursorPosition(0);
        line->shaper()->suspended = false;
        lineText = line->text();
        mirror.reset(Utf16View(lineText));
    } else if (plain) {
        plain->setPlainText(text);
        mirror.reset(Utf16View(plain->document()->toRawText()));
    }
    settingText = false;
    pendingChange = false;
    if (notify)
        fire(listener.textChanged);
}

void EditControl::Impl::onLineTextChanged(const QString& text)
{
    if (settingText)
        return;
    qsizetype at, removed, added;
    DiffRange(lineText, text, &at, &removed, &added);
    const std::u16string_view units = Utf16View(text);
    if (!mirror.replace(static_cast<size_t>(at), static_cast<size_t>(removed),
                        units.substr(static_cast<size_t>(at), static_cast<size_t>(added))))
        mirror.reset(units);
    lineText = text;
    fire(listener.textChanged);
}

// The document reports each edit as (position, removed, added) in units;
// around a whole replacement the counts include the final paragraph
// separator, which the text does not, so they are checked against the
// lengths before and after and trimmed, and anything that does not add up
// makes the mirror read the whole text again.
void EditControl::Impl::onContentsChange(int position, int removed, int added)
{
    if (settingText || !plain)
        return;
    QTextDocument* doc = plain->document();
    const size_t newUnits = static_cast<size_t>(std::max(0, doc->characterCount() - 1));
    const size_t oldUnits = mirror.unitCount();
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
        const size_t b0 = mirror.byteOfUnit(at);
        const size_t b1 = mirror.byteOfUnit(at + out);
        if (std::string_view(mirror.bytes()).substr(b0, b1 - b0) == MirrorBytes(Utf16View(piece), true))
            return;
    }
    if (!mirror.replace(at, out, Utf16View(piece)))
        return resyncPlain();
    pendingChange = true;
}

void EditControl::Impl::resyncPlain()
{
    mirror.reset(Utf16View(plain->document()->toRawText()));
    pendingChange = true;
}

// Reported once the document has finished the edit, so that a listener may
// change the text again.
void EditControl::Impl::onPlainTextChanged()
{
    if (settingText || !pendingChange)
        return;
    pendingChange = false;
    fire(listener.textChanged);
}

// ---- selection --------------------------------------------------------------------

void EditControl::Impl::unitSelection(size_t* start, size_t* end) const
{
    *start = *end = 0;
    if (line) {
        const int s = line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
        *start = static_cast<size_t>(std::max(0, s));
        *end = *start + static_cast<size_t>(line->hasSelectedText() ? line->selectionLength() : 0);
    } else if (plain) {
        const QTextCursor c = plain->textCursor();
        *start = static_cast<size_t>(c.selectionStart());
        *end = static_cast<size_t>(c.selectionEnd());
    }
}

void EditControl::Impl::select(int64_t start, int64_t length)
{
    const auto size = static_cast<int64_t>(mirror.bytes().size());
    const int64_t s = std::clamp<int64_t>(start, 0, size);
    const int64_t e = length <= 0 ? s : (length >= size - s ? size : s + length);
    const size_t us = mirror.unitOfByte(static_cast<size_t>(s), Snap::kDown);
    const size_t ue = e == s ? us : mirror.unitOfByte(static_cast<size_t>(e), Snap::kUp);
    if (line) {
        if (ue > us)
            line->setSelection(static_cast<int>(us), static_cast<int>(ue - us));
        else
            line->setCursorPosition(static_cast<int>(us));
    } else if (plain) {
        QTextCursor c = plain->textCursor();
        c.setPosition(static_cast<int>(us));
        c.setPosition(static_cast<int>(ue), QTextCursor::KeepAnchor);
        plain->setTextCursor(c);
        plain->ensureCursorVisible();
    }
}

void EditControl::Impl::replaceSelection(const QString& text)
{
    if (line) {
        line->insert(text);
        // Not undoable: setting the same text again clears the history and
        // reports nothing.
        const int cursor = line->cursorPosition();
        line->setText(line->text());
        line->setCursorPosition(cursor);
    } else if (plain) {
        QTextCursor c = plain->textCursor();
        c.insertText(plain->shapeInsertion(text));
        plain->setTextCursor(c);
        plain->document()->clearUndoRedoStacks();
        plain->ensureCursorVisible();
    }
}

size_t EditControl::Impl::editorInsertRoom() const
{
    if (options.textLimit <= 0)
        return SIZE_MAX;
    size_t s, e;
    unitSelection(&s, &e);
    const size_t selected = mirror.byteOfUnit(e) - mirror.byteOfUnit(s);
    const size_t rest = mirror.bytes().size() - selected;
    const auto limit = static_cast<size_t>(options.textLimit);
    return rest < limit ? limit - rest : 0;
}

} // namespace mt::platform
