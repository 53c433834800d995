// The due test and the minute check.
#include "alarms/alarm_due.h"

namespace dc {

bool IsAlarmDue(const TAlarmRecord& alarm, const CivilDateTime& now) {
  const std::optional<CivilDateTime> time = DecodeDateTime(alarm.Time);
  if (!time || time->Hour != now.Hour || time->Minute != now.Minute) return false;
  switch (static_cast<TAlarmKind>(alarm.Kind)) {
    case TAlarmKind::EveryDay:
      return true;
    case TAlarmKind::EveryWeek:
      // 1 for Sunday up to 7 for Saturday against Weekday + 1, without a
      // 16-bit wrap: 65535 never matches.
      return DayOfWeek(now) + 1 == static_cast<int>(alarm.Weekday) + 1;
    case TAlarmKind::Once:
    case TAlarmKind::EveryMonth:
    case TAlarmKind::EveryYear: {
      const std::optional<CivilDateTime> date = DecodeDateTime(alarm.Date);
      if (!date || date->Day != now.Day) return false;
      if (alarm.Kind == static_cast<std::uint8_t>(TAlarmKind::EveryMonth)) return true;
      if (date->Month != now.Month) return false;
      return alarm.Kind == static_cast<std::uint8_t>(TAlarmKind::EveryYear) || date->Year == now.Year;
    }
  }
  return false;
}

void RunMinuteCheck(const TAlarmDB& store, const CivilDateTime& now,
                    const std::function<void(const TAlarmRecord&)>& fire) {
  const int count = store.Count();
  for (int i = 0; i < count; ++i) {
    const TAlarmRecord alarm = store.GetAlarm(i);
    if (IsAlarmDue(alarm, now)) fire(alarm);
  }
}

}  // namespace dc
