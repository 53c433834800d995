// The due test and the search for due alarms.
#include "alarms/alarm_due.h"

#include <algorithm>

namespace dc {

bool IsAlarmDue(const AlarmRecord& alarm, const CivilDateTime& now) {
  const std::optional<CivilDateTime> time = DecodeDateTime(alarm.Time);
  if (!time || time->Hour != now.Hour || time->Minute != now.Minute) return false;
  switch (static_cast<AlarmKind>(alarm.Kind)) {
    case AlarmKind::EveryDay:
      return true;
    case AlarmKind::EveryWeek:
      // 1 for Sunday up to 7 for Saturday against Weekday + 1, without a
      // 16-bit wrap: 65535 never matches.
      return DayOfWeek(now) + 1 == static_cast<int>(alarm.Weekday) + 1;
    case AlarmKind::Once:
    case AlarmKind::EveryMonth:
    case AlarmKind::EveryYear: {
      const std::optional<CivilDateTime> date = DecodeDateTime(alarm.Date);
      if (!date || date->Day != now.Day) return false;
      if (alarm.Kind == static_cast<std::uint8_t>(AlarmKind::EveryMonth)) return true;
      if (date->Month != now.Month) return false;
      return alarm.Kind == static_cast<std::uint8_t>(AlarmKind::EveryYear) || date->Year == now.Year;
    }
  }
  return false;
}

std::vector<DueAlarm> FindDueAlarms(const AlarmStore& store, MinuteSpan span) {
  std::vector<DueAlarm> due;
  if (span.last < span.first) return due;
  // The dates the span touches, latest first, decoded once for all alarms.
  std::vector<CivilDateTime> days;
  for (std::int64_t day = span.last / 1440; day >= span.first / 1440; --day) days.push_back(FromMinuteNumber(day * 1440));
  const int count = store.Count();
  for (int i = 0; i < count; ++i) {
    const AlarmRecord alarm = store.GetAlarm(i);
    const std::optional<CivilDateTime> time = DecodeDateTime(alarm.Time);
    if (!time) continue;
    for (CivilDateTime at : days) {
      at.Hour = time->Hour;
      at.Minute = time->Minute;
      const std::int64_t minute = MinuteNumber(at);
      if (minute < span.first || minute > span.last || !IsAlarmDue(alarm, at)) continue;
      due.push_back({alarm, minute, i});
      break;  // the latest due minute only
    }
  }
  std::stable_sort(due.begin(), due.end(),
                   [](const DueAlarm& a, const DueAlarm& b) { return a.dueMinute < b.dueMinute; });
  return due;
}

}  // namespace dc
