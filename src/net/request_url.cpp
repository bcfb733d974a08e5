#include "net/request_url.h"

#include <idn2.h>

#include <algorithm>
#include <cstdlib>

#include "abi/utf8.h"

namespace mt {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// A scheme: a letter, then letters, digits, '+', '-' and '.'.
bool IsScheme(std::string_view s)
{
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    return !s.empty() && letter(s.front()) && std::all_of(s.begin(), s.end(), [&letter](char c) {
        return letter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    });
}

bool IsAscii(std::string_view s)
{
    return std::none_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// The URL as typed without its outer blanks and the line break a pasted or
// listed line may end with.
std::string_view Trimmed(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

// Appends `part` with every non-ASCII byte and every space as %XX.
void AppendEncoded(std::string_view part, std::string* out)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : part) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 || b == ' ') {
            out->push_back('%');
            out->push_back(kHex[b >> 4]);
            out->push_back(kHex[b & 0xF]);
        } else {
            out->push_back(c);
        }
    }
}

// Whether a looked-up name holds only what a host name may: letters,
// digits, '-', '_' and '.'. Compatibility mapping can turn a typed sign
// into a delimiter (U+FE16 into '?', U+FF0F into '/'), which would move
// the host's end.
bool IsHostName(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
               c == '.';
    });
}

// The host's ASCII form: as given when it is ASCII, else the lookup form
// of the names in it (non-transitional first, as browsers do, then the
// transitional rules for names the first refuses). False when it has none,
// holds a space or maps to anything but a host name.
bool AsciiHost(std::string_view host, std::string* out)
{
    if (host.find(' ') != std::string_view::npos)
        return false; // no name holds one
    if (IsAscii(host)) {
        out->append(host);
        return true;
    }
    const std::string name(host);
    for (const int flags : {IDN2_NFC_INPUT | IDN2_NONTRANSITIONAL, IDN2_NFC_INPUT | IDN2_TRANSITIONAL}) {
        char* ascii = nullptr;
        if (idn2_lookup_u8(reinterpret_cast<const uint8_t*>(name.c_str()), reinterpret_cast<uint8_t**>(&ascii),
                           flags) == IDN2_OK &&
            ascii && IsHostName(ascii)) {
            out->append(ascii);
            idn2_free(ascii);
            return true;
        }
        idn2_free(ascii);
    }
    return false;
}

// The authority (user name, password, host, port) made ASCII; false when
// the host has no ASCII form.
bool AppendAuthority(std::string_view authority, std::string* out)
{
    const size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        AppendEncoded(authority.substr(0, at + 1), out);
        authority.remove_prefix(at + 1);
    }
    std::string_view host = authority, port;
    if (!host.empty() && host.front() == '[') {
        const size_t close = host.find(']');
        if (close != std::string_view::npos) {
            port = host.substr(close + 1);
            host = host.substr(0, close + 1);
        }
    } else if (const size_t colon = host.rfind(':'); colon != std::string_view::npos) {
        port = host.substr(colon);
        host = host.substr(0, colon);
    }
    if (!AsciiHost(host, out))
        return false;
    AppendEncoded(port, out);
    return true;
}

} // namespace

RequestUrl MakeRequestUrl(std::string_view typed)
{
    RequestUrl r;
    std::string_view url = Trimmed(typed);
    url = url.substr(0, url.find('#'));
    if (std::any_of(url.begin(), url.end(), [](char c) { return IsControl(static_cast<unsigned char>(c)); }))
        return r;
    if (ValidUtf8Prefix(url) != url.size())
        return r;
    const size_t colon = url.find(':');
    if (colon == std::string_view::npos || !IsScheme(url.substr(0, colon))) {
        AppendEncoded(url, &r.url); // no scheme: for the caller to refuse
        r.ok = true;
        return r;
    }
    r.url.reserve(url.size() + 16);
    r.url.append(url.substr(0, colon + 1)); // the scheme and its colon
    std::string_view rest = url.substr(colon + 1);
    const bool hierarchical = rest.substr(0, 2) == "//";
    if (hierarchical) {
        r.url.append("//");
        rest.remove_prefix(2);
        const size_t end = std::min(rest.find_first_of("/?"), rest.size());
        if (!AppendAuthority(rest.substr(0, end), &r.url))
            return RequestUrl{};
        rest.remove_prefix(end);
    }
    AppendEncoded(rest, &r.url);
    r.ok = true;
    return r;
}

} // namespace mt
