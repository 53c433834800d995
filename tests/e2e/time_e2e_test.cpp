// The real clock when time does not run evenly, driven under faketime:
// a jump over many minutes (a machine asleep, a clock set forward), and a
// snoozed alarm coming back while the clock runs ten times too fast.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "alarms/alarm_record.h"
#include "base/date_time.h"
#include "base/fixed_text.h"
#include "package/package_records.h"
#include "player_driver.h"
#include "test_support.h"
#include "ui/window_classes.h"
#include "x_input.h"

using namespace std::chrono_literals;
using dctest::Bytes;
using dctest::PlayerProcess;
using dctest::TempDir;
namespace input = dctest::input;

namespace {

using dctest::EveryDay;

std::filesystem::path Install(const TempDir& dir, std::initializer_list<dc::AlarmRecord> alarms) {
  return dctest::InstallDemoWithAlarms(dir, alarms);
}

const auto TextOf = dctest::WindowText;
const auto Popups = dctest::VisiblePopupTexts;

std::multiset<std::wstring> WaitForPopups(DWORD pid, std::size_t count, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  std::multiset<std::wstring> seen = Popups(pid);
  while (seen.size() < count && std::chrono::steady_clock::now() < end) {
    Sleep(100);
    seen = Popups(pid);
  }
  return seen;
}

// What the player's sound does, as its hidden window says.
std::wstring SoundState() {
  HWND sound = FindWindowExW(HWND_MESSAGE, nullptr, dc::ui::kSoundClass, nullptr);
  return sound ? TextOf(sound) : L"(no sound window)";
}

void At(int hour, int minute) {
  SYSTEMTIME st;
  GetLocalTime(&st);
  ASSERT_TRUE(st.wHour == hour && st.wMinute == minute)
      << "this test runs under faketime at " << hour << ":" << minute << ", not " << st.wHour << ":" << st.wMinute;
}

}  // namespace

// Run with FAKETIME_TIMESTAMP_FILE naming a file that holds
// "@2026-12-08 10:04:50" (see CMakeLists.txt): rewriting it jumps the clock.
TEST(MissedMinutes, AnAlarmInsideAJumpRingsOnceMarkedLateAndOneInTheCurrentMinuteIsNot) {
  const char* stamp = std::getenv("FAKETIME_TIMESTAMP_FILE");
  ASSERT_TRUE(stamp) << "run under faketime with a timestamp file";
  At(10, 4);
  dctest::ScopedTimeFormat locale(L"HH:mm:ss", L"1", L"1", L"HH:mm");
  TempDir dir;
  auto exe = Install(dir, {EveryDay("Meeting", "Room 4", 10, 9), EveryDay("Now", "Coffee", 10, 30),
                           EveryDay("Before", "gone", 10, 4), EveryDay("Later", "not yet", 10, 45)});
  PlayerProcess player(exe, L"p");
  ASSERT_TRUE(player.WaitForWindow(dc::ui::kClockClass, 30s));
  Sleep(1500);
  EXPECT_TRUE(Popups(player.Id()).empty()) << "nothing is due at 10:04";

  // The machine sleeps from 10:04 to 10:30.
  std::ofstream(std::filesystem::path("Z:" + std::string(stamp))) << "@2026-12-08 10:30:05\n";
  const std::multiset<std::wstring> seen = WaitForPopups(player.Id(), 2, 20s);
  EXPECT_EQ(seen, (std::multiset<std::wstring>{L"Meeting (missed at 10:09)\r\nRoom 4", L"Now\r\nCoffee"}));
  Sleep(3000);
  EXPECT_EQ(Popups(player.Id()).size(), 2u) << "each alarm rang once";
  EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav").size(), 10u + 4 * 344u) << "firing changes no alarm";
}

// Run under faketime from 07:29:55 at ten times the real pace (each
// process's clock starts there when the process starts).
TEST(Snooze, ASnoozedPopupComesBackOnceMarkedWithItsSound) {
  TempDir dir;
  auto exe = Install(dir, {EveryDay("Tea", "Kettle", 7, 30)});
  PlayerProcess player(exe);  // with its sound
  ASSERT_TRUE(player.WaitForWindow(dc::ui::kClockClass, 30s));
  HWND popup = player.WaitForWindow(dc::ui::kPopupClass, 30s);
  ASSERT_TRUE(popup) << "the alarm rings at 07:30";
  EXPECT_EQ(TextOf(popup), L"Tea\r\nKettle");
  EXPECT_EQ(SoundState(), L"Playing chime.wav (1 plays)");

  // The drop-down button, 16 pixels left of the close button; its menu's
  // first command, "Snooze 5 minutes".
  Sleep(600);  // shown whole
  RECT r{};
  GetWindowRect(popup, &r);
  input::Click(1, {r.right - 25, r.top + 17});
  HWND menu = player.WaitForWindow(L"#32768", 5s);
  ASSERT_TRUE(menu) << "the drop-down opens the snooze menu";
  RECT m{};
  GetWindowRect(menu, &m);
  input::Click(1, {m.left + 20, m.top + 8});
  const auto snoozed = std::chrono::steady_clock::now();
  EXPECT_TRUE(player.WaitForNoWindow(dc::ui::kPopupClass, 5s)) << "snoozing closes the popup";
  EXPECT_EQ(SoundState(), L"Closed (1 plays)") << "and its sound stops";

  // Five minutes later, thirty seconds of real time.
  popup = player.WaitForWindow(dc::ui::kPopupClass, 60s);
  ASSERT_TRUE(popup) << "the snoozed alarm comes back";
  EXPECT_GE(std::chrono::steady_clock::now() - snoozed, 25s) << "after five minutes of the clock's time, not before";
  EXPECT_EQ(TextOf(popup), L"Tea (snoozed)\r\nKettle");
  EXPECT_EQ(SoundState(), L"Playing chime.wav (2 plays)") << "the sound plays again";
  Sleep(3000);
  EXPECT_EQ(Popups(player.Id()).size(), 1u) << "it comes back once";
}
