// The minute passes, the skipped minutes and the snoozes.
#include "alarms/alarm_scheduler.h"

#include <algorithm>

#include "base/fixed_text.h"

namespace dc {
namespace {

std::int64_t SecondNumber(const CivilDateTime& t) { return MinuteNumber(t) * 60 + t.Second; }

std::vector<Firing> FiringsOf(const std::vector<DueAlarm>& due, std::int64_t currentMinute) {
  std::vector<Firing> out;
  out.reserve(due.size());
  for (const DueAlarm& d : due)
    out.push_back({d.alarm, d.dueMinute < currentMinute ? FiringKind::Late : FiringKind::OnTime,
                   FromMinuteNumber(d.dueMinute)});
  return out;
}

}  // namespace

std::vector<Firing> AlarmScheduler::Start(const AlarmStore& store, const CivilDateTime& now) {
  lastMinute_ = MinuteNumber(now);
  if (now.Second != 0) return {};
  return FiringsOf(FindDueAlarms(store, {lastMinute_, lastMinute_}), lastMinute_);
}

std::vector<Firing> AlarmScheduler::Tick(const AlarmStore& store, const CivilDateTime& now) {
  const std::int64_t minute = MinuteNumber(now);
  std::vector<Firing> out;
  if (minute != lastMinute_) {
    MinuteSpan span{minute, minute};
    if (lastMinute_ >= 0 && minute > lastMinute_) span.first = std::max(lastMinute_ + 1, minute - kLookBackMinutes);
    lastMinute_ = minute;  // stored first: a box shown inside the pass runs nested ticks
    const std::vector<DueAlarm> due = FindDueAlarms(store, span);
    for (const DueAlarm& d : due) {
      std::erase_if(snoozes_, [&](const PendingSnooze& s) {
        return s.dueSecond / 60 == d.dueMinute && SameAlarm(s.alarm, d.alarm);
      });
    }
    out = FiringsOf(due, minute);
  }
  std::vector<Firing> snoozed = TakeDueSnoozes(SecondNumber(now));
  out.insert(out.end(), snoozed.begin(), snoozed.end());
  return out;
}

std::vector<Firing> AlarmScheduler::TakeDueSnoozes(std::int64_t nowSecond) {
  std::vector<PendingSnooze> due;
  std::erase_if(snoozes_, [&](const PendingSnooze& s) {
    if (s.dueSecond > nowSecond) return false;
    due.push_back(s);
    return true;
  });
  std::stable_sort(due.begin(), due.end(),
                   [](const PendingSnooze& a, const PendingSnooze& b) { return a.dueSecond < b.dueSecond; });
  std::vector<Firing> out;
  for (const PendingSnooze& s : due) out.push_back({s.alarm, FiringKind::Snoozed, FromMinuteNumber(s.dueSecond / 60)});
  return out;
}

void AlarmScheduler::Snooze(const AlarmRecord& alarm, const CivilDateTime& now, int minutes) {
  snoozes_.push_back({alarm, SecondNumber(now) + std::int64_t{minutes} * 60});
}

std::string PopupHeaderOf(const Firing& firing, const TimeFormat& format) {
  std::string header = ReadFixedText(firing.alarm.Title);
  switch (firing.kind) {
    case FiringKind::OnTime:
      break;
    case FiringKind::Late:
      header += " (missed at " + FormatShortTime(format, firing.due) + ")";
      break;
    case FiringKind::Snoozed:
      header += " (snoozed)";
      break;
  }
  return header;
}

}  // namespace dc
