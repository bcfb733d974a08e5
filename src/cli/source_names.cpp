#include "source_names.h"

#include "abi/text_value.h"
#include "abi/utf8.h"
#include "shared/runtime_calls.h"

namespace app {
namespace {

bool InRange(char c, unsigned low, unsigned high)
{
    const auto b = static_cast<unsigned char>(c);
    return b >= low && b <= high;
}

// GB18030 bytes that form whole characters, in UTF-8; false when the
// encoding command refuses them.
bool Convert(std::string_view gb, std::string* out)
{
    bool ok = false;
    const Owned in = NewBytes(gb);
    const Owned converted = ConvertBytes(in.bytes(), Lit(lit::EncodingGb18030), Lit(lit::EncodingUtf8), &ok);
    if (!ok || converted.empty())
        return false;
    out->append(mt::ByteArrayView(converted.bytes()));
    return true;
}

constexpr std::string_view kReplacement = "\xef\xbf\xbd";

} // namespace

size_t Gb18030CharacterLength(std::string_view s)
{
    if (s.empty())
        return 0;
    if (static_cast<unsigned char>(s[0]) < 0x80)
        return 1;
    if (!InRange(s[0], 0x81, 0xFE) || s.size() < 2)
        return 0;
    if (InRange(s[1], 0x40, 0x7E) || InRange(s[1], 0x80, 0xFE))
        return 2;
    if (InRange(s[1], 0x30, 0x39) && s.size() >= 4 && InRange(s[2], 0x81, 0xFE) && InRange(s[3], 0x30, 0x39))
        return 4;
    return 0;
}

std::string SourceNameUtf8(const ConsoleText& console, std::string_view name, bool* lossy)
{
    if (mt::ValidUtf8Prefix(name) == name.size()) // ASCII too

        return std::string(name);
    if (!console.raw()) {
        // Another locale's bytes: through the runtime's text, or as they
        // are (the JSON writer replaces what is not UTF-8, byte by byte).
        Owned text;
        std::string out;
        if (!console.decode(name, &text) || !Convert(text.view(), &out))
            return std::string(name);
        return out;
    }
    std::string out;
    size_t run = 0; // the start of the whole characters not yet converted
    const auto flush = [&](size_t end) {
        const std::string_view piece = name.substr(run, end - run);
        if (piece.empty() || Convert(piece, &out))
            return;
        // One character at a time: those the command refuses become U+FFFD.
        for (size_t i = 0; i < piece.size();) {
            const size_t n = Gb18030CharacterLength(piece.substr(i));
            if (!Convert(piece.substr(i, n), &out)) {
                out += kReplacement;
                *lossy = true;
            }
            i += n;
        }
    };
    for (size_t i = 0; i < name.size();) {
        const size_t n = Gb18030CharacterLength(name.substr(i));
        if (n != 0) {
            i += n;
            continue;
        }
        flush(i);
        out += kReplacement;
        *lossy = true;
        run = ++i;
    }
    flush(name.size());
    return out;
}

} // namespace app
