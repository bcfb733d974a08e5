// Date-times read from text: the counterpart of the date-time format that
// value_format.h writes ("2024年3月5日14时30分").
#pragma once

#include <string_view>

namespace mt {

struct CivilDateTime {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
};

// Reads a date with an optional time of day, blanks allowed around them:
//   date  Y年M月D[日]   or   Y-M-D,  Y/M/D,  Y.M.D  (one separator throughout)
//   time  H时[M分[S秒]]  or   H:M[:S]
// with years of 1 to 4 digits, the other numbers of 1 or 2. False, and *out
// unspecified, when anything else is in the text or the fields name no real
// moment between 1 January 100 and 31 December 9999.
bool ReadDateTimeText(std::string_view gb, CivilDateTime* out);

// The date-time value of a moment: days since 30 December 1899, the time of
// day as the magnitude of the fraction (also for days before that date).
double DayCount(const CivilDateTime& t);

} // namespace mt
