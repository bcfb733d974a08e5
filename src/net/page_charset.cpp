#include "net/page_charset.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "net/charset_ascii.h"
#include "platform/iconv_handle.h"

namespace mt {
namespace {

using charset::IsBlank;
using charset::Lower;

constexpr size_t kMetaWindow = 1024; // browsers look for <meta> this far

bool StartsWithNoCase(std::string_view s, size_t at, std::string_view prefix)
{
    if (at > s.size() || s.size() - at < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (Lower(s[at + i]) != prefix[i])
            return false;
    }
    return true;
}

// The value of the first "charset" parameter in a Content-Type value or a
// meta element's content: quoted or up to a blank or ';'. Empty when none.
std::string_view CharsetParameter(std::string_view s)
{
    for (size_t at = 0; at + 7 <= s.size(); ++at) {
        if (!StartsWithNoCase(s, at, "charset"))
            continue;
        size_t p = at + 7;
        while (p < s.size() && IsBlank(s[p]))
            ++p;
        if (p >= s.size() || s[p] != '=')
            continue;
        ++p;
        while (p < s.size() && IsBlank(s[p]))
            ++p;
        if (p >= s.size())
            return {};
        if (s[p] == '"' || s[p] == '\'') {
            const size_t close = s.find(s[p], p + 1);
            return close == std::string_view::npos ? std::string_view() : s.substr(p + 1, close - p - 1);
        }
        size_t end = p;
        while (end < s.size() && !IsBlank(s[end]) && s[end] != ';')
            ++end;
        return s.substr(p, end - p);
    }
    return {};
}

// One attribute of a tag, read from *pos on: false at the tag's end ('>')
// or the window's. Names are lower case; values keep their bytes.
bool NextAttribute(std::string_view s, size_t* pos, std::string* name, std::string_view* value)
{
    size_t p = *pos;
    while (p < s.size() && (IsBlank(s[p]) || s[p] == '/'))
        ++p;
    if (p >= s.size() || s[p] == '>') {
        *pos = p;
        return false;
    }
    name->clear();
    *value = {};
    // The name runs to '=', a blank, '/' or '>'; a leading '=' belongs to it.
    do {
        name->push_back(Lower(s[p++]));
    } while (p < s.size() && s[p] != '=' && !IsBlank(s[p]) && s[p] != '/' && s[p] != '>');
    while (p < s.size() && IsBlank(s[p]))
        ++p;
    if (p >= s.size() || s[p] != '=') {
        *pos = p;
        return true;
    }
    ++p;
    while (p < s.size() && IsBlank(s[p]))
        ++p;
    if (p < s.size() && (s[p] == '"' || s[p] == '\'')) {
        const size_t close = s.find(s[p], p + 1);
        if (close == std::string_view::npos) {
            *pos = s.size(); // an unclosed quote runs past the window: no attribute
            return false;
        }
        *value = s.substr(p + 1, close - p - 1);
        *pos = close + 1;
        return true;
    }
    const size_t start = p;
    while (p < s.size() && !IsBlank(s[p]) && s[p] != '>')
        ++p;
    *value = s.substr(start, p - start);
    *pos = p;
    return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && StartsWithNoCase(a, 0, b); }

// The attributes of one <meta> from *pos (behind "<meta") to its '>': the
// iconv name of a usable declaration, or null.
const char* MetaDeclaration(std::string_view head, size_t* pos)
{
    bool gotPragma = false, needPragma = false;
    std::string_view charset;
    std::string name;
    std::string_view value;
    while (NextAttribute(head, pos, &name, &value)) {
        if (name == "http-equiv") {
            gotPragma = gotPragma || EqualsNoCase(value, "content-type");
        } else if (name == "content" && charset.empty()) {
            charset = CharsetParameter(value);
            needPragma = !charset.empty();
        } else if (name == "charset") {
            charset = value;
            needPragma = false;
        }
    }
    if (charset.empty() || (needPragma && !gotPragma))
        return nullptr;
    const char* iconvName = IconvNameForLabel(charset);
    // A page cannot declare itself UTF-16 from inside: its <meta> was read
    // as ASCII, so it is UTF-8 (browsers do the same).
    if (iconvName && std::strncmp(iconvName, "UTF-16", 6) == 0)
        return "UTF-8";
    return iconvName;
}

// The first usable <meta charset> or <meta http-equiv> among the first
// 1024 bytes, skipping comments and reading other tags' attributes past
// their quotes.
const char* MetaCharset(std::string_view body)
{
    const std::string_view head = body.substr(0, kMetaWindow);
    std::string name;
    std::string_view value;
    for (size_t p = 0; p < head.size();) {
        if (head.compare(p, 4, "<!--") == 0) {
            const size_t end = head.find("-->", p + 2);
            if (end == std::string_view::npos)
                return nullptr;
            p = end + 3;
        } else if (StartsWithNoCase(head, p, "<meta") && p + 5 < head.size() &&
                   (IsBlank(head[p + 5]) || head[p + 5] == '/')) {
            p += 5;
            if (const char* found = MetaDeclaration(head, &p))
                return found;
        } else if (head[p] == '<' && p + 1 < head.size() &&
                   ((Lower(head[p + 1]) >= 'a' && Lower(head[p + 1]) <= 'z') || head[p + 1] == '/')) {
            p += 2;
            while (p < head.size() && !IsBlank(head[p]) && head[p] != '>')
                ++p;
            while (NextAttribute(head, &p, &name, &value)) {
            }
        } else if (head[p] == '<' && p + 1 < head.size() && (head[p + 1] == '!' || head[p + 1] == '?')) {
            const size_t end = head.find('>', p + 2);
            if (end == std::string_view::npos)
                return nullptr;
            p = end + 1;
        } else {
            ++p;
        }
    }
    return nullptr;
}

// "charset=utf-8" or charset="utf-8", any letter case, in the page text
// (the bytes before the first zero byte).
bool TextDeclaresUtf8(std::string_view body)
{
    const void* zero = std::memchr(body.data(), 0, body.size());
    const std::string_view text =
        zero ? body.substr(0, static_cast<size_t>(static_cast<const char*>(zero) - body.data())) : body;
    for (size_t at = text.find('='); at != std::string_view::npos; at = text.find('=', at + 1)) {
        if (at < 7 || !StartsWithNoCase(text, at - 7, "charset"))
            continue;
        if (StartsWithNoCase(text, at + 1, "utf-8") || StartsWithNoCase(text, at + 1, "\"utf-8\""))
            return true;
    }
    return false;
}

// The double-byte encodings: a byte below 0x40 is never the second byte of a
// character in any of them, so a character starts right behind one. From
// the last such byte iconv converts the tail; an incomplete character at
// the end is what it leaves unconverted.
size_t CutByIconv(const char* iconvName, std::string_view bytes)
{
    constexpr size_t kTail = 64;
    size_t start = bytes.size();
    while (start > 0 && static_cast<unsigned char>(bytes[start - 1]) >= 0x40) {
        if (bytes.size() - start >= kTail)
            return 0; // no boundary known in the tail
        --start;
    }
    platform::IconvHandle cd("UTF-8", iconvName);
    if (!cd.valid())
        return 0;
    const char* in = bytes.data() + start;
    size_t inLeft = bytes.size() - start;
    char out[kTail * 4];
    char* to = out;
    size_t outLeft = sizeof out;
    const bool incomplete = cd.convert(&in, &inLeft, &to, &outLeft) == EINVAL;
    return incomplete ? inLeft : 0;
}

} // namespace

PageCharset DetectPageCharset(std::string_view contentType, std::string_view body)
{
    if (body.substr(0, 3) == "\xEF\xBB\xBF")
        return {CharsetSource::kBom, "UTF-8", 3};
    if (body.substr(0, 2) == "\xFF\xFE")
        return {CharsetSource::kBom, "UTF-16LE", 2};
    if (body.substr(0, 2) == "\xFE\xFF")
        return {CharsetSource::kBom, "UTF-16BE", 2};
    if (const char* fromHeader = IconvNameForLabel(CharsetParameter(contentType)))
        return {CharsetSource::kHeader, fromHeader, 0};
    if (const char* fromMeta = MetaCharset(body))
        return {CharsetSource::kMeta, fromMeta, 0};
    if (TextDeclaresUtf8(body))
        return {CharsetSource::kPageText, "UTF-8", 0};
    if (LooksLikeUtf8(body))
        return {CharsetSource::kSniffed, "UTF-8", 0};
    return {};
}

bool LooksLikeUtf8(std::string_view bytes)
{
    bool multiByte = false;
    const size_t valid = ValidUtf8Prefix(bytes, &multiByte);
    if (!multiByte)
        return false;
    // What follows the valid part may only be the start of one sequence.
    const std::string_view rest = bytes.substr(valid);
    return rest.empty() ||
           (BadUtf8Length(rest) == rest.size() &&
            rest.size() < Utf8SequenceLength(reinterpret_cast<const unsigned char*>(rest.data())));
}

size_t CutCharacterLength(const char* iconvName, std::string_view bytes)
{
    const std::string_view name = iconvName ? iconvName : "";
    if (name == "UTF-8") {
        // Back over continuation bytes to the last lead byte, at most three.
        for (size_t back = 1; back <= 4 && back <= bytes.size(); ++back) {
            const auto b = static_cast<unsigned char>(bytes[bytes.size() - back]);
            if ((b & 0xC0) == 0x80)
                continue;
            const size_t need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3
                                            : b >= 0xC0   ? 2
                                                          : 1;
            return need > back ? back : 0;
        }
        return 0;
    }
    if (name == "UTF-16LE" || name == "UTF-16BE") {
        size_t cut = bytes.size() % 2;
        const size_t whole = bytes.size() - cut;
        if (whole >= 2) {
            const auto high = static_cast<unsigned char>(bytes[whole - (name == "UTF-16LE" ? 1 : 2)]);
            if (high >= 0xD8 && high <= 0xDB)
                cut += 2; // a leading surrogate whose partner did not arrive
        }
        return cut;
    }
    return CutByIconv(iconvName, bytes);
}

} // namespace mt
