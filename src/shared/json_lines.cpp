#include "json_lines.h"

#include "cli_messages.h"

namespace app {
namespace {

void AppendHex4(std::string* out, unsigned value)
{
    static const char kHex[] = "0123456789abcdef";
    *out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        *out += kHex[(value >> shift) & 15];
}

// The bytes from the start of `s` that go into a JSON string as they are:
// printable ASCII but " and \, and whole UTF-8 characters but U+2028 and
// U+2029.
size_t PlainRun(std::string_view s)
{
    size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            if (b < 0x20 || b == '"' || b == '\\')
                break;
            ++i;
            continue;
        }
        // Most Chinese characters: a lead byte whose three-byte sequences
        // are all characters (not E0, ED, nor E2 with U+2028 and U+2029).
        if ((b == 0xE1 || (b >= 0xE3 && b <= 0xEC) || b == 0xEE || b == 0xEF) && i + 2 < s.size() &&
            (static_cast<unsigned char>(s[i + 1]) & 0xC0) == 0x80 && (static_cast<unsigned char>(s[i + 2]) & 0xC0) == 0x80) {
            i += 3;
            continue;
        }
        const size_t n = Utf8CharacterLength(s.substr(i));
        if (n == 0 || (n == 3 && b == 0xE2 && s[i + 1] == '\x80' && (s[i + 2] == '\xa8' || s[i + 2] == '\xa9')))
            break;
        i += n;
    }
    return i;
}

} // namespace

bool AppendJsonString(std::string* out, std::string_view s)
{
    bool lossy = false;
    *out += '"';
    for (size_t i = 0; i < s.size();) {
        const size_t plain = PlainRun(s.substr(i));
        out->append(s.substr(i, plain)); // most of a text goes in one piece
        i += plain;
        if (i >= s.size())
            break;
        const auto b = static_cast<unsigned char>(s[i]);
        if (b >= 0x80) {
            if (Utf8CharacterLength(s.substr(i)) == 3) { // U+2028 or U+2029
                AppendHex4(out, s[i + 2] == '\xa8' ? 0x2028 : 0x2029);
                i += 3;
            } else {
                *out += "\xef\xbf\xbd";
                lossy = true;
                ++i;
            }
            continue;
        }
        switch (b) {
        case '"': *out += "\\\""; break;
        case '\\': *out += "\\\\"; break;
        case '\n': *out += "\\n"; break;
        case '\r': *out += "\\r"; break;
        case '\t': *out += "\\t"; break;
        case '\b': *out += "\\b"; break;
        case '\f': *out += "\\f"; break;
        default: AppendHex4(out, b);
        }
        ++i;
    }
    *out += '"';
    return lossy;
}

void JsonObject::key(std::string_view name)
{
    body_ += body_.empty() ? "{\"" : ",\"";
    body_ += name; // our own names, which need no escape
    body_ += "\":";
}

JsonObject& JsonObject::escaped(std::string_view name, std::string_view quoted)
{
    key(name);
    body_ += quoted;
    return *this;
}

JsonObject& JsonObject::text(std::string_view name, std::string_view value)
{
    key(name);
    lossy_ = AppendJsonString(&body_, value) || lossy_;
    return *this;
}

JsonObject& JsonObject::number(std::string_view name, int64_t value)
{
    key(name);
    body_ += std::to_string(value);
    return *this;
}

std::string JsonObject::line()
{
    if (lossy_) {
        key("lossy");
        body_ += "true";
    }
    return (body_.empty() ? "{" : body_) + "}\n";
}

} // namespace app
