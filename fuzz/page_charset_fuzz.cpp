// libFuzzer target: the charset reader of fetched pages must answer for any
// Content-Type value and any body (byte-order mark, <meta> in the first 1024
// bytes, the text check) without reading outside them, and its answers must
// hold together: a mark only with its own source and length, every name one
// that iconv opens, a cut never longer than the bytes.
//
// Input: the first byte is the header value's length (up to 255), then the
// header value, then the body.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iconv.h>

#include <cstring>
#include <set>
#include <string_view>

#include "net/page_charset.h"

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
    if (mt::CutCharacterLength(found.iconvName, text) > text.size() ||
        mt::CutCharacterLength("UTF-8", body) > 3 || mt::CutCharacterLength("UTF-16LE", body) > 3)
        std::abort();
    return 0;
}
