#include "platform/edit/edit_text_mirror.h"

#include <algorithm>

namespace mt::platform {
namespace {

// Chunks are cut to about kChunkUnits units when one grows beyond
// kMaxChunkUnits; neighbours that fit in kMergeUnits together join again.
constexpr size_t kChunkUnits = 4096;
constexpr size_t kMaxChunkUnits = 2 * kChunkUnits;
constexpr size_t kMergeUnits = 3 * kChunkUnits / 2;

constexpr char16_t kParagraphSeparator = 0x2029;

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

} // namespace

EditTextMirror::EditTextMirror(bool lineBreaksAsCrLf) : crlf_(lineBreaksAsCrLf) {}

std::string MirrorBytes(std::u16string_view units, bool lineBreaksAsCrLf)
{
    if (!lineBreaksAsCrLf)
        return Utf16ToGb(units);
    std::string plain;
    if (units.find(kParagraphSeparator) == std::u16string_view::npos) {
        plain = Utf16ToGb(units);
    } else {
        std::u16string copy(units);
        std::replace(copy.begin(), copy.end(), kParagraphSeparator, u'\n');
        plain = Utf16ToGb(copy);
    }
    if (plain.find('\n') == std::string::npos)
        return plain;
    // LF bytes occur in GB18030 only as line feeds: every trail byte is 0x30
    // or above.
    std::string out;
    out.reserve(plain.size() + static_cast<size_t>(std::count(plain.begin(), plain.end(), '\n')));
    for (char c : plain) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

// Converts chunk by chunk, so that the chunk table comes without decoding
// the bytes again.
void EditTextMirror::reset(std::u16string_view units)
{
    bytes_.clear();
    bytes_.reserve(units.size() * 2);
    chunks_.clear();
    units_ = units.size();
    for (size_t at = 0; at < units.size();) {
        size_t n = std::min(kChunkUnits, units.size() - at);
        if (at + n < units.size() && n > 1 && IsLowSurrogate(units[at + n]))
            --n; // keep a pair together
        const std::string piece = MirrorBytes(units.substr(at, n), crlf_);
        chunks_.push_back({n, piece.size()});
        bytes_ += piece;
        at += n;
    }
}

void EditTextMirror::resetBytes(std::string_view gb)
{
    bytes_.assign(gb);
    units_ = 0;
    for (size_t b = 0; b < bytes_.size();) {
        const GbChar c = GbCharAt(bytes_, b, crlf_);
        units_ += c.units;
        b += c.bytes;
    }
    chunks_ = split(0, bytes_.size(), units_);
}

EditTextMirror::Place EditTextMirror::chunkOfUnit(size_t unit) const
{
    Place p{0, 0, 0};
    for (; p.chunk + 1 < chunks_.size(); ++p.chunk) {
        if (unit < p.unit + chunks_[p.chunk].units)
            break;
        p.unit += chunks_[p.chunk].units;
        p.byte += chunks_[p.chunk].bytes;
    }
    return p;
}

EditTextMirror::Place EditTextMirror::chunkOfByte(size_t byte) const
{
    Place p{0, 0, 0};
    for (; p.chunk + 1 < chunks_.size(); ++p.chunk) {
        if (byte < p.byte + chunks_[p.chunk].bytes)
            break;
        p.unit += chunks_[p.chunk].units;
        p.byte += chunks_[p.chunk].bytes;
    }
    return p;
}

size_t EditTextMirror::byteOfUnit(size_t unit) const
{
    if (unit >= units_)
        return bytes_.size();
    const Place p = chunkOfUnit(unit);
    size_t u = p.unit;
    size_t b = p.byte;
    while (u < unit && b < bytes_.size()) {
        const GbChar c = GbCharAt(bytes_, b, crlf_);
        if (u + c.units > unit)
            break;
        u += c.units;
        b += c.bytes;
    }
    return b;
}

size_t EditTextMirror::unitOfByte(size_t byte, Snap snap) const
{
    if (byte >= bytes_.size())
        return units_;
    const Place p = chunkOfByte(byte);
    size_t u = p.unit;
    size_t b = p.byte;
    while (b < byte) {
        const GbChar c = GbCharAt(bytes_, b, crlf_);
        if (b + c.bytes > byte)
            return snap == Snap::kDown ? u : u + c.units;
        u += c.units;
        b += c.bytes;
    }
    return u;
}

std::vector<EditTextMirror::Chunk> EditTextMirror::split(size_t byte, size_t bytes, size_t units) const
{
    std::vector<Chunk> out;
    size_t doneUnits = 0;
    size_t doneBytes = 0;
    while (units - doneUnits > kMaxChunkUnits) {
        Chunk c{0, 0};
        while (c.units < kChunkUnits && doneBytes + c.bytes < bytes) {
            const GbChar g = GbCharAt(bytes_, byte + doneBytes + c.bytes, crlf_);
            c.units += g.units;
            c.bytes += g.bytes;
        }
        if (c.units == 0 || doneUnits + c.units > units)
            break; // the bytes do not decode to the units: keep the rest whole
        out.push_back(c);
        doneUnits += c.units;
        doneBytes += c.bytes;
    }
    if (units > doneUnits || bytes > doneBytes)
        out.push_back({units - doneUnits, bytes - doneBytes});
    return out;
}

void EditTextMirror::mergeSmallAround(size_t first, size_t last)
{
    size_t k = first > 0 ? first - 1 : 0;
    size_t end = std::min(last + 1, chunks_.size());
    while (k + 1 < end) {
        if (chunks_[k].units + chunks_[k + 1].units <= kMergeUnits) {
            chunks_[k].units += chunks_[k + 1].units;
            chunks_[k].bytes += chunks_[k + 1].bytes;
            chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(k) + 1);
            --end;
        } else {
            ++k;
        }
    }
}

bool EditTextMirror::replace(size_t pos, size_t removed, std::u16string_view added)
{
    if (pos > units_ || removed > units_ - pos)
        return false;
    const size_t b0 = byteOfUnit(pos);
    const size_t b1 = byteOfUnit(pos + removed);
    // Both ends must be character boundaries: the unit before each is no
    // high half of a pair whose low half follows.
    if (unitOfByte(b0, Snap::kDown) != pos || unitOfByte(b1, Snap::kDown) != pos + removed)
        return false;
    // A surrogate half at an end could pair with a neighbour the mirror
    // only knows as '?'.
    if (!added.empty() && ((IsLowSurrogate(added.front()) && pos > 0) ||
                           (IsHighSurrogate(added.back()) && pos + removed < units_)))
        return false;
    const std::string fresh = MirrorBytes(added, crlf_);
    if (chunks_.empty()) {
        bytes_ = fresh;
        units_ = added.size();
        chunks_ = split(0, bytes_.size(), units_);
        return true;
    }
    const Place first = chunkOfUnit(pos);
    const Place last = chunkOfUnit(pos + removed);
    const size_t regionUnits = last.unit + chunks_[last.chunk].units - first.unit;
    const size_t regionBytes = last.byte + chunks_[last.chunk].bytes - first.byte;
    bytes_.replace(b0, b1 - b0, fresh);
    units_ = units_ - removed + added.size();
    std::vector<Chunk> region = split(first.byte, regionBytes - (b1 - b0) + fresh.size(), regionUnits - removed + added.size());
    chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(first.chunk),
                  chunks_.begin() + static_cast<std::ptrdiff_t>(last.chunk) + 1);
    chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(first.chunk), region.begin(), region.end());
    mergeSmallAround(first.chunk, first.chunk + region.size());
    return true;
}

} // namespace mt::platform
