#include <algorithm>

#include "platform/edit/edit_core.h"
#include "platform/text_view/text_buffer.h"
#include "platform/text_codec.h"

namespace mt::platform {

void EditCore::setText(std::string_view gb, bool notify)
{
    settingText_ = true;
    if (line_) {
        const QString text = ConvertCase(options_.caseConversion, FromGb(gb));
        line_->shaper()->suspended = true;
        line_->setText(text);
        line_->setCursorPosition(0);
        line_->shaper()->suspended = false;
        lineText_ = line_->text();
        // The bytes themselves when the line edit holds just their decoding.
        if (lineText_ == text && options_.caseConversion == 0)
            mirror_.resetBytes(gb);
        if (lineText_ != text || options_.caseConversion != 0 || mirror_.unitCount() != static_cast<size_t>(lineText_.size()))
            mirror_.reset(Utf16View(lineText_));
    } else if (view_) {
        // The bytes as given; only a case conversion goes through Unicode.
        if (options_.caseConversion == 0)
            view_->setBytes(gb);
        else
            view_->setBytes(ToGb(ConvertCase(options_.caseConversion, FromGb(gb))));
    }
    settingText_ = false;
    if (notify)
        notifyTextChanged();
}

void EditCore::writeText(std::string_view gb, bool placeholder)
{
    if (!view_) {
        setText(gb, false);
        return;
    }
    settingText_ = true;
    if (options_.caseConversion == 0)
        view_->writeBytes(gb, placeholder);
    else
        view_->writeBytes(ToGb(ConvertCase(options_.caseConversion, FromGb(gb))), placeholder);
    settingText_ = false;
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

// ---- selection --------------------------------------------------------------------

// The line edit's selection in units.
void EditCore::unitSelection(size_t* start, size_t* end) const
{
    *start = *end = 0;
    if (line_) {
        const int s = line_->hasSelectedText() ? line_->selectionStart() : line_->cursorPosition();
        *start = static_cast<size_t>(std::max(0, s));
        *end = *start + static_cast<size_t>(line_->hasSelectedText() ? line_->selectionLength() : 0);
    }
}

void EditCore::byteSelection(size_t* start, size_t* end) const
{
    if (view_) {
        *start = view_->selectionStart();
        *end = view_->selectionEnd();
        return;
    }
    unitSelection(start, end);
    *start = mirror_.byteOfUnit(*start);
    *end = mirror_.byteOfUnit(*end);
}

void EditCore::select(int64_t start, int64_t length)
{
    const auto size = static_cast<int64_t>(textSize());
    const int64_t s = std::clamp<int64_t>(start, 0, size);
    const int64_t e = length <= 0 ? s : (length >= size - s ? size : s + length);
    if (view_) {
        view_->selectBytes(static_cast<size_t>(s), static_cast<size_t>(e));
        return;
    }
    const size_t us = mirror_.unitOfByte(static_cast<size_t>(s), Snap::kDown);
    const size_t ue = e == s ? us : mirror_.unitOfByte(static_cast<size_t>(e), Snap::kUp);
    if (ue > us)
        line_->setSelection(static_cast<int>(us), static_cast<int>(ue - us));
    else
        line_->setCursorPosition(static_cast<int>(us));
}

void EditCore::replaceSelection(std::string_view gb)
{
    if (line_ && options_.caseConversion == 0) {
        // The bytes as given go in beside the bytes kept, whole characters
        // up to the limit; the line edit then shows the new text's decoding.
        size_t s, e;
        byteSelection(&s, &e);
        const size_t room = editorInsertRoom();
        size_t n = 0;
        const auto* p = reinterpret_cast<const unsigned char*>(gb.data());
        while (n < gb.size() && n + GbCharLength(p + n, gb.size() - n) <= room)
            n += GbCharLength(p + n, gb.size() - n);
        const std::string& before = mirror_.bytes();
        const std::string text = before.substr(0, s).append(gb.substr(0, n)).append(before, e);
        if (text == before)
            return;
        setText(text, false); // not undoable: the history goes
        select(static_cast<int64_t>(s + n), 0);
        notifyTextChanged();
    } else if (line_) {
        line_->insert(FromGb(gb));
        // Not undoable: setting the same text again clears the history and
        // reports nothing.
        const int cursor = line_->cursorPosition();
        line_->setText(line_->text());
        line_->setCursorPosition(cursor);
    } else if (view_) {
        // The bytes as given (unless the case is converted), cut to the limit.
        view_->replaceSelectionBytes(view_->fitToRoom(
            options_.caseConversion == 0 ? std::string(gb) : ToGb(ConvertCase(options_.caseConversion, FromGb(gb)))));
    }
}

int64_t EditCore::selectionStart() const
{
    size_t s, e;
    byteSelection(&s, &e);
    return static_cast<int64_t>(s);
}

int64_t EditCore::selectionLength() const
{
    size_t s, e;
    byteSelection(&s, &e);
    return static_cast<int64_t>(e - s);
}

std::string EditCore::selectedText() const
{
    size_t s, e;
    byteSelection(&s, &e);
    return view_ ? view_->buffer().copy(s, e) : mirror_.bytes().substr(s, e - s);
}

size_t EditCore::editorInsertRoom() const
{
    if (options_.textLimit <= 0)
        return SIZE_MAX;
    size_t s, e;
    byteSelection(&s, &e);
    const size_t rest = textSize() - (e - s);
    const auto limit = static_cast<size_t>(options_.textLimit);
    return rest < limit ? limit - rest : 0;
}

} // namespace mt::platform
