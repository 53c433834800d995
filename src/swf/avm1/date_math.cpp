// Calendar arithmetic for Date: 400-year eras of 146097 days.
#include "swf/avm1/date_math.h"

#include <cmath>
#include <initializer_list>

namespace dc::swf::avm1 {
namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Date's range: 100 million days either side of 1970.
constexpr double kMaxTime = 8.64e15;

}  // namespace

std::int64_t DaysFromCivil(std::int64_t year, int month, std::int64_t day) {
  // Years start in March so that the leap day ends the year.
  const std::int64_t y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = FloorDiv(y, 400);
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t m = month > 2 ? month - 3 : month + 9;
  const std::int64_t dayOfYear = (153 * m + 2) / 5;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468 + (day - 1);
}

CivilFields FieldsOf(double ms) {
  CivilFields f;
  const double dayCount = std::floor(ms / kMsPerDay);
  const auto days = static_cast<std::int64_t>(dayCount);
  auto msOfDay = static_cast<std::int64_t>(ms - dayCount * kMsPerDay);
  if (msOfDay < 0) msOfDay = 0;
  if (msOfDay >= 86'400'000) msOfDay = 86'399'999;
  f.hour = static_cast<int>(msOfDay / 3'600'000);
  f.minute = static_cast<int>(msOfDay / 60'000 % 60);
  f.second = static_cast<int>(msOfDay / 1000 % 60);
  f.millisecond = static_cast<int>(msOfDay % 1000);
  f.weekday = static_cast<int>(((days % 7) + 7 + 4) % 7);  // 1970-01-01 was a Thursday

  const std::int64_t z = days + 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t dayOfEra = z - era * 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t mp = (5 * dayOfYear + 2) / 153;
  f.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  f.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  f.year = yearOfEra + era * 400 + (f.month <= 2 ? 1 : 0);
  return f;
}

double MakeTime(double year, double month0, double day, double hour, double minute, double second, double ms) {
  for (double v : {year, month0, day, hour, minute, second, ms})
    if (!std::isfinite(v) || std::fabs(v) > 1e12) return std::nan("");
  const double y = std::trunc(year) + std::floor(std::trunc(month0) / 12);
  const int m = static_cast<int>(std::trunc(month0) - std::floor(std::trunc(month0) / 12) * 12);  // 0..11
  if (std::fabs(y) > 400000) return std::nan("");
  const double days = static_cast<double>(DaysFromCivil(static_cast<std::int64_t>(y), m + 1, 1)) + std::trunc(day) - 1;
  const double t = days * kMsPerDay + std::trunc(hour) * 3'600'000 + std::trunc(minute) * 60'000 +
                   std::trunc(second) * 1000 + std::trunc(ms);
  if (!std::isfinite(t) || std::fabs(t) > kMaxTime) return std::nan("");
  return t;
}

}  // namespace dc::swf::avm1
