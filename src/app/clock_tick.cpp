// The long time text and the minute rule.
#include "app/clock_tick.h"

namespace dc {

std::string FormatLongTime(const TimeFormat& f, const LocalTime& t) {
  int hour = t.hour;
  if (f.twelveHour) {
    hour %= 12;
    if (hour == 0) hour = 12;
  }
  auto two = [](int v) { return std::string{static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)}; };
  std::string text = f.leadingZero || hour >= 10 ? two(hour) : std::string(1, static_cast<char>('0' + hour));
  text += f.separator + two(t.minute) + f.separator + two(t.second);
  if (!f.twelveHour) return text;
  const std::string& designator = t.hour < 12 ? f.am : f.pm;
  return f.designatorFirst ? designator + " " + text : text + " " + designator;
}

std::int64_t MinuteTracker::MinuteOf(const LocalTime& t) {
  return ((static_cast<std::int64_t>(t.year) * 13 + t.month) * 32 + t.day) * 1440 + t.hour * 60 + t.minute;
}

bool MinuteTracker::StartupTick(const LocalTime& now) {
  last_ = MinuteOf(now);
  return now.second == 0;
}

bool MinuteTracker::Tick(const LocalTime& now) {
  const std::int64_t minute = MinuteOf(now);
  if (minute == last_) return false;
  last_ = minute;  // stored first: a box inside the check runs nested ticks
  return true;
}

}  // namespace dc
