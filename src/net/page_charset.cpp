#include "net/page_charset.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/iconv_handle.h"

namespace mt {
namespace {

constexpr size_t kMetaWindow = 1024; // browsers look for <meta> this far

// Browser encoding labels and the iconv names we convert them with.
struct Label {
    const char* label;
    const char* iconvName;
};

// The GB family needs no conversion: the runtime's texts are GB18030.
constexpr const char* kGbFamily = kPageIsGb18030;

constexpr Label kLabels[] = {
    {"unicode-1-1-utf-8", "UTF-8"},
    {"unicode11utf8", "UTF-8"},
    {"unicode20utf8", "UTF-8"},
    {"utf-8", "UTF-8"},
    {"utf8", "UTF-8"},
    {"x-unicode20utf8", "UTF-8"},
    {"utf-16", "UTF-16LE"},
    {"utf-16le", "UTF-16LE"},
    {"ucs-2", "UTF-16LE"},
    {"unicode", "UTF-16LE"},
    {"unicodefeff", "UTF-16LE"},
    {"csunicode", "UTF-16LE"},
    {"iso-10646-ucs-2", "UTF-16LE"},
    {"utf-16be", "UTF-16BE"},
    {"unicodefffe", "UTF-16BE"},
    {"chinese", kGbFamily},
    {"csgb2312", kGbFamily},
    {"csiso58gb231280", kGbFamily},
    {"gb2312", kGbFamily},
    {"gb_2312", kGbFamily},
    {"gb_2312-80", kGbFamily},
    {"gbk", kGbFamily},
    {"iso-ir-58", kGbFamily},
    {"x-gbk", kGbFamily},
    {"gb18030", kGbFamily},
    {"big5", "BIG5-HKSCS"},
    {"big5-hkscs", "BIG5-HKSCS"},
    {"cn-big5", "BIG5-HKSCS"},
    {"csbig5", "BIG5-HKSCS"},
    {"x-x-big5", "BIG5-HKSCS"},
    {"csshiftjis", "CP932"},
    {"ms932", "CP932"},
    {"ms_kanji", "CP932"},
    {"shift-jis", "CP932"},
    {"shift_jis", "CP932"},
    {"sjis", "CP932"},
    {"windows-31j", "CP932"},
    {"x-sjis", "CP932"},
    {"cseucpkdfmtjapanese", "EUC-JP"},
    {"euc-jp", "EUC-JP"},
    {"x-euc-jp", "EUC-JP"},
    {"cseuckr", "CP949"},
    {"csksc56011987", "CP949"},
    {"euc-kr", "CP949"},
    {"iso-ir-149", "CP949"},
    {"korean", "CP949"},
    {"ks_c_5601-1987", "CP949"},
    {"ks_c_5601-1989", "CP949"},
    {"ksc5601", "CP949"},
    {"ksc_5601", "CP949"},
    {"windows-949", "CP949"},
    {"cskoi8r", "KOI8-R"},
    {"koi", "KOI8-R"},
    {"koi8", "KOI8-R"},
    {"koi8-r", "KOI8-R"},
    {"koi8_r", "KOI8-R"},
    {"koi8-ru", "KOI8-U"},
    {"koi8-u", "KOI8-U"},
    {"866", "IBM866"},
    {"cp866", "IBM866"},
    {"csibm866", "IBM866"},
    {"ibm866", "IBM866"},
    {"csmacintosh", "MACINTOSH"},
    {"mac", "MACINTOSH"},
    {"macintosh", "MACINTOSH"},
    {"x-mac-roman", "MACINTOSH"},
    {"x-mac-cyrillic", "MAC-CYRILLIC"},
    {"x-mac-ukrainian", "MAC-CYRILLIC"},
    {"dos-874", "CP874"},
    {"iso-8859-11", "CP874"},
    {"iso8859-11", "CP874"},
    {"iso885911", "CP874"},
    {"tis-620", "CP874"},
    {"windows-874", "CP874"},
    // windows-1252 also stands for Latin-1 and ASCII, as in browsers.
    {"ansi_x3.4-1968", "CP1252"},
    {"ascii", "CP1252"},
    {"cp1252", "CP1252"},
    {"cp819", "CP1252"},
    {"csisolatin1", "CP1252"},
    {"ibm819", "CP1252"},
    {"iso-8859-1", "CP1252"},
    {"iso-ir-100", "CP1252"},
    {"iso8859-1", "CP1252"},
    {"iso88591", "CP1252"},
    {"iso_8859-1", "CP1252"},
    {"iso_8859-1:1987", "CP1252"},
    {"l1", "CP1252"},
    {"latin1", "CP1252"},
    {"us-ascii", "CP1252"},
    {"windows-1252", "CP1252"},
    {"x-cp1252", "CP1252"},
    {"cp1250", "CP1250"},
    {"windows-1250", "CP1250"},
    {"x-cp1250", "CP1250"},
    {"cp1251", "CP1251"},
    {"windows-1251", "CP1251"},
    {"x-cp1251", "CP1251"},
    {"cp1253", "CP1253"},
    {"windows-1253", "CP1253"},
    {"x-cp1253", "CP1253"},
    {"cp1254", "CP1254"},
    {"windows-1254", "CP1254"},
    {"x-cp1254", "CP1254"},
    {"csisolatin5", "CP1254"},
    {"iso-8859-9", "CP1254"},
    {"iso-ir-148", "CP1254"},
    {"iso8859-9", "CP1254"},
    {"iso88599", "CP1254"},
    {"iso_8859-9", "CP1254"},
    {"iso_8859-9:1989", "CP1254"},
    {"l5", "CP1254"},
    {"latin5", "CP1254"},
    {"cp1255", "CP1255"},
    {"windows-1255", "CP1255"},
    {"x-cp1255", "CP1255"},
    {"cp1256", "CP1256"},
    {"windows-1256", "CP1256"},
    {"x-cp1256", "CP1256"},
    {"cp1257", "CP1257"},
    {"windows-1257", "CP1257"},
    {"x-cp1257", "CP1257"},
    {"cp1258", "CP1258"},
    {"windows-1258", "CP1258"},
    {"x-cp1258", "CP1258"},
    {"csisolatin2", "ISO-8859-2"},
    {"iso-ir-101", "ISO-8859-2"},
    {"l2", "ISO-8859-2"},
    {"latin2", "ISO-8859-2"},
    {"csisolatin3", "ISO-8859-3"},
    {"iso-ir-109", "ISO-8859-3"},
    {"l3", "ISO-8859-3"},
    {"latin3", "ISO-8859-3"},
    {"csisolatin4", "ISO-8859-4"},
    {"iso-ir-110", "ISO-8859-4"},
    {"l4", "ISO-8859-4"},
    {"latin4", "ISO-8859-4"},
    {"csisolatincyrillic", "ISO-8859-5"},
    {"cyrillic", "ISO-8859-5"},
    {"iso-ir-144", "ISO-8859-5"},
    {"arabic", "ISO-8859-6"},
    {"asmo-708", "ISO-8859-6"},
    {"csiso88596e", "ISO-8859-6"},
    {"csiso88596i", "ISO-8859-6"},
    {"csisolatinarabic", "ISO-8859-6"},
    {"ecma-114", "ISO-8859-6"},
    {"iso-8859-6-e", "ISO-8859-6"},
    {"iso-8859-6-i", "ISO-8859-6"},
    {"iso-ir-127", "ISO-8859-6"},
    {"csisolatingreek", "ISO-8859-7"},
    {"ecma-118", "ISO-8859-7"},
    {"elot_928", "ISO-8859-7"},
    {"greek", "ISO-8859-7"},
    {"greek8", "ISO-8859-7"},
    {"iso-ir-126", "ISO-8859-7"},
    {"sun_eu_greek", "ISO-8859-7"},
    {"csiso88598e", "ISO-8859-8"},
    {"csisolatinhebrew", "ISO-8859-8"},
    {"hebrew", "ISO-8859-8"},
    {"iso-8859-8-e", "ISO-8859-8"},
    {"iso-ir-138", "ISO-8859-8"},
    {"visual", "ISO-8859-8"},
    {"csiso88598i", "ISO-8859-8"},
    {"iso-8859-8-i", "ISO-8859-8"},
    {"logical", "ISO-8859-8"},
    {"csisolatin6", "ISO-8859-10"},
    {"iso-ir-157", "ISO-8859-10"},
    {"l6", "ISO-8859-10"},
    {"latin6", "ISO-8859-10"},
    {"csisolatin9", "ISO-8859-15"},
    {"l9", "ISO-8859-15"},
};

// The ISO 8859 parts browsers know, each under four spellings
// ("iso-8859-2", "iso8859-2", "iso88592", "iso_8859-2"); 1, 9 and 11 are
// in the table above.
constexpr int kIsoParts[] = {2, 3, 4, 5, 6, 7, 8, 10, 13, 14, 15, 16};
constexpr const char* kIsoNames[] = {"ISO-8859-2", "ISO-8859-3", "ISO-8859-4", "ISO-8859-5", "ISO-8859-6",
                                     "ISO-8859-7", "ISO-8859-8", "ISO-8859-10", "ISO-8859-13", "ISO-8859-14",
                                     "ISO-8859-15", "ISO-8859-16"};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

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

const char* IsoPart(std::string_view label)
{
    for (std::string_view stem : {"iso-8859-", "iso8859-", "iso_8859-", "iso8859"}) {
        if (label.substr(0, stem.size()) != stem)
            continue;
        const std::string_view number = label.substr(stem.size());
        for (size_t i = 0; i < std::size(kIsoParts); ++i) {
            if (number == std::to_string(kIsoParts[i]))
                return kIsoNames[i];
        }
    }
    return nullptr;
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

const char* IconvNameForLabel(std::string_view label)
{
    while (!label.empty() && IsBlank(label.front()))
        label.remove_prefix(1);
    while (!label.empty() && IsBlank(label.back()))
        label.remove_suffix(1);
    if (label.empty() || label.size() > 32)
        return nullptr;
    std::string lower(label);
    for (char& c : lower)
        c = Lower(c);
    for (const Label& l : kLabels) {
        if (lower == l.label)
            return l.iconvName;
    }
    return IsoPart(lower);
}

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
