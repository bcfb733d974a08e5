// The line starts and checkpoints of a whole text at once, as TextBuffer
// keeps them (platform/text_view/text_buffer.h), for a text that arrives in one piece:
// a page read or a file dropped is hundreds of megabytes, and walking it as
// an edit does costs a second.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace mt::platform {

// Every line start after the first: after an LF, and after a CR that no LF
// follows.
void FindLineStarts(std::string_view text, std::vector<size_t>* starts);

// The character boundaries where each segment of at least `segmentBytes`
// ends: the first boundary at or beyond the previous one plus segmentBytes,
// short of the end.
void FindCheckpoints(std::string_view text, size_t segmentBytes, std::vector<size_t>* cps);

} // namespace mt::platform
