// libFuzzer target: a URL as typed, made ready for the request line. For
// any bytes the answer must hold together: a usable URL is ASCII with no
// space or control character, sending it again changes nothing, and the
// path and the query are what was typed but for %XX (only what cannot go
// raw is encoded). A URL with a control character
// inside, or bytes that are not UTF-8, is never usable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "abi/utf8.h"
#include "net/request_url.h"

namespace {

int Hex(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')
        return (c | 0x20) - 'a' + 10;
    return -1;
}

// Every %XX as its byte; anything else as it is.
std::string Unescaped(std::string_view s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && Hex(s[i + 1]) >= 0 && Hex(s[i + 2]) >= 0) {
            out.push_back(static_cast<char>(Hex(s[i + 1]) * 16 + Hex(s[i + 2])));
            i += 2;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

// Where the path (or the query) starts: behind the authority when there
// is one.
size_t PathStart(std::string_view url)
{
    const size_t authority = url.find("://");
    return url.find_first_of("/?", authority == std::string_view::npos ? 0 : authority + 3);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view typed(reinterpret_cast<const char*>(data), size);
    const mt::RequestUrl r = mt::MakeRequestUrl(typed);
    if (!r.ok)
        return 0;
    for (const char c : r.url) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b >= 0x7F)
            std::abort();
    }
    const mt::RequestUrl again = mt::MakeRequestUrl(r.url);
    if (!again.ok || again.url != r.url)
        std::abort();
    // Without outer blanks and the fragment, the typed text must be valid
    // UTF-8 without controls for the answer to be usable.
    std::string_view inner = typed;
    while (!inner.empty() && (inner.back() == ' ' || inner.back() == '\t' || inner.back() == '\r' || inner.back() == '\n'))
        inner.remove_suffix(1);
    while (!inner.empty() && (inner.front() == ' ' || inner.front() == '\t'))
        inner.remove_prefix(1);
    inner = inner.substr(0, inner.find('#'));
    if (mt::ValidUtf8Prefix(inner) != inner.size())
        std::abort();
    for (const char c : inner) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F)
            std::abort();
    }
    // Behind the host nothing but the encoding changed: unescaped, what
    // was typed and what is sent are the same bytes.
    const size_t typedPath = PathStart(inner), sentPath = PathStart(r.url);
    if ((typedPath == std::string_view::npos) != (sentPath == std::string::npos))
        std::abort();
    if (typedPath != std::string_view::npos && Unescaped(inner.substr(typedPath)) != Unescaped(r.url.substr(sentPath)))
        std::abort();
    return 0;
}
