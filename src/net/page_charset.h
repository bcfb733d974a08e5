// Which character encoding a fetched page is in, as browsers tell it: a
// byte-order mark, the charset of the Content-Type header, a <meta> in the
// first 1024 bytes, and at last the plain text "charset=utf-8" anywhere in
// the page. A page that declares none of these is UTF-8 when its bytes are
// (see LooksLikeUtf8). Labels are the browsers' encoding labels; the answer
// is a name iconv knows. Plain code without the runtime, so that the window, the
// command line and the fuzz target share it.
#pragma once

#include <cstddef>
#include <string_view>

#include "abi/utf8.h"

namespace mt {

enum class CharsetSource {
    kNone, // nothing we convert from: shown as received
    kBom,
    kHeader,
    kMeta,
    kPageText, // "charset=utf-8" or charset="utf-8" somewhere in the page text
    kSniffed,  // declares nothing, and its bytes are UTF-8 (LooksLikeUtf8)
};

// The name given for pages in the GB family: they are shown as received.
inline constexpr const char kPageIsGb18030[] = "GB18030";

struct PageCharset {
    CharsetSource source = CharsetSource::kNone;
    const char* iconvName = ""; // empty with kNone
    size_t bomLength = 0;       // bytes of the byte-order mark, not to be converted
};

// The encoding of a page whose body is `body`, served with the Content-Type
// header value `contentType` (empty when there was none). The first step
// that names a label we know decides; the GB family (gb2312, gbk, gb18030,
// …) gives kPageIsGb18030. A label we do not convert from (UTF-7, the
// ISO-2022 family, x-user-defined, unknown names) counts as no declaration
// at that step, and the later steps are asked. When no step decides, a body
// that LooksLikeUtf8 is UTF-8 (kSniffed); anything else is kNone.
PageCharset DetectPageCharset(std::string_view contentType, std::string_view body);

// True when `bytes` is valid UTF-8 (no overlong forms, no surrogates,
// nothing beyond U+10FFFF) holding at least one multi-byte sequence. A
// sequence cut short at the very end (a transfer that ended early, or the
// size cap) is left out of the test; plain ASCII is not UTF-8 here, since it
// reads the same in every encoding we convert from.
bool LooksLikeUtf8(std::string_view bytes);

// The iconv name for a browser encoding label (surrounding blanks and letter
// case ignored); null for labels we do not convert from.
const char* IconvNameForLabel(std::string_view label);

// How many bytes at the end of `bytes` form a character the transfer cut
// short, in the encoding `iconvName`: a UTF-8 sequence missing its last
// bytes, the odd byte or a lone leading surrogate of UTF-16, the first byte
// of a double-byte character (found with iconv from the last byte below
// 0x40 in the final 64). 0 for complete text.
size_t CutCharacterLength(const char* iconvName, std::string_view bytes);

} // namespace mt
