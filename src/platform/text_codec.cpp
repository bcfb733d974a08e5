#include "platform/text_codec.h"

#include <QString>

#include <iconv.h>

#include <cerrno>

namespace mt::platform {
namespace {

// Converts with iconv; invalid input stops the conversion when strict, else
// each undecodable byte becomes U+FFFD (or '?' towards GB18030).
bool Convert(const char* to, const char* from, std::string_view in, std::string* out, bool strict,
             std::string_view replacement)
{
    out->clear();
    if (in.empty())
        return true;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string buffer(in.size() * 4 + 16, '\0');
    char* ip = const_cast<char*>(in.data());
    size_t il = in.size();
    bool ok = true;
    while (il > 0) {
        char* op = buffer.data();
        size_t ol = buffer.size();
        size_t r = iconv(cd, &ip, &il, &op, &ol);
        out->append(buffer.data(), buffer.size() - ol);
        if (r != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        if (strict) {
            ok = false;
            break;
        }
        out->append(replacement);
        ++ip; // skip one undecodable byte
        --il;
    }
    iconv_close(cd);
    return ok;
}

} // namespace

QString FromGb(std::string_view gb)
{
    std::string utf16;
    Convert("UTF-16LE", "GB18030", gb, &utf16, false, std::string_view("\xfd\xff", 2));
    return QString(reinterpret_cast<const QChar*>(utf16.data()), static_cast<qsizetype>(utf16.size() / 2));
}

std::string ToGb(const QString& text)
{
    std::string gb;
    std::string_view utf16(reinterpret_cast<const char*>(text.utf16()), static_cast<size_t>(text.size()) * 2);
    Convert("GB18030", "UTF-16LE", utf16, &gb, false, "?");
    return gb;
}

std::string GbToUtf8(std::string_view gb)
{
    std::string utf8;
    Convert("UTF-8", "GB18030", gb, &utf8, false, "\xef\xbf\xbd");
    return utf8;
}

bool Utf8ToGb(std::string_view utf8, std::string* gb) { return Convert("GB18030", "UTF-8", utf8, gb, true, ""); }

} // namespace mt::platform
