// Which alarms are due: the due test of one alarm in one minute, and the
// search of the store for the alarms due in a span of minutes.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "alarms/alarm_store.h"
#include "base/date_time.h"

namespace dc {

// True when the alarm is due in the minute of `now`: its hour and minute
// match, and its kind's date rule holds. No adjustment for short months or
// 29 February; a kind other than the five is never due.
bool IsAlarmDue(const AlarmRecord& alarm, const CivilDateTime& now);

// Minutes to check, first to last inclusive, as minute numbers
// (MinuteNumber).
struct MinuteSpan {
  std::int64_t first, last;
};

struct DueAlarm {
  AlarmRecord alarm;
  std::int64_t dueMinute;  // the latest minute of the span in which it is due
  int index;               // its place in the store
};

// Every alarm of the store that is due in the span, once, at the latest
// minute of the span in which it is due; in order of that minute, then of
// the store. Each alarm is tested once for each date the span touches, not
// once a minute. The count is read once; the store is not changed.
std::vector<DueAlarm> FindDueAlarms(const AlarmStore& store, MinuteSpan span);

}  // namespace dc
