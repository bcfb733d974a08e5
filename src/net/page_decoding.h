// Turning a page's bytes into GB18030 text the way browsers do: every
// character that converts is kept, each bad sequence becomes U+FFFD, and an
// incomplete character at the end is left out. Only a few bad bytes are
// repaired so: a page with more is in another encoding than it claims (a
// GBK page that declares UTF-8, say), and converting it would only turn it
// into replacement characters; such a page fails, to be shown as received.
// A page that declares UTF-8 is judged by what it holds as well: one with
// fewer bad sequences than valid multi-byte ones is UTF-8 with some bad
// bytes, however short it is, and converts.
// Plain code without the runtime, shared by the internet library's decode
// command and the fuzz target.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace mt {

// U+FFFD in GB18030.
inline constexpr std::string_view kGb18030Replacement = "\x84\x31\xA4\x37";

// How many bad sequences and replaced bytes a page of `size` bytes may hold
// and still convert whatever else it holds: one bad sequence per 256 bytes
// and 1 % of its bytes, and at least one sequence of up to four bytes in
// any page. An incomplete character at the end counts as one bad sequence.
int64_t MostBadSequences(int64_t size);
int64_t MostReplacedBytes(int64_t size);

struct PageDecodeResult {
    bool converted = false; // false: beyond the bound, or an encoding iconv does not know
    int64_t replaced = 0;   // input bytes replaced by U+FFFD or left out at the end
    int64_t badSequences = 0;
};

// The valid multi-byte sequences of UTF-8 bytes (the bad ones skipped as
// browsers count them).
int64_t MultiByteSequences(std::string_view bytes);

// Converts `bytes` from `iconvName` into GB18030, handing the output to
// `write` piece by piece (false from it stops the conversion, which then
// fails). The bytes are all converted or none are: on failure the pieces
// already written are to be thrown away.
PageDecodeResult DecodePageToGb18030(std::string_view bytes, const char* iconvName,
                                     const std::function<bool(std::string_view)>& write);

} // namespace mt
