// Calendar arithmetic on script time values (ms since 1970-01-01 UTC) over
// the whole proleptic Gregorian calendar, as Date needs it.
#pragma once

#include <cstdint>

namespace dc::swf::avm1 {

inline constexpr double kMsPerDay = 86'400'000.0;

// Days since 1970-01-01 of a date; `month` 1..12 (days past the month's end
// roll over, as Date's setters want).
std::int64_t DaysFromCivil(std::int64_t year, int month, std::int64_t day);

struct CivilFields {
  std::int64_t year = 1970;
  int month = 1, day = 1;  // 1-based
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  int weekday = 4;  // 0 Sunday
};
// The fields of a finite time value.
CivilFields FieldsOf(double ms);
// A time value from fields that may be out of range (month 13, minute -1):
// they carry over as Date's constructor and setters do. NaN when a field is
// not finite or the result is out of Date's range.
double MakeTime(double year, double month0, double day, double hour, double minute, double second, double ms);

}  // namespace dc::swf::avm1
