// The values of the transfer bounds' options: seconds with fractions and
// sizes with K, M or G.
#include <cstdint>
#include <string>

#include "cli_options.h"

namespace app {

int64_t Milliseconds(const std::string& value)
{
    const size_t dot = value.find('.');
    const std::string whole = value.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? "" : value.substr(dot + 1);
    const bool digits = (whole + fraction).find_first_not_of("0123456789") == std::string::npos;
    if (!digits || (whole.empty() && fraction.empty()) || (dot != std::string::npos && fraction.empty()) ||
        whole.size() > 9 || fraction.size() > 9)
        return -1;
    int64_t ms = whole.empty() ? 0 : std::stoll(whole) * 1000;
    int64_t part = 0, scale = 1;
    for (size_t i = 0; i < fraction.size(); ++i) {
        part = part * 10 + (fraction[i] - '0');
        scale *= 10;
    }
    const bool aboveZero = ms > 0 || part > 0;
    ms += (part * 1000 + scale - 1) / scale; // a fraction of a millisecond counts as one
    if (!aboveZero || ms > int64_t{kMaxSeconds} * 1000)
        return -1;
    return ms;
}

int64_t SizeValue(const std::string& value, int64_t low, int64_t high)
{
    std::string digits = value;
    int shift = 0;
    if (!digits.empty()) {
        switch (digits.back()) {
        case 'k':
        case 'K': shift = 10; break;
        case 'm':
        case 'M': shift = 20; break;
        case 'g':
        case 'G': shift = 30; break;
        default: break;
        }
    }
    if (shift)
        digits.pop_back();
    if (digits.empty() || digits.size() > 12 || digits.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    const int64_t number = std::stoll(digits);
    if (number > (INT64_MAX >> shift))
        return -1;
    const int64_t size = number << shift;
    return size < low || size > high ? -1 : size;
}

} // namespace app
