#include "components/edit_box_input_mode.h"

#include <algorithm>

#include "commands/date_time_text.h"
#include "commands/leading_number.h"
#include "commands/value_format.h"
#include "components/edit_box_properties.h"

namespace mt {
namespace {

std::string Formatted(const ValueRecord& v)
{
    std::string out;
    FormatScalarValue(v, &out);
    return out;
}

std::string Clamped(std::string_view text, int64_t lowest, int64_t highest)
{
    return Formatted(MakeLong(std::clamp(LeadingInteger(text), lowest, highest)));
}

std::string DateTimeText(std::string_view text)
{
    CivilDateTime t;
    if (!ReadDateTimeText(text, &t))
        return {};
    const double days = DayCount(t);
    return days == 0 ? std::string() : Formatted(MakeDouble(days, kTypeDateTime));
}

std::string Number(int32_t mode, std::string_view text)
{
    switch (mode) {
    case kInputByte: return Clamped(text, 0, 255);
    case kInputShort: return Clamped(text, INT16_MIN, INT16_MAX);
    case kInputInt: return Clamped(text, INT32_MIN, INT32_MAX);
    case kInputLong: return Formatted(MakeLong(LeadingInteger(text)));
    case kInputFloat: return Formatted(MakeFloat(static_cast<float>(LeadingNumber(text))));
    case kInputDouble: return Formatted(MakeDouble(LeadingNumber(text)));
    }
    return std::string(text);
}

} // namespace

std::string NormalisedText(int32_t inputMode, std::string_view text)
{
    if (!NormalisesText(inputMode))
        return std::string(text);
    if (inputMode == kInputDateTime)
        return DateTimeText(text);
    std::string n = Number(inputMode, text);
    return n == "0" ? std::string() : n;
}

} // namespace mt
