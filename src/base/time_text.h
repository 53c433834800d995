// Times as the user reads them: the long time text the LED display shows
// (hours, minutes, seconds, the AM/PM designator), built from the locale's
// settings, and the locale's short time picture ("h:mm tt").
#pragma once

#include <string>
#include <string_view>

#include "base/date_time.h"

namespace dc {

// The locale's time settings; texts are 8-bit ANSI, as the LED shows them.
struct TimeFormat {
  bool leadingZero = false;     // "hh" rather than "h"
  std::string separator = ":";  // between hours, minutes and seconds
  bool twelveHour = true;
  bool designatorFirst = false;  // "AMPM h:mm:ss" rather than "h:mm:ss AMPM"
  std::string am = "AM", pm = "PM";
  std::string shortPicture = "h:mm tt";  // the locale's short time format
};

// The time as the LED display shows it: the hour with or without its
// leading zero, ":mm:ss" with the locale's separator, and the designator.
std::string FormatLongTime(const TimeFormat& format, const CivilDateTime& t);

// A time by a locale picture: h, hh (12-hour), H, HH, m, mm, s, ss, t (the
// designator's first letter), tt, text in single quotes; other characters
// stand as they are.
std::string FormatTimePicture(std::string_view picture, const TimeFormat& format, const CivilDateTime& t);
inline std::string FormatShortTime(const TimeFormat& format, const CivilDateTime& t) {
  return FormatTimePicture(format.shortPicture, format, t);
}

}  // namespace dc
