#include "commands/rule_normalise.h"

#include <array>
#include <cstring>
#include <unordered_map>

#include "platform/text_codec.h"

namespace mt {
namespace {

using Byte = unsigned char;

inline Byte At(std::string_view t, size_t i) { return static_cast<Byte>(t[i]); }

// The end of the run of bytes below 0x80 from `i` on, eight at a time.
inline size_t AsciiRunEnd(std::string_view t, size_t i)
{
    const size_t n = t.size();
    while (i + 8 <= n) {
        uint64_t word;
        std::memcpy(&word, t.data() + i, 8);
        if (word & 0x8080808080808080ull)
            break;
        i += 8;
    }
    while (i < n && At(t, i) < 0x80)
        ++i;
    return i;
}

// The length of the character at a boundary, the common double-byte form
// (a lead and a byte of 0x40 or above) decided inline.
inline size_t CharAt(std::string_view t, size_t i)
{
    if (i + 1 < t.size() && At(t, i + 1) >= 0x40)
        return At(t, i) >= 0x80 ? 2 : 1;
    return SearchCharLength(t, i);
}

// Each walk hands the sink the text in order: stretches copied as they are
// (copy) and characters or runs that become other bytes (piece). A sink
// that answers false ends the walk.
template <class Sink>
void WalkLineBreaks(std::string_view t, Sink& sink)
{
    const size_t n = t.size();
    size_t at = 0;
    while (at < n) {
        const void* cr = std::memchr(t.data() + at, '\r', n - at);
        const size_t c = cr ? static_cast<size_t>(static_cast<const char*>(cr) - t.data()) : n;
        if (c > at && !sink.copy(at, c))
            return;
        if (c == n)
            return;
        const size_t e = c + 1 < n && t[c + 1] == '\n' ? c + 2 : c + 1;
        if (!sink.piece(c, e, "\n", 1))
            return;
        at = e;
    }
}

template <class Sink>
void WalkWidth(std::string_view t, Sink& sink)
{
    const size_t n = t.size();
    size_t run = 0, i = 0;
    while (i < n) {
        i = AsciiRunEnd(t, i);
        if (i >= n)
            break;
        const Byte b = At(t, i);
        if (i + 1 < n && ((b == 0xA3 && At(t, i + 1) >= 0xA1 && At(t, i + 1) <= 0xFE) ||
                          (b == 0xA1 && At(t, i + 1) == 0xA1))) {
            const char half = b == 0xA1 ? ' ' : static_cast<char>(At(t, i + 1) - 0x80);
            if ((i > run && !sink.copy(run, i)) || !sink.piece(i, i + 2, &half, 1))
                return;
            run = i += 2;
            continue;
        }
        i += CharAt(t, i);
    }
    if (n > run)
        sink.copy(run, n);
}

// 0: a byte of an ordinary character below 0x80; 1: whitespace; 2: 0x80 or above.
constexpr std::array<Byte, 256> kWhitespaceClass = [] {
    std::array<Byte, 256> c{};
    c[' '] = c['\t'] = c['\r'] = c['\n'] = 1;
    for (int b = 0x80; b < 256; ++b)
        c[b] = 2;
    return c;
}();

template <class Sink>
void WalkWhitespace(std::string_view t, Sink& sink)
{
    const size_t n = t.size();
    size_t run = 0, i = 0;
    while (i < n) {
        while (i < n && kWhitespaceClass[At(t, i)] == 0)
            ++i;
        if (i >= n)
            break;
        size_t w = WhitespaceLength(t, i);
        if (w == 0) {
            i += CharAt(t, i);
            continue;
        }
        size_t e = i;
        while (w != 0) {
            e += w;
            w = e < n ? WhitespaceLength(t, e) : 0;
        }
        if (e - i == 1 && t[i] == ' ') { // one space stays what it is
            i = e;
            continue;
        }
        if ((i > run && !sink.copy(run, i)) || !sink.piece(i, e, " ", 1))
            return;
        run = i = e;
    }
    if (n > run)
        sink.copy(run, n);
}

template <class Sink>
void WalkEntities(std::string_view t, Sink& sink)
{
    const size_t n = t.size();
    size_t run = 0, at = 0;
    std::string decoded;
    while (at < n) {
        const void* amp = std::memchr(t.data() + at, '&', n - at);
        if (!amp)
            break;
        // '&' never stands inside a character: it is below every trail byte.
        const size_t a = static_cast<size_t>(static_cast<const char*>(amp) - t.data());
        const size_t length = CharacterReference(t, a, &decoded);
        if (length == 0) {
            at = a + 1;
            continue;
        }
        if ((a > run && !sink.copy(run, a)) || !sink.piece(a, a + length, decoded.data(), decoded.size()))
            return;
        run = at = a + length;
    }
    if (n > run)
        sink.copy(run, n);
}

template <class Sink>
void Walk(Normalisation n, std::string_view t, Sink& sink)
{
    switch (n) {
    case Normalisation::kLineBreaks: return WalkLineBreaks(t, sink);
    case Normalisation::kWidth: return WalkWidth(t, sink);
    case Normalisation::kWhitespace: return WalkWhitespace(t, sink);
    case Normalisation::kEntities: return WalkEntities(t, sink);
    }
}

// Writes the normalised bytes; none of the walks makes a text longer.
struct WriteSink {
    std::string_view text;
    char* out;
    size_t size = 0;
    bool changed = false;
    bool copy(size_t at, size_t end)
    {
        std::memcpy(out + size, text.data() + at, end - at);
        size += end - at;
        return true;
    }
    bool piece(size_t, size_t, const char* bytes, size_t length)
    {
        std::memcpy(out + size, bytes, length);
        size += length;
        changed = true;
        return true;
    }
};

// Follows the normalised offsets back to the text's.
struct SpanSink {
    size_t from, last; // the first and the last normalised byte sought
    size_t produced = 0;
    bool haveStart = false;
    OriginalSpan span;
    bool take(size_t at, size_t end, size_t length, bool verbatim)
    {
        const size_t next = produced + length;
        if (!haveStart && from < next) {
            span.start = verbatim ? at + (from - produced) : at;
            haveStart = true;
        }
        if (haveStart && last < next) {
            span.end = verbatim ? at + (last - produced) + 1 : end;
            return false;
        }
        produced = next;
        return true;
    }
    bool copy(size_t at, size_t end) { return take(at, end, end - at, true); }
    bool piece(size_t at, size_t end, const char*, size_t length) { return take(at, end, length, false); }
};

// The GB18030 bytes of a code point, asked of the converter once each.
const std::string& CodePointBytes(uint32_t cp)
{
    static std::unordered_map<uint32_t, std::string> known;
    auto it = known.find(cp);
    if (it != known.end())
        return it->second;
    std::u16string units;
    if (cp >= 0x10000) {
        units += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
        units += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
        units += static_cast<char16_t>(cp);
    }
    return known.emplace(cp, platform::Utf16ToGb(units)).first->second;
}

bool HasPrefix(std::string_view t, size_t at, std::string_view p) { return t.substr(at, p.size()) == p; }

} // namespace

size_t WhitespaceLength(std::string_view t, size_t at)
{
    const Byte b = At(t, at);
    if (b == ' ' || b == '\t' || b == '\r' || b == '\n')
        return 1;
    // U+00A0, the no-break space: 81 30 84 36.
    return b == 0x81 && HasPrefix(t, at, "\x81\x30\x84\x36") ? 4 : 0;
}

size_t CharacterReference(std::string_view t, size_t at, std::string* decoded)
{
    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"&nbsp;", ' '},
        {"&amp;", '&'},
        {"&lt;", '<'},
        {"&gt;", '>'},
        {"&quot;", '"'},
        {"&AMP;", '&'},
        {"&LT;", '<'},
        {"&GT;", '>'},
        {"&QUOT;", '"'},
    };
    if (at + 1 >= t.size())
        return 0;
    if (t[at + 1] != '#') {
        for (const auto& [name, c] : kNamed)
            if (HasPrefix(t, at, name)) {
                decoded->assign(1, c);
                return name.size();
            }
        return 0;
    }
    size_t i = at + 2;
    const bool hex = i < t.size() && (t[i] == 'x' || t[i] == 'X');
    i += hex ? 1 : 0;
    const size_t digitsFrom = i;
    uint32_t cp = 0;
    for (; i < t.size() && i - digitsFrom < 8; ++i) {
        const char c = t[i];
        int d = -1;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        if (d < 0)
            break;
        cp = cp * (hex ? 16 : 10) + static_cast<uint32_t>(d);
    }
    if (i == digitsFrom || i >= t.size() || t[i] != ';')
        return 0;
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    if (cp < 0x80) {
        decoded->assign(1, static_cast<char>(cp));
    } else {
        const std::string& bytes = CodePointBytes(cp);
        if (bytes.empty() || bytes == "?")
            return 0;
        *decoded = bytes;
    }
    return i + 1 - at;
}

std::string_view NormalisedText::make(Normalisation n, std::string_view text, bool* changed)
{
    if (capacity_ < text.size() || !buffer_) {
        buffer_.reset(new char[text.size() + 1]);
        capacity_ = text.size();
    }
    WriteSink sink{text, buffer_.get()};
    Walk(n, text, sink);
    *changed = sink.changed;
    return {buffer_.get(), sink.size};
}

std::string Normalised(Normalisation n, std::string_view text)
{
    NormalisedText buffer;
    bool changed = false;
    return std::string(buffer.make(n, text, &changed));
}

bool MayChange(Normalisation n, std::string_view t)
{
    auto has = [&](char c) { return !t.empty() && std::memchr(t.data(), c, t.size()) != nullptr; };
    switch (n) {
    case Normalisation::kLineBreaks: return has('\r');
    case Normalisation::kWidth: return has('\xA3') || has('\xA1');
    case Normalisation::kWhitespace: return true;
    case Normalisation::kEntities: return has('&');
    }
    return true;
}

OriginalSpan SpanBefore(Normalisation n, std::string_view text, size_t from, size_t length)
{
    SpanSink sink{from, from + (length ? length : 1) - 1, 0, false, {}};
    Walk(n, text, sink);
    if (!sink.haveStart)
        return {text.size(), text.size()};
    if (sink.span.end < sink.span.start)
        sink.span.end = text.size();
    return sink.span;
}

} // namespace mt
