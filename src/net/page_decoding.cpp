#include "net/page_decoding.h"

#include <cerrno>
#include <cstring>

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
    const auto size = static_cast<int64_t>(bytes.size());
    const int64_t mostBad = MostBadSequences(size);
    const int64_t mostReplaced = MostReplacedBytes(size);
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
            if (++result.badSequences > mostBad || result.replaced > mostReplaced)
                return result;
            break;
        }
        if (error != EILSEQ)
            return result;
        const size_t bad = BadSequenceLength(name, std::string_view(in, inLeft));
        result.replaced += static_cast<int64_t>(bad);
        if (++result.badSequences > mostBad || result.replaced > mostReplaced || bad == 0)
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
