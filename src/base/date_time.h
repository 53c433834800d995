// Date-time values as Alarm.sav holds them: days since 30 December 1899,
// 00:00, as a double. The fraction is the time of day; before that day the
// integer part counts back and the fraction still counts forward from
// midnight (-1.25 is 29 December 1899, 06:00).
#pragma once

#include <cstdint>
#include <optional>

namespace dc {

struct CivilDateTime {
  int Year = 1899, Month = 12, Day = 30;
  int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
  bool operator==(const CivilDateTime&) const = default;
};

// Nothing for a field out of range (year 1..9999, month 1..12, a day the
// month has, hour 0..23, minute and second 0..59, millisecond 0..999).
std::optional<double> EncodeDateTime(const CivilDateTime& t);
// Nothing for a value outside years 1..9999 or not a number.
std::optional<CivilDateTime> DecodeDateTime(double value);

// 0 Sunday .. 6 Saturday.
int DayOfWeek(const CivilDateTime& t);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// Whole minutes since 0001-01-01 00:00 (seconds and milliseconds dropped),
// for stepping through minutes across days, months and years; and back.
// `minutes` must lie within years 1..9999.
std::int64_t MinuteNumber(const CivilDateTime& t);
CivilDateTime FromMinuteNumber(std::int64_t minutes);

}  // namespace dc
