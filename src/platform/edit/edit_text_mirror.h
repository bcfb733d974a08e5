// The GB18030 bytes of an edit widget's text, kept in step with the widget's
// own change reports so that reading the whole text costs a copy, not a
// conversion.
//
// Positions on the widget side are UTF-16 units as Qt counts them. In a
// multi-line box Qt keeps a line break as one paragraph separator (U+2029);
// the mirror holds it as CR LF, as the runtime's texts do.
//
// The text is indexed by chunks of a few thousand units, each holding whole
// characters, that record their unit and byte counts; a position maps by
// walking the chunk table and then the characters of one chunk.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_codec.h"

namespace mt::platform {

// The bytes for these units: GB18030, with U+2029 and LF as CR LF when
// lineBreaksAsCrLf is set.
std::string MirrorBytes(std::u16string_view units, bool lineBreaksAsCrLf);

class EditTextMirror {
public:
    explicit EditTextMirror(bool lineBreaksAsCrLf);

    // Replaces everything.
    void reset(std::u16string_view units);
    // Replaces everything with bytes as given, for a widget holding their
    // decoding (an undecodable byte as one U+FFFD): they read back unchanged
    // until edited.
    void resetBytes(std::string_view gb);
    // Replaces units [pos, pos + removed) with `added`. Returns false and
    // changes nothing when the range does not lie inside the text at
    // character boundaries, or when `added` starts or ends with a surrogate
    // half that could pair with a neighbour; the caller then resets. A
    // removal can also join two lone halves into a pair: the caller widens
    // the range over such neighbours.
    bool replace(size_t pos, size_t removed, std::u16string_view added);

    const std::string& bytes() const { return bytes_; }
    size_t unitCount() const { return units_; }
    bool lineBreaksAsCrLf() const { return crlf_; }

    // The byte position of a unit position; a unit inside a surrogate pair
    // gives the pair's start, a unit beyond the end the byte count.
    size_t byteOfUnit(size_t unit) const;
    // The unit position of a byte position; a byte inside a character snaps
    // to the character's start or end, a byte beyond the end gives the count.
    size_t unitOfByte(size_t byte, Snap snap) const;

private:
    struct Chunk {
        size_t units;
        size_t bytes;
    };
    struct Place {
        size_t chunk;
        size_t unit; // the chunk's first unit
        size_t byte; // the chunk's first byte
    };
    Place chunkOfUnit(size_t unit) const;
    Place chunkOfByte(size_t byte) const;
    // Whole chunks for the bytes_[byte, byte + bytes) that hold `units` units.
    std::vector<Chunk> split(size_t byte, size_t bytes, size_t units) const;
    void mergeSmallAround(size_t first, size_t last);

    bool crlf_;
    std::string bytes_;
    size_t units_ = 0;
    std::vector<Chunk> chunks_;
};

} // namespace mt::platform
