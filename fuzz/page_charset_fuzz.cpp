// libFuzzer target: the charset reader of fetched pages must answer for any
// Content-Type value and any body (byte-order mark, <meta> in the first 1024
// bytes, the text check, the UTF-8 test of undeclared pages) without reading
// outside them, and its answers must hold together: a mark only with its own
// source and length, every name one that iconv opens, a cut never longer
// than the bytes, UTF-8 found only in bytes that are UTF-8. The page
// decoding behind it (U+FFFD for a few bad bytes) must keep its bound (or,
// for UTF-8, hold fewer bad sequences than valid multi-byte ones) and
// give GB18030 that converts back, and valid UTF-8 must decode untouched.
//
// Input: the first byte is the header value's length (up to 255), then the
// header value, then the body.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iconv.h>

#include <cstring>
#include <set>
#include <string>
#include <string_view>

#include "net/page_charset.h"
#include "net/page_decoding.h"

namespace {

// Decodes `bytes` from `encoding` and checks the answer against the bound;
// the output must be GB18030 that iconv reads back without a fault.
void CheckDecoding(std::string_view bytes, const char* encoding, bool mustConvertUntouched)
{
    std::string out;
    const mt::PageDecodeResult r = mt::DecodePageToGb18030(bytes, encoding, [&out](std::string_view piece) {
        out.append(piece);
        return true;
    });
    const auto size = static_cast<int64_t>(bytes.size());
    if (r.replaced < 0 || r.replaced > size || (mustConvertUntouched && (!r.converted || r.replaced != 0)))
        std::abort();
    if (!r.converted)
        return;
    // Past the bound only UTF-8 with fewer bad sequences than valid
    // multi-byte ones converts.
    if ((r.badSequences > mt::MostBadSequences(size) || r.replaced > mt::MostReplacedBytes(size)) &&
        (std::strcmp(encoding, "UTF-8") != 0 || r.badSequences >= mt::MultiByteSequences(bytes)))
        std::abort();
    const iconv_t back = iconv_open("UTF-8", "GB18030");
    char* in = out.data();
    size_t inLeft = out.size();
    std::string utf8(out.size() * 2 + 4, '\0');
    char* to = utf8.data();
    size_t toLeft = utf8.size();
    const bool ok = iconv(back, &in, &inLeft, &to, &toLeft) != static_cast<size_t>(-1);
    iconv_close(back);
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t headerLength = data[0] < size - 1 ? data[0] : size - 1;
    const std::string_view header(reinterpret_cast<const char*>(data + 1), headerLength);
    const std::string_view body(reinterpret_cast<const char*>(data + 1 + headerLength), size - 1 - headerLength);
    const mt::PageCharset found = mt::DetectPageCharset(header, body);
    if ((found.source == mt::CharsetSource::kNone) != (*found.iconvName == 0))
        std::abort();
    if ((found.source == mt::CharsetSource::kBom) != (found.bomLength != 0) || found.bomLength > body.size())
        std::abort();
    static std::set<std::string_view> opened;
    if (*found.iconvName && opened.insert(found.iconvName).second) {
        const iconv_t cd = iconv_open("GB18030", found.iconvName);
        if (cd == reinterpret_cast<iconv_t>(-1))
            std::abort();
        iconv_close(cd);
    }
    const std::string_view text = body.substr(found.bomLength);
    bool multiByte = false;
    const size_t valid = mt::ValidUtf8Prefix(body, &multiByte);
    // UTF-8 is found in valid UTF-8 with a multi-byte sequence, followed at
    // most by the start of one more sequence.
    const bool looks = mt::LooksLikeUtf8(body);
    if (valid > body.size() || (looks && (!multiByte || body.size() - valid > 3)) ||
        (valid == body.size() && looks != multiByte))
        std::abort();
    if (found.source == mt::CharsetSource::kSniffed && (!mt::LooksLikeUtf8(body) || std::strcmp(found.iconvName, "UTF-8")))
        std::abort();
    if (*found.iconvName && std::strcmp(found.iconvName, mt::kPageIsGb18030) != 0)
        CheckDecoding(text, found.iconvName, false);
    // Valid UTF-8 converts untouched, except for a few private-use code
    // points (U+E000 to U+F8FF, led by EE or EF) the linked iconv's GB18030
    // has no code for.
    const std::string_view validPart = body.substr(0, valid);
    CheckDecoding(validPart, "UTF-8", validPart.find_first_of("\xEE\xEF") == std::string_view::npos);
    CheckDecoding(body, "UTF-8", false);
    if (mt::CutCharacterLength(found.iconvName, text) > text.size() ||
        mt::CutCharacterLength("UTF-8", body) > 3 || mt::CutCharacterLength("UTF-16LE", body) > 3)
        std::abort();
    return 0;
}
