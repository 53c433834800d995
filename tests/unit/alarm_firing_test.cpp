// The due test over a calendar, and the minute check's order.
#include <gtest/gtest.h>

#include <cstring>

#include "alarms/alarm_due.h"
#include "base/fixed_text.h"
#include "test_support.h"

using namespace dc;

namespace {

AlarmRecord Alarm(AlarmKind kind, CivilDateTime date, int hour, int minute, int second = 0,
                  std::uint16_t weekday = kNoWeekday) {
  return dctest::MakeAlarm(
      {.kind = kind, .hour = hour, .minute = minute, .second = second, .date = date, .weekday = weekday});
}

CivilDateTime At(int y, int m, int d, int h = 7, int min = 30, int s = 0) { return {y, m, d, h, min, s}; }

// The days of `year` on which the alarm is due at 07:30.
std::vector<CivilDateTime> DueDays(const AlarmRecord& a, int year) {
  std::vector<CivilDateTime> days;
  for (int m = 1; m <= 12; ++m)
    for (int d = 1; d <= DaysInMonth(year, m); ++d)
      if (IsAlarmDue(a, At(year, m, d))) days.push_back(At(year, m, d));
  return days;
}

}  // namespace

TEST(AlarmDue, TimeMatchesOnHourAndMinuteOnly) {
  AlarmRecord a = Alarm(AlarmKind::EveryDay, {1899, 12, 30}, 7, 30, 45);
  EXPECT_TRUE(IsAlarmDue(a, At(2026, 12, 8, 7, 30, 0)));
  EXPECT_TRUE(IsAlarmDue(a, At(2026, 12, 8, 7, 30, 59)));
  EXPECT_FALSE(IsAlarmDue(a, At(2026, 12, 8, 7, 31, 0)));
  EXPECT_FALSE(IsAlarmDue(a, At(2026, 12, 8, 19, 30, 0)));
}

TEST(AlarmDue, AYearOfDaysForEachKind) {
  EXPECT_EQ(DueDays(Alarm(AlarmKind::EveryDay, {1899, 12, 30}, 7, 30), 2027).size(), 365u);

  // EveryWeek with Weekday 1: Mondays only (2027 has 52).
  std::vector<CivilDateTime> mondays = DueDays(Alarm(AlarmKind::EveryWeek, {}, 7, 30, 0, 1), 2027);
  EXPECT_EQ(mondays.size(), 52u);
  for (const CivilDateTime& d : mondays) EXPECT_EQ(DayOfWeek(d), 1);
  EXPECT_TRUE(DueDays(Alarm(AlarmKind::EveryWeek, {}, 7, 30, 0, kNoWeekday), 2027).empty());
  EXPECT_TRUE(DueDays(Alarm(AlarmKind::EveryWeek, {}, 7, 30, 0, 7), 2027).empty());

  // EveryMonth on 31 January: the 31st of the seven long months.
  std::vector<CivilDateTime> longMonths = DueDays(Alarm(AlarmKind::EveryMonth, {2020, 1, 31}, 7, 30), 2027);
  std::vector<int> months;
  for (const CivilDateTime& d : longMonths) months.push_back(d.Month);
  EXPECT_EQ(months, (std::vector<int>{1, 3, 5, 7, 8, 10, 12}));

  // EveryYear on 29 February: leap years only.
  AlarmRecord leap = Alarm(AlarmKind::EveryYear, {2024, 2, 29}, 7, 30);
  EXPECT_TRUE(DueDays(leap, 2027).empty());
  ASSERT_EQ(DueDays(leap, 2028).size(), 1u);
  EXPECT_EQ(DueDays(Alarm(AlarmKind::EveryYear, {1990, 12, 24}, 7, 30), 2027).size(), 1u);

  // Once: its own day only; a past one never again.
  std::vector<CivilDateTime> once = DueDays(Alarm(AlarmKind::Once, {2027, 3, 5}, 7, 30), 2027);
  ASSERT_EQ(once.size(), 1u);
  EXPECT_EQ(once[0], At(2027, 3, 5));
  EXPECT_TRUE(DueDays(Alarm(AlarmKind::Once, {2026, 3, 5}, 7, 30), 2027).empty());

  // Any other kind is never due.
  AlarmRecord odd = Alarm(AlarmKind::EveryDay, {}, 7, 30);
  odd.Kind = 5;
  EXPECT_TRUE(DueDays(odd, 2027).empty());
}

TEST(MinuteCheck, FiresDueAlarmsInStoreOrderAgainstOneReadingAndChangesNothing) {
  AlarmStore store;
  store.ResetDefaults();
  const char* titles[] = {"first", "other minute", "second", "never", "third"};
  store.AddAlarm(Alarm(AlarmKind::EveryDay, {}, 7, 30));
  store.AddAlarm(Alarm(AlarmKind::EveryDay, {}, 7, 31));
  store.AddAlarm(Alarm(AlarmKind::Once, {2026, 12, 8}, 7, 30));
  store.AddAlarm(Alarm(AlarmKind::EveryWeek, {}, 7, 30, 0, kNoWeekday));
  store.AddAlarm(Alarm(AlarmKind::EveryWeek, {}, 7, 30, 0, 2));  // 8 December 2026 is a Tuesday
  for (int i = 0; i < 5; ++i) {
    AlarmRecord r = store.GetAlarm(i);
    WriteFixedText(r.Title, titles[i]);
    store.SetAlarm(r, i);
  }
  std::vector<AlarmRecord> before;
  for (int i = 0; i < store.Count(); ++i) before.push_back(store.GetAlarm(i));

  std::vector<std::string> fired;
  const std::int64_t minute = MinuteNumber(At(2026, 12, 8, 7, 30, 0));
  for (const DueAlarm& due : FindDueAlarms(store, {minute, minute})) fired.push_back(ReadFixedText(due.alarm.Title));
  EXPECT_EQ(fired, (std::vector<std::string>{"first", "second", "third"}));
  ASSERT_EQ(store.Count(), 5);
  for (int i = 0; i < 5; ++i) {
    const AlarmRecord now = store.GetAlarm(i);
    EXPECT_EQ(std::memcmp(&before[i], &now, sizeof(AlarmRecord)), 0);
  }
}
