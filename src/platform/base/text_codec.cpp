#include "platform/text_codec.h"

#include "abi/gb18030.h"
#include "platform/base/text_conversion.h"
#include "platform/iconv_handle.h"

#include <algorithm>
#include <cerrno>

namespace mt::platform {

bool ConvertText(const char* to, const char* from, std::string_view in, std::string* out, bool strict,
                 std::string_view replacement, size_t unitWidth)
{
    out->clear();
    if (in.empty())
        return true;
    IconvHandle cd(to, from);
    if (!cd.valid())
        return false;
    // A bounded buffer, emptied as often as needed: a text of many
    // megabytes never costs several times its size at once.
    std::string buffer(std::min<size_t>(in.size() * 4 + 16, size_t(1) << 16), '\0');
    out->reserve(in.size());
    const char* ip = in.data();
    size_t il = in.size();
    bool ok = true;
    const gb18030::Form fromForm = gb18030::FormOfName(from);
    const gb18030::Form toForm = gb18030::FormOfName(to);
    while (il > 0) {
        char* op = buffer.data();
        size_t ol = buffer.size();
        const int error = cd.convert(&ip, &il, &op, &ol);
        out->append(buffer.data(), buffer.size() - ol);
        if (error == 0)
            break;
        if (error == E2BIG)
            continue;
        const gb18030::Filled filled =
            gb18030::UnmappedAt(fromForm, toForm, reinterpret_cast<const unsigned char*>(ip), il);
        if (filled.taken != 0) {
            out->append(reinterpret_cast<const char*>(filled.bytes), filled.length);
            ip += filled.taken;
            il -= filled.taken;
            continue;
        }
        if (strict) {
            ok = false;
            break;
        }
        out->append(replacement);
        const size_t skip = il < unitWidth ? il : unitWidth; // one undecodable unit
        ip += skip;
        il -= skip;
    }
    return ok;
}

std::string Utf16ToGb(std::u16string_view units)
{
    std::string gb;
    std::string_view utf16(reinterpret_cast<const char*>(units.data()), units.size() * 2);
    ConvertText("GB18030", "UTF-16LE", utf16, &gb, false, "?", 2);
    return gb;
}

std::string GbToUtf8(std::string_view gb)
{
    std::string utf8;
    ConvertText("UTF-8", "GB18030", gb, &utf8, false, "\xef\xbf\xbd");
    return utf8;
}

bool Utf8ToGb(std::string_view utf8, std::string* gb) { return ConvertText("GB18030", "UTF-8", utf8, gb, true, ""); }

GbChar GbCharAt(std::string_view gb, size_t pos, bool crlfAsOne)
{
    const auto* p = reinterpret_cast<const unsigned char*>(gb.data()) + pos;
    const size_t left = gb.size() - pos;
    if (crlfAsOne && p[0] == '\r' && left >= 2 && p[1] == '\n')
        return {2, 1};
    const size_t n = gb18030::CharLength(p, left);
    return {static_cast<uint8_t>(n), static_cast<uint8_t>(gb18030::IsBeyondBasicPlane(p, n) ? 2 : 1)};
}

size_t GbToUtf16Position(std::string_view gb, size_t bytePos, Snap snap, bool crlfAsOne)
{
    size_t byte = 0;
    size_t unit = 0;
    while (byte < gb.size() && byte < bytePos) {
        const GbChar c = GbCharAt(gb, byte, crlfAsOne);
        if (byte + c.bytes > bytePos)
            return snap == Snap::kDown ? unit : unit + c.units;
        byte += c.bytes;
        unit += c.units;
    }
    return unit;
}

size_t Utf16ToGbPosition(std::string_view gb, size_t unitPos, bool crlfAsOne)
{
    size_t byte = 0;
    size_t unit = 0;
    while (byte < gb.size() && unit < unitPos) {
        const GbChar c = GbCharAt(gb, byte, crlfAsOne);
        if (unit + c.units > unitPos)
            break; // inside a surrogate pair: the character's start
        byte += c.bytes;
        unit += c.units;
    }
    return byte;
}

} // namespace mt::platform
