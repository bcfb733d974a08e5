// The text of a multi-line edit box as the bytes themselves: GB18030 as
// the runtime holds it, never converted, so that what is written reads back
// byte for byte.
//
// The bytes live in a gap buffer. Beside them the buffer keeps
// - the line starts: LF, CR and CR LF each end a line;
// - checkpoints: character boundaries a few KiB apart. GB18030 does not
//   find its own footing (a trail byte may look like a lead or like ASCII),
//   so a boundary is found by walking forward from the last checkpoint
//   before it, never from the start of a long line. The checkpoints also cut
//   long lines into the segments the view lays out one at a time.
// Both are brought up to date around each edit, at a cost in proportion to
// the edit and to the number of lines and checkpoints after it (a shift),
// never to the length of a line.
//
// A character is what the decoder reads (abi/gb18030.h); every other
// byte, undecodable ones included, is a character of one byte. CR LF is one
// caret stop.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "abi/gb18030.h"

namespace mt::platform {

// The length of the character at p, with `left` bytes available (left > 0).
inline size_t GbCharLength(const unsigned char* p, size_t left) { return gb18030::CharLength(p, left); }

class TextBuffer {
public:
    // Checkpoints are at most this many bytes apart (plus one character).
    static constexpr size_t kSegmentBytes = 2048;

    TextBuffer();

    size_t size() const { return data_.size() - gapLen_; }
    unsigned char at(size_t pos) const
    {
        return static_cast<unsigned char>(pos < gapStart_ ? data_[pos] : data_[pos + gapLen_]);
    }
    std::string copy(size_t from, size_t to) const;
    // All the bytes into out (room for size()), the gap left where it is.
    void copyTo(char* out) const;
    // How many of the bytes are zero (a text handed on ends at the first).
    size_t zeroBytes() const { return zeros_; }
    // The whole text in one piece; moves the gap out of the way.
    const std::string& contiguous() const;

    void assign(std::string_view bytes);
    // Hands the whole text out in one piece without copying it and leaves
    // the buffer empty.
    std::string take();
    void replace(size_t pos, size_t removed, std::string_view inserted);

    // ---- characters --------------------------------------------------------
    // The start of the character that pos falls in (pos itself on a
    // boundary); positions beyond the end give the size.
    size_t charStart(size_t pos) const;
    // The byte length of the character starting at the boundary pos.
    size_t charLengthAt(size_t pos) const;
    // Caret stops: the next and previous boundary, CR LF stepped over whole.
    size_t nextStop(size_t pos) const;
    size_t prevStop(size_t pos) const;
    // pos snapped back to a caret stop (never between CR and LF).
    size_t stopAtOrBefore(size_t pos) const;
    // pos snapped forward to a caret stop.
    size_t stopAtOrAfter(size_t pos) const;

    // ---- lines ---------------------------------------------------------------
    size_t lineCount() const { return starts_.size() + 1; }
    size_t lineOf(size_t pos) const;
    size_t lineStart(size_t line) const { return line == 0 ? 0 : starts_[line - 1]; }
    // Where the line's text ends, before its line break.
    size_t lineContentEnd(size_t line) const;
    // Where the next line starts, or the size for the last line.
    size_t lineEnd(size_t line) const { return line + 1 < lineCount() ? starts_[line] : size(); }

    // ---- segments -------------------------------------------------------------
    // The piece of a line laid out on its own: a line of up to
    // kSegmentBytes is one segment; a longer one is cut at its checkpoints.
    struct Segment {
        size_t start;
        size_t end;
        size_t line;
    };
    // The segment that holds pos; a position at a checkpoint starts the
    // segment there, one at a line's end ends the line's last segment.
    Segment segmentAt(size_t pos) const;
    // The segment before / after, across lines; false at either end.
    bool prevSegment(const Segment& s, Segment* out) const;
    bool nextSegment(const Segment& s, Segment* out) const;

    // For tests: the checkpoints.
    const std::vector<size_t>& checkpoints() const { return cps_; }

private:
    void moveGap(size_t pos, size_t room);
    size_t charLenSlow(size_t pos) const
    {
        const auto* d = reinterpret_cast<const unsigned char*>(data_.data());
        if (pos + 4 <= gapStart_)
            return GbCharLength(d + pos, 4);
        if (pos >= gapStart_)
            return GbCharLength(d + pos + gapLen_, size() - pos);
        unsigned char b[4];
        const size_t left = size() - pos < 4 ? size() - pos : 4;
        for (size_t i = 0; i < left; ++i)
            b[i] = at(pos + i);
        return GbCharLength(b, left);
    }
    void updateLines(size_t pos, size_t removed, size_t inserted);
    void updateCheckpoints(size_t pos, size_t removed, size_t inserted);
    bool isLineStart(size_t pos) const;

    mutable std::string data_;
    mutable size_t gapStart_ = 0;
    mutable size_t gapLen_ = 0;
    mutable bool joined_ = false; // read in one piece since the last edit
    std::vector<size_t> starts_;  // line starts after the first, ascending
    std::vector<size_t> cps_;     // character boundaries above 0, ascending
    size_t zeros_ = 0;
};

} // namespace mt::platform
