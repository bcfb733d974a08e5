// A text on the clipboard or in a drag: Unicode text for other programs, and
// beside it the exact GB18030 bytes under a type of our own, so that copying
// between our boxes and between two running copies loses no byte.
#pragma once

#include <string>
#include <string_view>

class QMimeData;

namespace mt::platform {

inline constexpr char kGbMimeType[] = "application/x-middletext-gb18030";

// A new mime object holding both forms of the text.
QMimeData* NewTextMime(std::string_view gb);
// Adds both forms of the text to `data`.
void FillTextMime(QMimeData* data, std::string_view gb);
// Whether `data` holds a text in either form.
bool MimeHasText(const QMimeData* data);
// The text `data` holds, as GB18030: the exact bytes when they are there,
// else the Unicode text converted. False when it holds neither.
bool TextFromMime(const QMimeData* data, std::string* gb);

} // namespace mt::platform
