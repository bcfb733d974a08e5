#include "cli_messages.h"

#include <algorithm>

#include "abi/utf8.h"

namespace app {

size_t Utf8CharacterLength(std::string_view s)
{
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const size_t n = mt::Utf8SequenceLength(p);
    return n >= 2 && s.size() >= n && mt::Utf8SequenceComplete(p, n) ? n : 0;
}

namespace {

void AppendEscape(unsigned char byte, std::string* out)
{
    static const char kHex[] = "0123456789abcdef";
    *out += "\\x";
    *out += kHex[byte >> 4];
    *out += kHex[byte & 15];
}

} // namespace

std::string EchoArgument(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b == '\\') {
            out += "\\\\";
            ++i;
        } else if (b >= 0x20 && b < 0x7F) {
            out += static_cast<char>(b);
            ++i;
        } else if (const size_t n = b >= 0x80 ? Utf8CharacterLength(s.substr(i)) : 0;
                   n != 0 && !(b == 0xC2 && static_cast<unsigned char>(s[i + 1]) < 0xA0)) { // not a C1 control
            out.append(s.substr(i, n));
            i += n;
        } else {
            AppendEscape(b, &out);
            ++i;
        }
    }
    return out;
}

size_t EditDistance(std::string_view a, std::string_view b)
{
    // Three rows of the table: two back, one back, and the one being filled.
    std::vector<size_t> older(b.size() + 1), last(b.size() + 1), row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        last[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + (a[i - 1] != b[j - 1])});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                row[j] = std::min(row[j], older[j - 2] + 1); // two neighbours swapped
        }
        std::swap(older, last);
        std::swap(last, row);
    }
    return last[b.size()];
}

std::string ClosestName(std::string_view typed, const std::vector<std::string_view>& names)
{
    std::string_view best;
    size_t bestDistance = SIZE_MAX;
    for (const std::string_view name : names) {
        const size_t letters = name.size() - std::min(name.find_first_not_of('-'), name.size());
        const size_t d = EditDistance(typed, name);
        if (d <= 2 && 2 * d < letters && d < bestDistance) {
            best = name;
            bestDistance = d;
        }
    }
    return std::string(best);
}

} // namespace app
