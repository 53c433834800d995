// Conversions between date-time values and calendar fields.
#include "base/date_time.h"

#include <cmath>

namespace dc {
namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;
// Days from 0001-01-01 (day 1 in the proleptic Gregorian count below) to
// 1899-12-30.
constexpr std::int64_t kEpochDays = 693'594;

// Days since 0001-01-01 counted from 1 (0001-01-01 is day 1).
std::int64_t DayNumber(int y, int m, int d) {
  static constexpr int kBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  std::int64_t yy = y - 1;
  std::int64_t days = yy * 365 + yy / 4 - yy / 100 + yy / 400 + kBefore[m - 1] + d;
  if (m > 2 && IsLeapYear(y)) ++days;
  return days;
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::optional<double> EncodeDateTime(const CivilDateTime& t) {
  if (t.Year < 1 || t.Year > 9999 || t.Month < 1 || t.Month > 12 || t.Day < 1 ||
      t.Day > DaysInMonth(t.Year, t.Month) || t.Hour < 0 || t.Hour > 23 || t.Minute < 0 ||
      t.Minute > 59 || t.Second < 0 || t.Second > 59 || t.Millisecond < 0 || t.Millisecond > 999)
    return std::nullopt;
  double date = static_cast<double>(DayNumber(t.Year, t.Month, t.Day) - kEpochDays);
  std::int64_t ms = ((t.Hour * 60LL + t.Minute) * 60 + t.Second) * 1000 + t.Millisecond;
  double time = static_cast<double>(ms) / kMsPerDay;
  return date >= 0 ? date + time : date - time;
}

std::optional<CivilDateTime> DecodeDateTime(double value) {
  // Whole milliseconds, rounded, as the value's nearest instant; the sign of
  // the day count carries over, the time of day is the magnitude's rest.
  if (!std::isfinite(value) || std::fabs(value) > 3.0e6) return std::nullopt;
  std::int64_t total = std::llround(value * kMsPerDay);
  std::int64_t days = total / kMsPerDay;  // truncates towards zero
  std::int64_t ms = (total < 0 ? -total : total) % kMsPerDay;
  std::int64_t n = days + kEpochDays;  // day number counted from 1
  if (n < 1 || n > DayNumber(9999, 12, 31)) return std::nullopt;

  CivilDateTime t;
  std::int64_t d = n - 1;  // days since 0001-01-01
  std::int64_t q400 = d / 146'097;
  d %= 146'097;
  std::int64_t q100 = std::min<std::int64_t>(d / 36'524, 3);
  d -= q100 * 36'524;
  std::int64_t q4 = d / 1'461;
  d %= 1'461;
  std::int64_t q1 = std::min<std::int64_t>(d / 365, 3);
  d -= q1 * 365;
  t.Year = static_cast<int>(q400 * 400 + q100 * 100 + q4 * 4 + q1 + 1);
  t.Month = 1;
  while (d >= DaysInMonth(t.Year, t.Month)) d -= DaysInMonth(t.Year, t.Month++);
  t.Day = static_cast<int>(d + 1);
  t.Hour = static_cast<int>(ms / 3'600'000);
  t.Minute = static_cast<int>(ms / 60'000 % 60);
  t.Second = static_cast<int>(ms / 1000 % 60);
  t.Millisecond = static_cast<int>(ms % 1000);
  return t;
}

std::int64_t MinuteNumber(const CivilDateTime& t) {
  return (DayNumber(t.Year, t.Month, t.Day) - 1) * 1440 + t.Hour * 60 + t.Minute;
}

CivilDateTime FromMinuteNumber(std::int64_t minutes) {
  const std::int64_t days = minutes / 1440 + 1 - kEpochDays;  // days since 1899-12-30
  CivilDateTime t = *DecodeDateTime(static_cast<double>(days));
  t.Hour = static_cast<int>(minutes % 1440 / 60);
  t.Minute = static_cast<int>(minutes % 60);
  return t;
}

int DayOfWeek(const CivilDateTime& t) {
  // 0001-01-01 was a Monday.
  return static_cast<int>(DayNumber(t.Year, t.Month, t.Day) % 7);
}

}  // namespace dc
