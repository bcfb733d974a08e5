#include "components/dropped_page.h"

#include <algorithm>
#include <string_view>

#include "net/page_charset.h"
#include "net/page_decoding.h"

namespace mt {

std::string DecodeDroppedPage(std::string bytes)
{
    // No Content-Type: the file says what it is in by itself.
    const PageCharset charset = DetectPageCharset({}, bytes);
    if (charset.source == CharsetSource::kNone || std::string_view(charset.iconvName) == kPageIsGb18030)
        return bytes;
    const std::string_view body = std::string_view(bytes).substr(std::min(charset.bomLength, bytes.size()));
    std::string out;
    const PageDecodeResult r = DecodePageToGb18030(body, charset.iconvName, [&out](std::string_view piece) {
        out.append(piece);
        return true;
    });
    return r.converted ? out : bytes;
}

} // namespace mt
