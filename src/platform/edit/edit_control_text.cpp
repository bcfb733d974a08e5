#include <algorithm>
#include <utility>

#include "platform/edit/edit_core.h"
#include "platform/text_codec.h"
#include "platform/text_view/text_buffer.h"

namespace mt::platform {

void LineEditCore::setText(std::string_view gb, bool notify)
{
    settingText_ = true;
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
    settingText_ = false;
    if (notify)
        notifyTextChanged();
}

void TextViewCore::setText(std::string_view gb, bool notify)
{
    settingText_ = true;
    // The bytes as given; only a case conversion goes through Unicode.
    if (options_.caseConversion == 0)
        view_->setBytes(gb);
    else
        view_->setBytes(ToGb(ConvertCase(options_.caseConversion, FromGb(gb))));
    settingText_ = false;
    if (notify)
        notifyTextChanged();
}

void TextViewCore::writeText(std::string_view gb, bool placeholder)
{
    settingText_ = true;
    if (options_.caseConversion == 0)
        view_->writeBytes(gb, placeholder);
    else
        view_->writeBytes(ToGb(ConvertCase(options_.caseConversion, FromGb(gb))), placeholder);
    settingText_ = false;
}

void LineEditCore::onLineTextChanged(const QString& text)
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
void LineEditCore::unitSelection(size_t* start, size_t* end) const
{
    const int s = line_->hasSelectedText() ? line_->selectionStart() : line_->cursorPosition();
    *start = static_cast<size_t>(std::max(0, s));
    *end = *start + static_cast<size_t>(line_->hasSelectedText() ? line_->selectionLength() : 0);
}

void TextViewCore::byteSelection(size_t* start, size_t* end) const
{
    *start = view_->selectionStart();
    *end = view_->selectionEnd();
}

void LineEditCore::byteSelection(size_t* start, size_t* end) const
{
    unitSelection(start, end);
    *start = mirror_.byteOfUnit(*start);
    *end = mirror_.byteOfUnit(*end);
}

namespace {

// [start, start + length) clamped to a text of `size` bytes.
std::pair<size_t, size_t> SelectionRange(int64_t start, int64_t length, size_t size)
{
    const auto n = static_cast<int64_t>(size);
    const int64_t s = std::clamp<int64_t>(start, 0, n);
    const int64_t e = length <= 0 ? s : (length >= n - s ? n : s + length);
    return {static_cast<size_t>(s), static_cast<size_t>(e)};
}

} // namespace

void TextViewCore::select(int64_t start, int64_t length)
{
    const auto [s, e] = SelectionRange(start, length, textSize());
    view_->selectBytes(s, e);
}

void LineEditCore::select(int64_t start, int64_t length)
{
    const auto [s, e] = SelectionRange(start, length, textSize());
    const size_t us = mirror_.unitOfByte(s, Snap::kDown);
    const size_t ue = e == s ? us : mirror_.unitOfByte(e, Snap::kUp);
    if (ue > us)
        line_->setSelection(static_cast<int>(us), static_cast<int>(ue - us));
    else
        line_->setCursorPosition(static_cast<int>(us));
}

void LineEditCore::replaceSelection(std::string_view gb)
{
    if (options_.caseConversion == 0) {
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
    } else {
        line_->insert(FromGb(gb));
        // Not undoable: setting the same text again clears the history and
        // reports nothing.
        const int cursor = line_->cursorPosition();
        line_->setText(line_->text());
        line_->setCursorPosition(cursor);
    }
}

void TextViewCore::replaceSelection(std::string_view gb)
{
    // The bytes as given (unless the case is converted), cut to the limit.
    view_->replaceSelectionBytes(view_->fitToRoom(
        options_.caseConversion == 0 ? std::string(gb) : ToGb(ConvertCase(options_.caseConversion, FromGb(gb)))));
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

std::string LineEditCore::selectedText() const
{
    size_t s, e;
    byteSelection(&s, &e);
    return mirror_.bytes().substr(s, e - s);
}

std::string TextViewCore::selectedText() const
{
    size_t s, e;
    byteSelection(&s, &e);
    return view_->buffer().copy(s, e);
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
