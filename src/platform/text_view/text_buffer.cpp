#include "platform/text_view/text_buffer.h"

#include <algorithm>
#include <cstring>

#include "platform/text_view/text_buffer_scan.h"

namespace mt::platform {
namespace {

// Free room kept beside a text of n bytes when its block grows: a
// sixteenth, at least a page and at most 8 MiB. Unused room costs address
// space only; the pages are touched when typing reaches them.
size_t RoomToKeep(size_t n) { return std::clamp<size_t>(n / 16, 4096, size_t(8) << 20); }

size_t ZerosIn(const char* p, size_t n) { return n == 0 ? 0 : static_cast<size_t>(std::count(p, p + n, '\0')); }

} // namespace

TextBuffer::TextBuffer() = default;

std::string TextBuffer::copy(size_t from, size_t to) const
{
    to = std::min(to, size());
    from = std::min(from, to);
    std::string out;
    out.reserve(to - from);
    if (from < gapStart_)
        out.append(data_, from, std::min(to, gapStart_) - from);
    if (to > gapStart_) {
        const size_t a = std::max(from, gapStart_);
        out.append(data_, a + gapLen_, to - a);
    }
    return out;
}

void TextBuffer::copyTo(char* out) const
{
    if (gapStart_ > 0)
        std::memcpy(out, data_.data(), gapStart_);
    const size_t tail = size() - gapStart_;
    if (tail > 0)
        std::memcpy(out + gapStart_, data_.data() + gapStart_ + gapLen_, tail);
}

const std::string& TextBuffer::contiguous() const
{
    joined_ = true;
    if (gapLen_ > 0) {
        const size_t n = size();
        std::memmove(data_.data() + gapStart_, data_.data() + gapStart_ + gapLen_, n - gapStart_);
        data_.resize(n); // keeps the capacity for the next gap
        gapStart_ = n;
        gapLen_ = 0;
    }
    return data_;
}

void TextBuffer::moveGap(size_t pos, size_t room)
{
    char* d = data_.data();
    if (pos < gapStart_)
        std::memmove(d + pos + gapLen_, d + pos, gapStart_ - pos);
    else if (pos > gapStart_)
        std::memmove(d + gapStart_, d + gapStart_ + gapLen_, pos - gapStart_);
    gapStart_ = pos;
    if (gapLen_ >= room)
        return;
    const size_t grow = room - gapLen_ + RoomToKeep(size() + room);
    const size_t oldSize = data_.size();
    if (oldSize + grow > data_.capacity())
        data_.reserve(oldSize + grow);
    data_.resize(oldSize + grow);
    d = data_.data();
    const size_t tail = oldSize - (gapStart_ + gapLen_);
    std::memmove(d + gapStart_ + gapLen_ + grow, d + gapStart_ + gapLen_, tail);
    gapLen_ += grow;
}

void TextBuffer::assign(std::string_view bytes)
{
    // Room for typing after the text: the first keystroke after a long text
    // arrives must not move it all to a larger block.
    std::string fresh;
    fresh.reserve(bytes.size() + RoomToKeep(bytes.size()));
    fresh.assign(bytes);
    data_ = std::move(fresh);
    zeros_ = ZerosIn(data_.data(), data_.size());
    gapStart_ = data_.size();
    gapLen_ = 0;
    joined_ = false;
    FindLineStarts(data_, &starts_);
    FindCheckpoints(data_, kSegmentBytes, &cps_);
}

std::string TextBuffer::take()
{
    contiguous();
    std::string out = std::move(data_);
    assign({});
    return out;
}

void TextBuffer::replace(size_t pos, size_t removed, std::string_view inserted)
{
    pos = std::min(pos, size());
    removed = std::min(removed, size() - pos);
    const size_t n = inserted.size();
    if (removed > 0) { // the removed bytes, on either side of the gap
        const size_t end = pos + removed;
        if (pos < gapStart_)
            zeros_ -= ZerosIn(data_.data() + pos, std::min(end, gapStart_) - pos);
        if (end > gapStart_) {
            const size_t a = std::max(pos, gapStart_);
            zeros_ -= ZerosIn(data_.data() + a + gapLen_, end - a);
        }
    }
    zeros_ += ZerosIn(inserted.data(), n);
    if (joined_ && gapStart_ == size()) {
        // The text is read in one piece after every edit (a listener counts
        // it): shifting the tail once beats moving the gap here and back.
        const size_t oldSize = size();
        const size_t newSize = oldSize - removed + n;
        if (newSize > data_.capacity())
            data_.reserve(newSize + RoomToKeep(newSize));
        if (newSize > data_.size())
            data_.resize(newSize);
        char* d = data_.data();
        std::memmove(d + pos + n, d + pos + removed, oldSize - pos - removed);
        if (n > 0) // an empty view may hold a null pointer
            std::memcpy(d + pos, inserted.data(), n);
        gapStart_ = newSize;
        gapLen_ = data_.size() - newSize;
    } else {
        moveGap(pos, n > removed ? n - removed : 0);
        // The removed bytes sit just after the gap: widen the gap over them.
        gapLen_ += removed;
        if (n > 0)
            std::memcpy(data_.data() + gapStart_, inserted.data(), n);
        gapStart_ += n;
        gapLen_ -= n;
    }
    joined_ = false;
    updateLines(pos, removed, inserted.size());
    updateCheckpoints(pos, removed, inserted.size());
}

// ---- characters ---------------------------------------------------------------

size_t TextBuffer::charLengthAt(size_t pos) const { return pos < size() ? charLenSlow(pos) : 0; }

size_t TextBuffer::charStart(size_t pos) const
{
    if (pos >= size())
        return size();
    auto it = std::upper_bound(cps_.begin(), cps_.end(), pos);
    size_t q = it == cps_.begin() ? 0 : *(it - 1);
    for (;;) {
        const size_t next = q + charLenSlow(q);
        if (next > pos)
            return q;
        q = next;
    }
}

size_t TextBuffer::nextStop(size_t pos) const
{
    if (pos >= size())
        return size();
    if (at(pos) == '\r' && pos + 1 < size() && at(pos + 1) == '\n')
        return pos + 2;
    return pos + charLenSlow(pos);
}

size_t TextBuffer::prevStop(size_t pos) const
{
    if (pos == 0)
        return 0;
    const size_t s = charStart(std::min(pos, size()) - 1);
    if (at(s) == '\n' && s > 0 && at(s - 1) == '\r')
        return s - 1;
    return s;
}

size_t TextBuffer::stopAtOrBefore(size_t pos) const
{
    const size_t s = charStart(pos);
    if (s < size() && s > 0 && at(s) == '\n' && at(s - 1) == '\r')
        return s - 1;
    return s;
}

size_t TextBuffer::stopAtOrAfter(size_t pos) const
{
    if (pos >= size())
        return size();
    const size_t s = charStart(pos);
    if (s != pos)
        return s + charLenSlow(s);
    if (s > 0 && at(s) == '\n' && at(s - 1) == '\r')
        return s + 1;
    return s;
}

// ---- lines ----------------------------------------------------------------------

bool TextBuffer::isLineStart(size_t pos) const
{
    if (pos == 0 || pos > size())
        return false;
    const unsigned char b = at(pos - 1);
    return b == '\n' || (b == '\r' && (pos == size() || at(pos) != '\n'));
}

size_t TextBuffer::lineOf(size_t pos) const
{
    return static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), pos) - starts_.begin());
}

size_t TextBuffer::lineContentEnd(size_t line) const
{
    size_t e = lineEnd(line);
    if (line + 1 >= lineCount())
        return e;
    if (at(e - 1) == '\n' && e - 1 > lineStart(line) && at(e - 2) == '\r')
        return e - 2;
    return e - 1;
}

// Line starts depend on the byte before them and the byte at them: those in
// [pos, pos + removed] are found again, the rest move with the text.
void TextBuffer::updateLines(size_t pos, size_t removed, size_t inserted)
{
    auto first = std::lower_bound(starts_.begin(), starts_.end(), pos);
    auto last = std::upper_bound(first, starts_.end(), pos + removed);
    const auto delta = static_cast<std::ptrdiff_t>(inserted) - static_cast<std::ptrdiff_t>(removed);
    for (auto it = last; it != starts_.end(); ++it)
        *it = static_cast<size_t>(static_cast<std::ptrdiff_t>(*it) + delta);
    std::vector<size_t> found;
    const size_t from = std::max<size_t>(pos, 1);
    const size_t to = pos + inserted;
    // The inserted bytes lie just before the gap, in one piece.
    const char* d = data_.data();
    for (size_t t = from; t <= to; ++t) {
        if (t >= 2 && t - 1 > pos && t < gapStart_) {
            const char b = d[t - 1];
            if (b != '\n' && b != '\r')
                continue;
        }
        if (isLineStart(t))
            found.push_back(t);
    }
    const auto at = first - starts_.begin();
    starts_.erase(first, last);
    starts_.insert(starts_.begin() + at, found.begin(), found.end());
}

// Boundaries up to pos stand. From the last checkpoint at or before pos the
// text is walked again until the walk lands on a checkpoint beyond the
// inserted bytes: from there on the old boundaries hold. Checkpoints the
// walk lands on stay (so segments keep their places while typing), ones it
// steps over go, and new ones keep the gaps below kSegmentBytes.
void TextBuffer::updateCheckpoints(size_t pos, size_t removed, size_t inserted)
{
    auto keepEnd = std::upper_bound(cps_.begin(), cps_.end(), pos);
    auto dropEnd = std::upper_bound(keepEnd, cps_.end(), pos + removed);
    const auto delta = static_cast<std::ptrdiff_t>(inserted) - static_cast<std::ptrdiff_t>(removed);
    for (auto it = dropEnd; it != cps_.end(); ++it)
        *it = static_cast<size_t>(static_cast<std::ptrdiff_t>(*it) + delta);
    const auto keepIndex = keepEnd - cps_.begin();
    cps_.erase(keepEnd, dropEnd);

    const size_t a = keepIndex == 0 ? 0 : cps_[static_cast<size_t>(keepIndex) - 1];
    const size_t n = size();
    const size_t settled = pos + inserted;
    size_t j = static_cast<size_t>(keepIndex); // the next old checkpoint
    std::vector<size_t> walked;
    size_t last = a;
    size_t q = a;
    while (q < n) {
        q += charLenSlow(q);
        while (j < cps_.size() && cps_[j] < q)
            ++j;
        const bool onOld = j < cps_.size() && cps_[j] == q;
        if (onOld && q >= settled)
            break;
        if (q >= n)
            break;
        if (onOld || q - last >= kSegmentBytes) {
            walked.push_back(q);
            last = q;
        }
    }
    // Old checkpoints in (a, q) go; the walked ones take their place.
    auto from = cps_.begin() + keepIndex;
    auto to = std::lower_bound(from, cps_.end(), q);
    const auto at = from - cps_.begin();
    cps_.erase(from, to);
    cps_.insert(cps_.begin() + at, walked.begin(), walked.end());
}

// ---- segments ---------------------------------------------------------------------

TextBuffer::Segment TextBuffer::segmentAt(size_t pos) const
{
    pos = std::min(pos, size());
    const size_t line = lineOf(pos);
    const size_t ls = lineStart(line);
    const size_t le = lineContentEnd(line);
    // A line short enough to lay out at once is one segment.
    if (le - ls <= kSegmentBytes)
        return {ls, le, line};
    size_t start = ls;
    {
        const size_t limit = std::min(pos, le - 1);
        auto it = std::upper_bound(cps_.begin(), cps_.end(), limit);
        if (it != cps_.begin() && *(it - 1) > ls)
            start = *(it - 1);
    }
    auto next = std::upper_bound(cps_.begin(), cps_.end(), start);
    const size_t end = next != cps_.end() && *next < le ? *next : le;
    return {start, end, line};
}

bool TextBuffer::prevSegment(const Segment& s, Segment* out) const
{
    if (s.start > lineStart(s.line)) {
        *out = segmentAt(s.start - 1);
        return true;
    }
    if (s.line == 0)
        return false;
    *out = segmentAt(lineContentEnd(s.line - 1));
    return true;
}

bool TextBuffer::nextSegment(const Segment& s, Segment* out) const
{
    if (s.end < lineContentEnd(s.line)) {
        *out = segmentAt(s.end);
        return true;
    }
    if (s.line + 1 >= lineCount())
        return false;
    *out = segmentAt(lineStart(s.line + 1));
    return true;
}

} // namespace mt::platform
