// Run under faketime a few seconds before 07:30 (see CMakeLists.txt): the
// real clock with an EveryDay alarm at 07:30 shows its popup at that minute,
// and the popup closes after the package's display duration.
#include <gtest/gtest.h>

#include <cstring>

#include "alarms/alarm_record.h"
#include "base/date_time.h"
#include "base/fixed_text.h"
#include "package/package_records.h"
#include "player_driver.h"
#include "ui/window_classes.h"
#include "test_support.h"

using namespace std::chrono_literals;
using dctest::Bytes;
using dctest::PlayerProcess;
using dctest::TempDir;

TEST(AlarmEndToEnd, TheAlarmShowsItsPopupAtItsMinuteAndTheDisplayTimeEndsIt) {
  SYSTEMTIME st;
  GetLocalTime(&st);
  ASSERT_EQ(st.wHour, 7) << "this test runs under faketime shortly before 07:30";
  ASSERT_EQ(st.wMinute, 29);

  TempDir dir;
  // The demo package with a display time of 2 seconds.
  Bytes package = dctest::ReadBytes(dctest::DemoPackage());
  const std::int32_t seconds = 2;
  std::memcpy(package.data() + dc::kPopupOffset + offsetof(dc::PopupSettings, DisplaySeconds), &seconds, 4);
  dctest::WriteBytes(dir / "demo.kvx", package);
  auto exe = dctest::InstallPlayer(dir.path(), L"DeskClock.exe", "demo.kvx");

  dc::AlarmStoreHeader header{};
  std::memcpy(header.Magic, "KVX", 3);
  header.Count = 1;
  header.StayOnTop = 1;
  const dc::AlarmRecord alarm = dctest::EveryDay("Stand up", "Stretch && walk", 7, 30);
  dctest::WriteBytes(dir / "Alarm.sav", dctest::Concat({dctest::BytesOf(header), dctest::BytesOf(alarm)}));

  PlayerProcess player(exe);
  ASSERT_TRUE(player.WaitForWindow(dc::ui::kClockClass, 30s));
  HWND popup = player.WaitForWindow(dc::ui::kPopupClass, 40s);
  ASSERT_TRUE(popup) << "no popup at 07:30";
  GetLocalTime(&st);
  EXPECT_EQ(st.wMinute, 30);
  wchar_t text[256] = {};
  GetWindowTextW(popup, text, 256);
  EXPECT_STREQ(text, L"Stand up\r\nStretch && walk");
  RECT r{};
  GetWindowRect(popup, &r);
  EXPECT_EQ(r.right - r.left, 329);

  // Shown 2 s after its 250 ms fade-in, then up to 200 ms to the next poll
  // and a 500 ms fade-out.
  const auto shown = std::chrono::steady_clock::now();
  while (IsWindow(popup) && IsWindowVisible(popup) && std::chrono::steady_clock::now() - shown < 15s) Sleep(50);
  const auto took = std::chrono::steady_clock::now() - shown;
  EXPECT_FALSE(IsWindow(popup) && IsWindowVisible(popup)) << "the popup stayed";
  EXPECT_GE(took, 2s);
  EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav").size(), 10u + 344u) << "firing changes no alarm";

  HWND clock = player.WaitForWindow(dc::ui::kClockClass, 1s);
  PostMessageW(clock, WM_CLOSE, 0, 0);
  EXPECT_EQ(player.WaitForExit(20s), 0);
}
