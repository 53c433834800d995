// When alarms fire: one minute after another, minutes skipped by sleep or a
// clock set forward (at most 24 hours back, each alarm once, marked late),
// a clock set back, and snoozes.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "alarms/alarm_scheduler.h"
#include "base/fixed_text.h"
#include "test_support.h"

using namespace dc;

namespace {

AlarmRecord Alarm(const char* title, AlarmKind kind, CivilDateTime date, int hour, int minute,
                  std::uint16_t weekday = kNoWeekday) {
  return dctest::MakeAlarm(
      {.kind = kind, .title = title, .hour = hour, .minute = minute, .date = date, .weekday = weekday});
}

AlarmStore StoreOf(std::initializer_list<AlarmRecord> alarms) {
  AlarmStore store;
  store.ResetDefaults();
  for (const AlarmRecord& a : alarms) store.AddAlarm(a);
  return store;
}

// "title late@hh:mm" or "title on time" or "title snoozed@hh:mm", one per firing.
std::vector<std::string> Describe(const std::vector<Firing>& firings) {
  std::vector<std::string> out;
  for (const Firing& f : firings) {
    char at[8];
    std::snprintf(at, sizeof at, "%02d:%02d", f.due.Hour, f.due.Minute);
    const char* kind = f.kind == FiringKind::OnTime ? "on time@" : f.kind == FiringKind::Late ? "late@" : "snoozed@";
    out.push_back(ReadFixedText(f.alarm.Title) + " " + kind + at);
  }
  return out;
}

using Texts = std::vector<std::string>;

}  // namespace

TEST(AlarmScheduler, DriftingTimerFiresEveryMinuteOnceAndStartUpOnlyAtSecondZero) {
  // An every-day alarm at each minute from 07:28 to 07:38.
  AlarmStore store;
  store.ResetDefaults();
  for (int m = 28; m <= 38; ++m) store.AddAlarm(Alarm(std::to_string(m).c_str(), AlarmKind::EveryDay, {}, 7, m));
  auto perMinute = [&](const std::vector<double>& seconds) {  // since 07:28:00, the first at start-up
    AlarmScheduler s;
    std::map<int, int> fired;
    for (std::size_t i = 0; i < seconds.size(); ++i) {
      const int t = static_cast<int>(seconds[i] * 1000);
      const CivilDateTime now{2026, 12, 8, 7, 28 + t / 60000, t / 1000 % 60, t % 1000};
      for (const Firing& f : i == 0 ? s.Start(store, now) : s.Tick(store, now)) {
        EXPECT_EQ(f.kind, FiringKind::OnTime) << "minute " << f.due.Minute;
        ++fired[f.due.Minute];
      }
    }
    return fired;
  };
  std::vector<double> drifting;
  for (double t = 20.3; t < 600; t += 1.013) drifting.push_back(t);  // skips second 0 now and then
  std::map<int, int> fired = perMinute(drifting);
  EXPECT_EQ(fired.count(28), 0u) << "start-up at 07:28:20 does not fire the 07:28 alarms";
  for (int m = 29; m <= 37; ++m) EXPECT_EQ(fired[m], 1) << "minute " << m;
  EXPECT_EQ(perMinute({0.0, 1.0, 2.0}), (std::map<int, int>{{28, 1}})) << "start-up at second 0 fires";
  EXPECT_EQ(perMinute({10, 59.5, 61.2, 62.2}), (std::map<int, int>{{29, 1}})) << "07:29 checked at 07:29:01";
}

TEST(AlarmScheduler, SkippedMinutesFireOnceEachMarkedLateInOrderOfTheirMinute) {
  const AlarmStore store = StoreOf({
      Alarm("after", AlarmKind::EveryDay, {}, 10, 31),
      Alarm("now", AlarmKind::EveryDay, {}, 10, 30),
      Alarm("meeting", AlarmKind::EveryDay, {}, 10, 9),
      Alarm("before", AlarmKind::EveryDay, {}, 10, 4),
      Alarm("once inside", AlarmKind::Once, {2026, 12, 8}, 10, 29),
      Alarm("also 10:09", AlarmKind::Once, {2026, 12, 8}, 10, 9),
      Alarm("edge", AlarmKind::EveryDay, {}, 10, 6),
      Alarm("last checked", AlarmKind::EveryDay, {}, 10, 5),
  });
  AlarmScheduler s;
  EXPECT_EQ(Describe(s.Start(store, {2026, 12, 8, 10, 5, 20})), Texts{});
  // The laptop closed at 10:05 and opened at 10:30: one reading of the clock.
  EXPECT_EQ(Describe(s.Tick(store, {2026, 12, 8, 10, 30, 10})),
            (Texts{"edge late@10:06", "meeting late@10:09", "also 10:09 late@10:09", "once inside late@10:29",
                   "now on time@10:30"}));
  EXPECT_EQ(Describe(s.Tick(store, {2026, 12, 8, 10, 30, 11})), Texts{}) << "a second tick in the minute";
  EXPECT_EQ(Describe(s.Tick(store, {2026, 12, 8, 10, 31, 0})), (Texts{"after on time@10:31"}));
}

TEST(AlarmScheduler, GapsOverMidnightMonthEndsAndLeapDays) {
  struct Case {
    const char* what;
    CivilDateTime last, now;
    std::vector<AlarmRecord> alarms;
    Texts fired;
  } cases[] = {
      {"over midnight",
       {2026, 12, 8, 23, 50, 0},
       {2026, 12, 9, 0, 20, 0},
       {Alarm("late evening", AlarmKind::EveryDay, {}, 23, 55), Alarm("tonight", AlarmKind::Once, {2026, 12, 9}, 0, 10),
        Alarm("yesterday's date", AlarmKind::Once, {2026, 12, 8}, 0, 10)},
       {"late evening late@23:55", "tonight late@00:10"}},
      {"month end",
       {2026, 1, 31, 23, 58, 30},
       {2026, 2, 1, 0, 5, 0},
       {Alarm("31st", AlarmKind::EveryMonth, {2025, 3, 31}, 23, 59), Alarm("1st", AlarmKind::EveryMonth, {2025, 7, 1}, 0, 3),
        Alarm("30th", AlarmKind::EveryMonth, {2025, 4, 30}, 23, 59)},
       {"31st late@23:59", "1st late@00:03"}},
      {"29 February",
       {2028, 2, 28, 23, 50, 0},
       {2028, 2, 29, 0, 20, 0},
       {Alarm("leap birthday", AlarmKind::EveryYear, {2000, 2, 29}, 0, 10),
        Alarm("28th", AlarmKind::EveryMonth, {2000, 1, 28}, 23, 55),
        Alarm("29th", AlarmKind::EveryMonth, {2000, 1, 29}, 0, 15),
        Alarm("1 March", AlarmKind::EveryYear, {2000, 3, 1}, 0, 10)},
       {"28th late@23:55", "leap birthday late@00:10", "29th late@00:15"}},
      {"no 29 February in 2027",
       {2027, 2, 28, 23, 50, 0},
       {2027, 3, 1, 0, 20, 0},
       {Alarm("leap birthday", AlarmKind::EveryYear, {2000, 2, 29}, 0, 10),
        Alarm("1 March", AlarmKind::EveryYear, {2000, 3, 1}, 0, 10)},
       {"1 March late@00:10"}},
  };
  for (Case& c : cases) {
    AlarmStore store;
    store.ResetDefaults();
    for (const AlarmRecord& a : c.alarms) store.AddAlarm(a);
    AlarmScheduler s;
    s.Start(store, c.last);
    EXPECT_EQ(Describe(s.Tick(store, c.now)), c.fired) << c.what;
  }
}

TEST(AlarmScheduler, LongGapsLookBackTwentyFourHoursAndFireEachAlarmOnce) {
  const AlarmStore store = StoreOf({
      Alarm("daily", AlarmKind::EveryDay, {}, 8, 0),
      Alarm("tuesday", AlarmKind::EveryWeek, {}, 10, 0, 2),
      Alarm("monday", AlarmKind::EveryWeek, {}, 10, 0, 1),
      Alarm("23 hours ago", AlarmKind::Once, {2026, 12, 8}, 10, 0),
      Alarm("30 hours ago", AlarmKind::Once, {2026, 12, 8}, 3, 0),
      Alarm("24 hours ago", AlarmKind::Once, {2026, 12, 8}, 9, 0),
  });
  AlarmScheduler s;
  // Asleep from Monday 7 December 09:00 to Wednesday 9 December 09:00.
  s.Start(store, {2026, 12, 7, 9, 0, 30});
  EXPECT_EQ(Describe(s.Tick(store, {2026, 12, 9, 9, 0, 0})),
            (Texts{"24 hours ago late@09:00", "tuesday late@10:00", "23 hours ago late@10:00", "daily late@08:00"}))
      << "the every-day alarm missed on three mornings rings once, for its latest minute";
}

TEST(AlarmScheduler, DailyAlarmOverThreeDaysRingsOnceForItsLatestMinute) {
  const AlarmStore store = StoreOf({Alarm("daily", AlarmKind::EveryDay, {}, 7, 0)});
  AlarmScheduler s;
  s.Start(store, {2026, 12, 5, 22, 0, 0});
  const std::vector<Firing> fired = s.Tick(store, {2026, 12, 8, 9, 0, 0});
  ASSERT_EQ(fired.size(), 1u);
  EXPECT_EQ(fired[0].due, (CivilDateTime{2026, 12, 8, 7, 0, 0}));
  EXPECT_EQ(fired[0].kind, FiringKind::Late);
}

TEST(AlarmScheduler, ClockSetBackChecksOnlyTheMinuteItLandsIn) {
  const AlarmStore store = StoreOf({Alarm("10:20", AlarmKind::EveryDay, {}, 10, 20),
                                    Alarm("10:25", AlarmKind::EveryDay, {}, 10, 25)});
  AlarmScheduler s;
  s.Start(store, {2026, 12, 8, 10, 30, 5});
  EXPECT_EQ(Describe(s.Tick(store, {2026, 12, 8, 10, 20, 0})), (Texts{"10:20 on time@10:20"}));
  EXPECT_EQ(Describe(s.Tick(store, {2026, 12, 8, 10, 20, 1})), Texts{});
  // The clock runs on from 10:20: 10:25 rings again when it comes.
  EXPECT_EQ(Describe(s.Tick(store, {2026, 12, 8, 10, 25, 0})), (Texts{"10:25 on time@10:25"}));
}

TEST(AlarmScheduler, SnoozedAlarmRingsAgainAfterItsTimeMarkedAndCanBeSnoozedAgain) {
  const AlarmRecord tea = Alarm("tea", AlarmKind::EveryDay, {}, 7, 30);
  const AlarmStore store = StoreOf({tea});
  AlarmScheduler s;
  s.Start(store, {2026, 12, 8, 7, 29, 50});
  EXPECT_EQ(Describe(s.Tick(store, {2026, 12, 8, 7, 30, 0})), (Texts{"tea on time@07:30"}));
  s.Snooze(tea, {2026, 12, 8, 7, 30, 40}, 5);
  ASSERT_EQ(s.Snoozes().size(), 1u);
  EXPECT_EQ(Describe(s.Tick(store, {2026, 12, 8, 7, 35, 39})), Texts{}) << "five minutes after the choice, not before";
  EXPECT_EQ(Describe(s.Tick(store, {2026, 12, 8, 7, 35, 40})), (Texts{"tea snoozed@07:35"}));
  EXPECT_TRUE(s.Snoozes().empty());
  s.Snooze(tea, {2026, 12, 8, 7, 35, 45}, 60);
  EXPECT_EQ(Describe(s.Tick(store, {2026, 12, 8, 8, 35, 45})), (Texts{"tea snoozed@08:35"}));
  // Asleep over a snooze's time: it rings at the first tick after.
  s.Snooze(tea, {2026, 12, 8, 9, 0, 0}, 10);
  EXPECT_EQ(Describe(s.Tick(store, {2026, 12, 8, 11, 0, 0})), (Texts{"tea snoozed@09:10"}));
}

TEST(AlarmScheduler, SnoozeDueInTheMinuteTheSameAlarmRingsAgainRingsOnce) {
  const AlarmRecord tea = Alarm("tea", AlarmKind::EveryDay, {}, 7, 30);
  const AlarmRecord other = Alarm("other", AlarmKind::EveryDay, {}, 7, 30);
  const AlarmStore store = StoreOf({tea, other});
  AlarmScheduler s;
  s.Start(store, {2026, 12, 7, 7, 0, 0});
  s.Snooze(tea, {2026, 12, 7, 7, 0, 30}, 30);   // due at 07:30:30, in tea's own minute
  s.Snooze(other, {2026, 12, 7, 6, 29, 0}, 60);  // due at 07:29:00, the minute before
  EXPECT_EQ(Describe(s.Tick(store, {2026, 12, 7, 7, 29, 0})), (Texts{"other snoozed@07:29"}));
  EXPECT_EQ(Describe(s.Tick(store, {2026, 12, 7, 7, 30, 0})), (Texts{"tea on time@07:30", "other on time@07:30"}));
  EXPECT_EQ(Describe(s.Tick(store, {2026, 12, 7, 7, 30, 31})), Texts{}) << "tea's snooze went into its alarm";
  EXPECT_TRUE(s.Snoozes().empty());
}

TEST(AlarmScheduler, PopupHeaderSaysLateOrSnoozed) {
  TimeFormat f;
  const AlarmRecord meeting = Alarm("Meeting", AlarmKind::EveryDay, {}, 10, 9);
  const CivilDateTime due{2026, 12, 8, 10, 9, 0};
  EXPECT_EQ(PopupHeaderOf({meeting, FiringKind::OnTime, due}, f), "Meeting");
  EXPECT_EQ(PopupHeaderOf({meeting, FiringKind::Late, due}, f), "Meeting (missed at 10:09 AM)");
  EXPECT_EQ(PopupHeaderOf({meeting, FiringKind::Snoozed, due}, f), "Meeting (snoozed)");
  f.shortPicture = "HH:mm";
  EXPECT_EQ(PopupHeaderOf({meeting, FiringKind::Late, due}, f), "Meeting (missed at 10:09)");
}
