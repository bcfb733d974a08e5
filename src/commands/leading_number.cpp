#include "commands/leading_number.h"

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <locale.h> // NOLINT(modernize-deprecated-headers): newlocale and locale_t are POSIX's
#include <string>

namespace mt {
namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

size_t SkipBlanks(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return i;
}

} // namespace

int64_t LeadingInteger(std::string_view text)
{
    size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    // Accumulated as a negative number, whose range is the larger one.
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (value < (INT64_MIN + digit) / 10) {
            value = INT64_MIN;
            break;
        }
        value = value * 10 - digit;
    }
    if (negative)
        return value;
    return value == INT64_MIN ? INT64_MAX : -value;
}

double LeadingNumber(std::string_view text)
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    const std::string copy(text.substr(SkipBlanks(text))); // zero-terminated for strtod
    return c ? strtod_l(copy.c_str(), nullptr, c) : std::strtod(copy.c_str(), nullptr);
}

} // namespace mt
