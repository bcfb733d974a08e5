#include "console_text.h"

#include <langinfo.h>

#include <clocale>
#include <cstdio>
#include <cstring>

#include "abi/gb18030.h"
#include "utf8_to_gb18030.h"

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

// Bytes of one GB18030 character starting at p: a character as the
// decoder reads it; a lead byte that starts none takes its next byte with
// it (and three when the next is a digit), so that the piece keeps its
// cuts where they were.
size_t CharacterLength(std::string_view s, size_t p)
{
    const size_t n = mt::gb18030::CharLength(s, p);
    const auto c = static_cast<unsigned char>(s[p]);
    if (n > 1 || c < 0x81 || p + 1 >= s.size())
        return n;
    const auto d = static_cast<unsigned char>(s[p + 1]);
    return d >= 0x30 && d <= 0x39 && p + 3 < s.size() ? 4 : 2;
}

// Whether one character as CharacterLength cuts it is GB18030.
bool IsGb18030(std::string_view c)
{
    if (c.size() == 1)
        return static_cast<unsigned char>(c[0]) < 0x80;
    return mt::gb18030::CharLength(c, 0) == c.size();
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

ConsoleText::~ConsoleText() = default;

ConsoleText::ConsoleText(ConsoleText&&) noexcept = default;

ConsoleText ConsoleText::ForEncoding(const char* encoding)
{
    ConsoleText text(false);
    text.encoding_ = encoding;
    return text;
}

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

bool ConsoleText::decodePiece(std::string_view bytes, char* room, size_t* produced) const
{
    if (raw_ || bytes.empty()) {
        std::memcpy(room, bytes.data(), bytes.size());
        *produced = bytes.size();
        return true;
    }
    // Making the table asks the command for every character of the basic
    // plane, as long as converting about 200 KiB: small input goes to the
    // command straight away.
    constexpr size_t kTableWorth = size_t{256} << 10;
    const bool small = !fromUtf8_ && decodedDirectly_ + bytes.size() < kTableWorth;
    if (small)
        decodedDirectly_ += bytes.size();
    if (encoding_ == "UTF-8" && !small) {
        // Large input: the encoding command's answers from a table.
        if (!fromUtf8_) {
            fromUtf8_ = std::make_unique<Utf8ToGb18030>([](std::string_view utf8, std::string* gb) {
                bool ok = false;
                *gb = Converted(utf8, "UTF-8", Lit(lit::EncodingGb18030), &ok);
                return ok;
            });
        }
        bool whole = false;
        *produced = fromUtf8_->convert(bytes, room, &whole);
        if (whole)
            return true;
    }
    // No single character grows beyond four bytes of GB18030.
    bool ok = false;
    const std::string gb = Converted(bytes, encoding_.c_str(), Lit(lit::EncodingGb18030), &ok);
    std::memcpy(room, gb.data(), gb.size() <= 4 * bytes.size() ? gb.size() : 0);
    *produced = gb.size() <= 4 * bytes.size() ? gb.size() : 0;
    return ok && gb.size() <= 4 * bytes.size();
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
        const size_t need = c < 0x80 ? 1 : c >= 0xF0 ? 4
                                       : c >= 0xE0   ? 3
                                                     : 2;
        return need <= back ? n : n - back;
    }
    return n; // not UTF-8 anyway: let the conversion say so
}

std::string ConsoleText::encode(std::string_view text) const
{
    std::string out;
    encodeEach(text, [&out](std::string_view piece) { out += piece; });
    return out;
}

bool ConsoleText::encodeWhole(std::string_view text, std::string* out) const
{
    if (raw_ || text.empty()) {
        out->assign(text);
        return true;
    }
    bool ok = false;
    *out = Converted(text, Lit(lit::EncodingGb18030), encoding_.c_str(), &ok);
    return ok;
}

void ConsoleText::encodeEach(std::string_view text, const std::function<void(std::string_view)>& sink) const
{
    if (raw_) {
        sink(text);
        return;
    }
    // Pieces of about a megabyte, cut between characters, so that a long
    // text is never held twice over. A character that cannot be GB18030
    // (a lead byte without its trail, say) is replaced in the piece by
    // U+FFFD in GB18030 (or '?'), so that the piece still converts in one.
    constexpr size_t kPiece = size_t{1} << 20;
    const std::string_view standIn = encoding_ == "UTF-8" ? std::string_view("\x84\x31\xa4\x37", 4) : "?";
    std::string piece;
    size_t run = 0; // where the characters not yet in `piece` start
    for (size_t p = 0; p < text.size();) {
        const size_t n = CharacterLength(text, p);
        if (!IsGb18030(text.substr(p, n))) {
            piece.append(text.substr(run, p - run)).append(standIn);
            run = p + n;
        }
        p += n;
        if (p - run + piece.size() >= kPiece || p >= text.size()) {
            piece.append(text.substr(run, p - run));
            run = p;
            encodePiece(piece, sink);
            piece.clear();
        }
    }
}

// A piece of whole characters. Something in it that does not convert (a
// character cut in two, or bytes that were never GB18030) splits it in two
// between characters, down to the characters that do not convert, which
// become U+FFFD (or '?' in a non-Unicode locale).
void ConsoleText::encodePiece(std::string_view piece, const std::function<void(std::string_view)>& sink) const
{
    bool ok = false;
    const std::string out = Converted(piece, Lit(lit::EncodingGb18030), encoding_.c_str(), &ok);
    if (ok) {
        sink(out);
        return;
    }
    const size_t first = CharacterLength(piece, 0);
    if (first >= piece.size()) {
        sink(encoding_ == "UTF-8" ? "\xef\xbf\xbd" : "?");
        return;
    }
    size_t middle = first;
    while (middle < piece.size() / 2)
        middle += CharacterLength(piece, middle);
    if (middle >= piece.size())
        middle = first;
    encodePiece(piece.substr(0, middle), sink);
    encodePiece(piece.substr(middle), sink);
}

} // namespace app
