#include "console_text.h"

#include <langinfo.h>

#include <clocale>
#include <cstdio>
#include <cstring>

namespace app {
namespace {

// The locale's encoding; the plain C locale counts as UTF-8.
std::string LocaleEncoding()
{
    std::setlocale(LC_CTYPE, "");
    const char* codeset = nl_langinfo(CODESET);
    if (!codeset || !*codeset || std::strcmp(codeset, "ANSI_X3.4-1968") == 0)
        return "UTF-8";
    return codeset;
}

// Bytes of one GB18030 character starting at p (1, 2 or 4).
size_t CharacterLength(std::string_view s, size_t p)
{
    const auto c = static_cast<unsigned char>(s[p]);
    if (c < 0x81 || p + 1 >= s.size())
        return 1;
    const auto d = static_cast<unsigned char>(s[p + 1]);
    if (d >= 0x30 && d <= 0x39 && p + 3 < s.size())
        return 4;
    return 2;
}

std::string Converted(std::string_view bytes, const char* from, const char* to, bool* ok)
{
    Owned in = NewBytes(bytes);
    Owned out = ConvertBytes(in.bytes(), from, to, ok);
    if (out.empty())
        return {};
    int32_t n;
    std::memcpy(&n, out.bytes() + 4, 4);
    return std::string(reinterpret_cast<const char*>(out.bytes() + 8), static_cast<size_t>(n));
}

} // namespace


ConsoleText::ConsoleText(bool raw) : raw_(raw), encoding_(raw ? "GB18030" : LocaleEncoding()) {}

bool ConsoleText::decode(std::string_view bytes, Owned* text) const
{
    if (raw_ || bytes.empty()) {
        Owned array = NewBytes(bytes);
        *text = BytesToText(array.bytes());
        return true;
    }
    bool ok = false;
    const std::string gb = Converted(bytes, encoding_.c_str(), Lit(lit::EncodingGb18030), &ok);
    if (!ok)
        return false;
    Owned array = NewBytes(gb);
    *text = BytesToText(array.bytes());
    return true;
}

bool ConsoleText::decodePiece(std::string_view bytes, std::string* out) const
{
    if (raw_ || bytes.empty()) {
        out->append(bytes);
        return true;
    }
    bool ok = false;
    out->append(Converted(bytes, encoding_.c_str(), Lit(lit::EncodingGb18030), &ok));
    return ok;
}

size_t ConsoleText::wholeCharacters(std::string_view bytes) const
{
    if (raw_)
        return bytes.size();
    if (encoding_ != "UTF-8")
        return 0; // no boundaries known: the whole input is one piece
    // Back over at most three continuation bytes to the last lead byte; its
    // character is whole when all its bytes are there.
    size_t n = bytes.size();
    for (size_t back = 1; back <= 4 && back <= n; ++back) {
        const auto c = static_cast<unsigned char>(bytes[n - back]);
        if ((c & 0xC0) == 0x80)
            continue;
        const size_t need = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        return need <= back ? n : n - back;
    }
    return n; // not UTF-8 anyway: let the conversion say so
}

std::string ConsoleText::encode(std::string_view text) const
{
    if (raw_ || text.empty())
        return std::string(text);
    bool ok = false;
    std::string out = Converted(text, Lit(lit::EncodingGb18030), encoding_.c_str(), &ok);
    if (ok)
        return out;
    // Something in the text does not convert (a character cut in two, or
    // bytes that were never GB18030): convert character by character.
    const std::string replacement = encoding_ == "UTF-8" ? "\xef\xbf\xbd" : "?";
    out.clear();
    for (size_t p = 0; p < text.size();) {
        const size_t n = CharacterLength(text, p);
        const std::string piece = Converted(text.substr(p, n), Lit(lit::EncodingGb18030), encoding_.c_str(), &ok);
        out += ok ? piece : replacement;
        p += n;
    }
    return out;
}

void ConsoleText::message(const char* text) const
{
    const std::string line = encode(text ? text : "") + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

} // namespace app
