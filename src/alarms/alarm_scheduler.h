// When alarms fire. Once a minute every alarm is tested; when ticks were
// missed (the machine slept, the clock was set forward, the program
// stalled) the skipped minutes are tested too, up to 24 hours back, and an
// alarm due in several of them fires once, marked late. Snoozed alarms wait
// here, in memory only, until their time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "alarms/alarm_due.h"
#include "alarms/alarm_store.h"
#include "base/date_time.h"
#include "base/time_text.h"

namespace dc {

enum class FiringKind {
  OnTime,   // due in the current minute
  Late,     // due in a minute the ticks skipped
  Snoozed,  // a snoozed alarm whose time has come
};

struct Firing {
  AlarmRecord alarm;
  FiringKind kind;
  CivilDateTime due;  // the minute it was due (seconds zero)
};

// A snoozed alarm: the record, and when it rings again.
struct PendingSnooze {
  AlarmRecord alarm;
  std::int64_t dueSecond;  // seconds since 0001-01-01 00:00
};

class AlarmScheduler {
 public:
  static constexpr std::int64_t kLookBackMinutes = 24 * 60;

  // The start-up tick: remembers the minute; its alarms fire only when the
  // program starts in second 0.
  std::vector<Firing> Start(const AlarmStore& store, const CivilDateTime& now);

  // A later tick, with one reading of the clock. When the minute moved
  // forward, the alarms due from the minute after the previous tick's (at
  // most 24 hours back) to this one, each once at its latest due minute, in
  // order of that minute and then of the store. When the clock was set
  // back, the current minute alone. Then the snoozes whose time has come.
  // A snooze of an alarm that fires in the snooze's own minute is dropped:
  // the alarm rings once.
  std::vector<Firing> Tick(const AlarmStore& store, const CivilDateTime& now);

  // Rings the alarm again `minutes` after `now`.
  void Snooze(const AlarmRecord& alarm, const CivilDateTime& now, int minutes);
  const std::vector<PendingSnooze>& Snoozes() const { return snoozes_; }

 private:
  std::vector<Firing> TakeDueSnoozes(std::int64_t nowSecond);

  std::int64_t lastMinute_ = -1;
  std::vector<PendingSnooze> snoozes_;
};

// The popup's header: the title, marked "(missed at <short time>)" when
// late or "(snoozed)" when snoozed. 8-bit ANSI, as the title is.
std::string PopupHeaderOf(const Firing& firing, const TimeFormat& format);

}  // namespace dc
