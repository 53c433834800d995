// The clock's portable rules for a long run: a tick that never skips a
// second on a late timer, frames due on their millisecond, and its place
// across changes of the screens.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "alarms/alarm_store.h"
#include "app/frame_clock.h"
#include "app/screen_placement.h"
#include "app/tick_schedule.h"
#include "base/command_line.h"
#include "base/file_io.h"
#include "package/own_files.h"

using namespace dc;

namespace {

// How late the system fires a timer, as a function of the tick's number.
struct Lateness {
  const char* name;
  int (*late)(std::uint64_t tick, unsigned delay);
};

// The system's 15.625 ms granularity: a delay rounds up to whole periods.
int RoundedUp(std::uint64_t, unsigned delay) {
  const unsigned periods = (delay * 64 + 999) / 1000;  // 1000/64 ms per period
  return static_cast<int>((periods * 1000 + 63) / 64 - delay);
}

int Scattered(std::uint64_t tick, unsigned) {
  std::uint64_t x = tick * 6364136223846793005ULL + 1442695040888963407ULL;
  return static_cast<int>((x >> 33) % 17);  // 0..16
}

}  // namespace

TEST(TickSchedule, TheShownSecondAdvancesByOneEveryTick) {
  const Lateness cases[] = {
      {"never late", [](std::uint64_t, unsigned) { return 0; }},
      {"always 16 ms late", [](std::uint64_t, unsigned) { return 16; }},
      {"rounded up to 15.625 ms", RoundedUp},
      {"0-16 ms scattered", Scattered},
      {"alternating 0 and 16 ms", [](std::uint64_t t, unsigned) { return t % 2 ? 16 : 0; }},
  };
  for (const Lateness& c : cases) {
    for (std::int64_t startMs : {0, 1, 479, 980, 999}) {
      std::int64_t now = 1'000'000'000 + startMs;  // the fake clock, in milliseconds
      std::int64_t shown = now / 1000;
      int skips = 0;
      std::uint64_t firstSkip = 0;
      for (std::uint64_t tick = 0; tick < 10'000; ++tick) {
        const unsigned delay = NextTickDelay(static_cast<int>(now % 1000));
        now += delay + c.late(tick, delay);
        const std::int64_t second = now / 1000;
        if (second != shown + 1 && skips++ == 0) firstSkip = tick;
        shown = second;
      }
      EXPECT_EQ(skips, 0) << c.name << ", start at ms " << startMs << ": first wrong step at tick " << firstSkip;
    }
  }
}

TEST(FrameClock, TheLoopWakesOnTheMillisecondAFrameIsDue) {
  struct Case {
    double rate;
    std::uint64_t played, next;
  } cases[] = {
      {12, 0, 84},  {12, 2, 250},   {12, 10, 917}, {12, 11, 1000}, {12, 12, 1084},  // 83.33 ms a frame
      {30, 2, 100}, {24, 0, 42},    {7.5, 0, 134}, {12.5, 4, 400},  // 33.33, 41.67, 133.33, 80
      {1, 0, 1000}, {120, 0, 9},
  };
  for (const Case& c : cases) {
    const FrameClock clock(c.rate);
    EXPECT_EQ(clock.NextAfter(c.played), c.next) << c.rate << " fps after " << c.played;
    EXPECT_EQ(clock.DueAt(c.next), c.played + 1) << c.rate << " fps";
    EXPECT_EQ(clock.DueAt(c.next - 1), c.played) << c.rate << " fps";
  }
  // Over an hour of frames the wake is never early (a wake that plays
  // nothing) nor a millisecond late.
  for (double rate : {12.0, 24.0, 30.0, 7.5, 12.5, 0.5, 120.0}) {
    const FrameClock clock(rate);
    int wrong = 0;
    for (std::uint64_t played = 0; played < static_cast<std::uint64_t>(3600 * rate); ++played) {
      const std::uint64_t at = clock.NextAfter(played);
      if (clock.DueAt(at) != played + 1 || clock.DueAt(at - 1) != played) ++wrong;
    }
    EXPECT_EQ(wrong, 0) << rate << " fps";
  }
}

TEST(TickSchedule, ATickAndAFrameWithinFourMillisecondsShareTheLaterWake) {
  const struct {
    std::uint64_t tick;
    std::optional<std::uint64_t> frame;
    std::uint64_t wake;
  } cases[] = {
      {1000, std::nullopt, 1000},  // a paused face
      {1000, 917, 917},   {1000, 1084, 1000},  // apart: the earlier
      {1000, 996, 1000},  {1000, 1004, 1004},  // within 4 ms: the later
      {1000, 995, 995},   {1000, 1005, 1000},  {1000, 1000, 1000},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NextWake(c.tick, c.frame), c.wake) << c.tick << " and " << c.frame.value_or(0);
  // Frames counted from a whole number of seconds before the tick, not
  // after now: at 12 a second the twelfth is due with the tick.
  const struct {
    std::uint64_t tick, now, from;
  } anchors[] = {
      {50'020, 49'500, 49'020}, {50'020, 49'020, 49'020}, {50'020, 48'999, 48'020},
      {50'020, 50'020, 50'020}, {50'020, 50'100, 50'020}, {1'500, 100, 0},
  };
  for (const auto& a : anchors) EXPECT_EQ(FramesAnchoredTo(a.tick, a.now), a.from) << a.tick << " at " << a.now;
}

TEST(ScreenPlacement, HomeFollowsDraggedStaysLostComesBack) {
  const Monitor wide{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true};
  const Monitor small{{0, 0, 1024, 768}, {0, 0, 1024, 728}, true};
  const Monitor left{{-1280, 0, 0, 1024}, {-1280, 0, 0, 984}, false};
  const Monitor above{{0, -900, 1600, 0}, {0, -860, 1600, 0}, false};
  struct Case {
    const char* what;
    Rect window;
    bool atHome;
    std::vector<Monitor> monitors;
    Rect expected;
  } cases[] = {
      {"home on a smaller screen", {1667, 922, 1920, 1050}, true, {small}, {771, 610, 1024, 738}},
      {"home on a larger screen", {771, 610, 1024, 738}, true, {wide}, {1667, 922, 1920, 1050}},
      {"home with a second monitor", {771, 610, 1024, 738}, true, {left, wide}, {1667, 922, 1920, 1050}},
      {"dragged, still fully shown", {100, 100, 353, 228}, false, {small}, {100, 100, 353, 228}},
      {"dragged, one pixel still shown", {1023, 767, 1276, 895}, false, {small}, {1023, 767, 1276, 895}},
      {"dragged onto a monitor that is still there", {-600, 50, -347, 178}, false, {left, wide}, {-600, 50, -347, 178}},
      {"left monitor gone: into the nearest work area", {-600, 50, -347, 178}, false, {wide}, {0, 50, 253, 178}},
      {"off the bottom right of a smaller screen", {1667, 922, 1920, 1050}, false, {small}, {771, 600, 1024, 728}},
      {"monitor above gone", {300, -500, 553, -372}, false, {small}, {300, 0, 553, 128}},
      {"nearest of two", {-300, 2000, -47, 2128}, false, {left, above}, {-300, 856, -47, 984}},
      {"no monitors known: stays", {5000, 5000, 5253, 5128}, false, {}, {5000, 5000, 5253, 5128}},
  };
  for (const Case& c : cases) {
    const Rect got = PlaceAfterScreenChange(c.window, c.atHome, c.monitors);
    EXPECT_EQ(got, c.expected) << c.what << ": expected " << c.expected.left << "," << c.expected.top << " "
                               << c.expected.right << "," << c.expected.bottom << ", got " << got.left << ","
                               << got.top << " " << got.right << "," << got.bottom;
  }
}

TEST(OwnFiles, NameEveryFileTheClockKeepsBesideItself) {
  const std::vector<std::string> own = OwnFileNames("Clock.exe", "clock.kvx");
  const std::string store = "Alarm.sav";
  const std::string expected[] = {"Clock.exe", "clock.kvx", store, PathToUtf8(AlarmStore::TempPathFor(store)),
                                  store + ".unreadable", "tmp.swf"};
  for (const std::string& name : expected)
    EXPECT_NE(std::find(own.begin(), own.end(), name), own.end()) << name << " is missing from the program's own files";
}

TEST(CommandLine, SplitsAsThePlatformDoes) {
  struct Case {
    const wchar_t* line;
    std::vector<std::wstring> params;
  } cases[] = {
      {L"DeskClock.exe", {}},
      {L"DeskClock.exe p", {L"p"}},
      {L"\"C:\\My Clocks\\DeskClock.exe\" p", {L"p"}},
      {L"C:\\a\\b.exe   p  \t q ", {L"p", L"q"}},
      {L"x.exe \"p q\" r", {L"p q", L"r"}},
      {L"x.exe a\\\\\\\"b", {L"a\\\"b"}},      // 3 backslashes and a quote: one backslash, a quote
      {L"x.exe a\\\\\"b c\"", {L"a\\b c"}},     // 2 backslashes and a quote: one backslash, quoting
      {L"x.exe a\\b\\\\c", {L"a\\b\\\\c"}},     // backslashes before no quote stand
      {L"x.exe \"a\"\"b\"", {L"a\"b"}},         // "" inside quotes
      {L"x.exe \"\" p", {L"", L"p"}},           // an empty parameter
      {L"x.exe \"open", {L"open"}},             // an unclosed quote runs to the end
  };
  for (const Case& c : cases) {
    const std::vector<std::wstring> got = SplitCommandLine(c.line);
    EXPECT_EQ(got, c.params) << "for the line of " << std::wstring_view(c.line).size() << " characters, case "
                             << (&c - cases);
  }
}
