#include "commands/date_time_text.h"

#include <cstdint>

#include "commands/date_time_texts.h"

namespace mt {
namespace {

// Days from 30 December 1899 (day 0 of a date-time) to 1 January 1970.
constexpr int64_t kDaysTo1970 = 25569;

class Scanner {
public:
    explicit Scanner(std::string_view s) : s_(s) {}

    void blanks()
    {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t'))
            ++i_;
    }
    bool atEnd() const { return i_ == s_.size(); }

    // 1 to maxDigits decimal digits, and no further digit after them.
    bool number(int maxDigits, int* out)
    {
        int n = 0, value = 0;
        while (i_ < s_.size() && IsDigit(s_[i_]) && n < maxDigits) {
            value = value * 10 + (s_[i_++] - '0');
            ++n;
        }
        *out = value;
        return n > 0 && !(i_ < s_.size() && IsDigit(s_[i_]));
    }

    bool literal(std::string_view lit)
    {
        if (s_.substr(i_, lit.size()) != lit)
            return false;
        i_ += lit.size();
        return true;
    }

    // One of the bytes in `set`, returned in *out.
    bool oneOf(std::string_view set, char* out)
    {
        if (atEnd() || set.find(s_[i_]) == std::string_view::npos)
            return false;
        *out = s_[i_++];
        return true;
    }

private:
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    std::string_view s_;
    size_t i_ = 0;
};

bool ReadDate(Scanner& s, CivilDateTime* t)
{
    if (!s.number(4, &t->year))
        return false;
    if (s.literal(gb::kDateUnitYear)) {
        if (!s.number(2, &t->month) || !s.literal(gb::kDateUnitMonth) || !s.number(2, &t->day))
            return false;
        s.literal(gb::kDateUnitDay);
        return true;
    }
    char sep = 0;
    return s.oneOf("-/.", &sep) && s.number(2, &t->month) && s.literal(std::string_view(&sep, 1)) &&
           s.number(2, &t->day);
}

bool ReadTime(Scanner& s, CivilDateTime* t)
{
    if (!s.number(2, &t->hour))
        return false;
    if (s.literal(gb::kTimeUnitHour)) {
        if (!s.number(2, &t->minute))
            return true;
        if (!s.literal(gb::kTimeUnitMinute))
            return false;
        if (!s.number(2, &t->second))
            return true;
        return s.literal(gb::kTimeUnitSecond);
    }
    if (!s.literal(":") || !s.number(2, &t->minute))
        return false;
    return !s.literal(":") || s.number(2, &t->second);
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

bool IsReal(const CivilDateTime& t)
{
    if (t.year < 100 || t.year > 9999 || t.month < 1 || t.month > 12)
        return false;
    if (t.day < 1 || t.day > DaysInMonth(t.year, t.month))
        return false;
    return t.hour <= 23 && t.minute <= 59 && t.second <= 59;
}

// Days from 1 January 1970 of a Gregorian date.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d)
{
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

} // namespace

bool ReadDateTimeText(std::string_view gb, CivilDateTime* out)
{
    *out = CivilDateTime{};
    Scanner s(gb);
    s.blanks();
    if (!ReadDate(s, out))
        return false;
    s.blanks();
    if (!s.atEnd() && !ReadTime(s, out))
        return false;
    s.blanks();
    return s.atEnd() && IsReal(*out);
}

double DayCount(const CivilDateTime& t)
{
    const int64_t day = DaysFromCivil(t.year, t.month, t.day) + kDaysTo1970;
    const double fraction = (t.hour * 3600 + t.minute * 60 + t.second) / 86400.0;
    return day >= 0 ? static_cast<double>(day) + fraction : static_cast<double>(day) - fraction;
}

} // namespace mt
