#include "commands/value_format.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "commands/commands_texts.h"

namespace mt {
namespace {

// Every formatted value fits a buffer of this size, terminator included.
constexpr size_t kScratch = 100;

// The day counts a date-time is clamped to: 1 January 100 and 31 December 9999.
constexpr double kFirstDay = -657434.0;
constexpr double kLastDay = 2958465.0;
// Days from 30 December 1899 (day 0 of a date-time) to 1 January 1970.
constexpr int64_t kDaysTo1970 = 25569;

// The magnitude of a finite, non-zero float rounded to six significant
// decimal digits, halves rounding up. The exact decimal expansion of a float
// has at most 112 significant digits, so "%.120e" prints it without rounding
// and the seventh digit decides.
double RoundToSixDigits(float f)
{
    char exact[160];
    std::snprintf(exact, sizeof exact, "%.120e", std::fabs(static_cast<double>(f)));
    long digits = exact[0] - '0';
    for (int i = 2; i <= 6; ++i)
        digits = digits * 10 + (exact[i] - '0');
    int exponent = std::atoi(exact + 123) - 5; // "d.ddd...e±XX": the exponent starts at 123
    if (exact[7] >= '5')
        ++digits;
    char rounded[32];
    std::snprintf(rounded, sizeof rounded, "%lde%d", digits, exponent);
    return std::strtod(rounded, nullptr);
}

void FormatFloat(float f, char* buf)
{
    double value = f;
    if (std::isfinite(f) && f != 0.0f)
        value = std::copysign(RoundToSixDigits(f), static_cast<double>(f));
    std::snprintf(buf, kScratch, "%.6g", value);
}

struct CivilTime {
    int64_t year, month, day;
    int hour, minute, second;
};

// Gregorian year, month and day of a day number counted from 1 January 1970.
void CivilFromDays(int64_t z, CivilTime* t)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    t->day = doy - (153 * mp + 2) / 5 + 1;
    t->month = mp < 10 ? mp + 3 : mp - 9;
    t->year = yoe + era * 400 + (t->month <= 2 ? 1 : 0);
}

// Splits a day count into calendar fields. The integral part counts days from
// 30 December 1899 and the fraction's magnitude is the time of day, also
// before that date (-1.25 is 29 December 1899, 6 o'clock); the time is
// rounded to the nearest second. A count that is not a number reads as 0.
CivilTime SplitDayCount(double days)
{
    if (std::isnan(days))
        days = 0;
    days = std::clamp(days, kFirstDay, kLastDay);
    const double whole = std::trunc(days);
    int64_t seconds = std::llround(std::fabs(days - whole) * 86400.0);
    const int64_t day = static_cast<int64_t>(whole) + seconds / 86400;
    seconds %= 86400;
    CivilTime t{};
    CivilFromDays(day - kDaysTo1970, &t);
    t.hour = static_cast<int>(seconds / 3600);
    t.minute = static_cast<int>(seconds / 60 % 60);
    t.second = static_cast<int>(seconds % 60);
    return t;
}

void FormatDateTime(double days, char* buf)
{
    const CivilTime t = SplitDayCount(days);
    int n = std::snprintf(buf, kScratch, gb::kDateFormat, static_cast<int>(t.year), static_cast<int>(t.month),
                          static_cast<int>(t.day));
    char* rest = buf + n;
    const size_t room = kScratch - static_cast<size_t>(n);
    if (t.second != 0)
        std::snprintf(rest, room, gb::kTimeSecondsFormat, t.hour, t.minute, t.second);
    else if (t.minute != 0)
        std::snprintf(rest, room, gb::kTimeMinutesFormat, t.hour, t.minute);
    else if (t.hour != 0)
        std::snprintf(rest, room, gb::kTimeHourFormat, t.hour);
}

// Formats v into buf; false when v is not a number, boolean or date-time.
bool FormatInto(const ValueRecord& v, char* buf)
{
    switch (v.type) {
    case kTypeByte:
        std::snprintf(buf, kScratch, "%u", static_cast<unsigned>(static_cast<uint8_t>(v.payload)));
        return true;
    case kTypeShort:
        std::snprintf(buf, kScratch, "%d", static_cast<int>(static_cast<int16_t>(v.payload)));
        return true;
    case kTypeInt:
        std::snprintf(buf, kScratch, "%d", AsInt32(v));
        return true;
    case kTypeLong:
        std::snprintf(buf, kScratch, "%" PRId64, AsInt64(v));
        return true;
    case kTypeFloat:
        FormatFloat(AsFloat(v), buf);
        return true;
    case kTypeDouble:
        std::snprintf(buf, kScratch, "%.13g", AsDouble(v));
        return true;
    case kTypeBool:
        std::snprintf(buf, kScratch, "%s", AsBool(v) ? gb::kTextTrue : gb::kTextFalse);
        return true;
    case kTypeDateTime:
        FormatDateTime(AsDouble(v), buf);
        return true;
    default:
        return false;
    }
}

} // namespace

bool FormatScalarValue(const ValueRecord& v, std::string* out)
{
    char buf[kScratch] = {};
    if (!FormatInto(v, buf))
        return false;
    out->assign(buf);
    return true;
}

} // namespace mt
