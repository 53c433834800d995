// Which alarms are due in a minute, and the minute check over the store.
#pragma once

#include <functional>

#include "alarms/alarm_db.h"
#include "alarms/date_time.h"

namespace dc {

// True when the alarm is due in the minute of `now`: its hour and minute
// match, and its kind's date rule holds. No adjustment for short months or
// 29 February; a kind other than the five is never due.
bool IsAlarmDue(const TAlarmRecord& alarm, const CivilDateTime& now);

// Tests every alarm of the store, in store order, against one reading of
// the clock, and fires each due one before testing the next. The count is
// read once; the store is not changed.
void RunMinuteCheck(const TAlarmDB& store, const CivilDateTime& now,
                    const std::function<void(const TAlarmRecord&)>& fire);

}  // namespace dc
