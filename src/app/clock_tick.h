// The clock tick's portable parts: the long time format built from the
// user's locale settings, and the rule that decides which ticks run the
// minute check.
#pragma once

#include <cstdint>
#include <string>

namespace dc {

struct LocalTime {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0, millisecond = 0;
};

// The locale's long time settings.
struct TimeFormat {
  bool leadingZero = false;     // "hh" rather than "h"
  std::string separator = ":";  // between hours, minutes and seconds
  bool twelveHour = true;
  bool designatorFirst = false;  // "AMPM h:mm:ss" rather than "h:mm:ss AMPM"
  std::string am = "AM", pm = "PM";
};

// The time as the LED display shows it (8-bit text).
std::string FormatLongTime(const TimeFormat& format, const LocalTime& t);

// Remembers the local minute of the previous tick. The start-up tick runs
// the minute check only at second 0; every later tick whose minute differs
// from the previous tick's runs it, whatever its second, so a timer that
// drifts past second 0 still checks that minute, and checks it once.
class MinuteTracker {
 public:
  bool StartupTick(const LocalTime& now);
  bool Tick(const LocalTime& now);

 private:
  static std::int64_t MinuteOf(const LocalTime& t);
  std::int64_t last_ = -1;
};

}  // namespace dc
