#include "net/page_decoding.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "abi/utf8.h"
#include "net/page_charset.h"
#include "platform/iconv_handle.h"

namespace mt {
namespace {

constexpr size_t kPiece = 64 << 10; // output handed on in pieces of this size

// How many input bytes one bad sequence at `at` takes: browsers' count for
// UTF-8, one code unit for UTF-16, else the byte itself.
size_t BadSequenceLength(std::string_view name, std::string_view at)
{
    if (name == "UTF-8")
        return BadUtf8Length(at);
    if (name == "UTF-16LE" || name == "UTF-16BE")
        return at.size() < 2 ? at.size() : 2;
    return 1;
}

} // namespace

int64_t MultiByteSequences(std::string_view bytes)
{
    int64_t count = 0;
    while (!bytes.empty()) {
        const size_t valid = ValidUtf8Prefix(bytes);
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        for (size_t i = 0; i < valid; i += Utf8SequenceLength(p + i))
            count += p[i] >= 0x80;
        bytes.remove_prefix(valid);
        if (!bytes.empty())
            bytes.remove_prefix(std::max<size_t>(1, BadUtf8Length(bytes)));
    }
    return count;
}

namespace {

// Past the bound a page is taken for another encoding than it declares:
// unless it declares UTF-8 and holds more valid multi-byte sequences than
// bad ones (a text in UTF-8 with a few bad bytes, however short; a GBK page
// declared UTF-8 has far more bad sequences than valid ones).
class Bound {
public:
    Bound(std::string_view bytes, std::string_view name)
        : bytes_(bytes),
          utf8_(name == "UTF-8"),
          mostBad_(MostBadSequences(static_cast<int64_t>(bytes.size()))),
          mostReplaced_(MostReplacedBytes(static_cast<int64_t>(bytes.size())))
    {
    }
    bool passed(const PageDecodeResult& r)
    {
        if (r.badSequences <= mostBad_ && r.replaced <= mostReplaced_)
            return false;
        if (!utf8_)
            return true;
        if (multiByte_ < 0)
            multiByte_ = MultiByteSequences(bytes_); // counted once, only for pages past the bound
        return r.badSequences >= multiByte_;
    }

private:
    std::string_view bytes_;
    bool utf8_;
    int64_t mostBad_, mostReplaced_;
    int64_t multiByte_ = -1;
};

} // namespace

int64_t MostBadSequences(int64_t size) { return 1 + size / 256; }

int64_t MostReplacedBytes(int64_t size) { return 4 + size / 100; }

PageDecodeResult DecodePageToGb18030(std::string_view bytes, const char* iconvName,
                                     const std::function<bool(std::string_view)>& write)
{
    PageDecodeResult result;
    const std::string_view name = iconvName ? iconvName : "";
    platform::IconvHandle converter("GB18030", name.data());
    if (!converter.valid())
        return result;
    Bound bound(bytes, name);
    char piece[kPiece];
    const char* in = bytes.data();
    size_t inLeft = bytes.size();
    for (;;) {
        char* out = piece;
        size_t outLeft = sizeof piece;
        const int error = converter.convert(&in, &inLeft, &out, &outLeft);
        const bool done = error == 0;
        if (out != piece && !write(std::string_view(piece, static_cast<size_t>(out - piece))))
            return result;
        if (done || (error == EINVAL && inLeft == 0))
            break;
        if (error == E2BIG)
            continue;
        if (error == EINVAL) {
            // An incomplete character at the end: left out. It counts as a
            // bad sequence (the caller has already taken off what an early
            // end cut), so that one GBK character in a short page declared
            // UTF-8 (a bad lead byte, then one that waits for more) is two.
            result.replaced += static_cast<int64_t>(inLeft);
            ++result.badSequences;
            if (bound.passed(result))
                return result;
            break;
        }
        if (error != EILSEQ)
            return result;
        const size_t bad = BadSequenceLength(name, std::string_view(in, inLeft));
        result.replaced += static_cast<int64_t>(bad);
        ++result.badSequences;
        if (bad == 0 || bound.passed(result))
            return result;
        if (!write(kGb18030Replacement))
            return result;
        in += bad;
        inLeft -= bad;
        converter.resetState(); // a shift state starts afresh
    }
    result.converted = true;
    return result;
}

} // namespace mt
