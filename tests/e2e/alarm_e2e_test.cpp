// Run under faketime a few seconds before 07:30 (see CMakeLists.txt): the
// real clock with an EveryDay alarm at 07:30 shows its popup at that minute,
// and the popup closes after the package's display duration. A Flash face
// whose scripts run away every frame stops neither the seconds nor that
// popup.
#include <gtest/gtest.h>

#include <cstring>

#include "alarms/alarm_record.h"
#include "base/date_time.h"
#include "base/fixed_text.h"
#include "package/package_records.h"
#include "player_driver.h"
#include "package_builder.h"
#include "pixels.h"
#include "testkit/avm1_assembler.h"
#include "testkit/swf_writer.h"
#include "ui/window_classes.h"
#include "test_support.h"

using namespace std::chrono_literals;
using dctest::Bytes;
using dctest::PlayerProcess;
using dctest::TempDir;

namespace {

void WriteOneAlarmAt0730(const std::filesystem::path& dir) {
  dc::AlarmStoreHeader header{};
  std::memcpy(header.Magic, "KVX", 3);
  header.Count = 1;
  header.StayOnTop = 1;
  const dc::AlarmRecord alarm = dctest::EveryDay("Stand up", "Stretch && walk", 7, 30);
  dctest::WriteBytes(dir / "Alarm.sav", dctest::Concat({dctest::BytesOf(header), dctest::BytesOf(alarm)}));
}

// A 200 x 100 movie whose frame script sets onEnterFrame to an endless
// loop: every frame runs its scripts to the end of their budget.
dctest::Bytes RunawayMovie() {
  namespace op = dc::swf::avm1::test::op;
  dc::swf::avm1::test::Asm loop;
  loop.Label("top").Jump("top");
  dc::swf::avm1::test::Asm frame;
  frame.Get("this").Push({"onEnterFrame"}).Function("", {}, loop).Op(op::SetMember);
  dc::swf::test::Header header;
  header.version = 6;
  header.stage = dc::swf::TwipRect{0, 4000, 0, 2000};
  return dc::swf::test::Fws(header, dc::swf::test::Concat({dc::swf::test::DoActionTag(*frame.Bytes()),
                                                           dc::swf::test::ShowFrame()}));
}

}  // namespace

TEST(AlarmEndToEnd, TheAlarmShowsItsPopupAtItsMinuteAndTheDisplayTimeEndsIt) {
  SYSTEMTIME st;
  GetLocalTime(&st);
  ASSERT_EQ(st.wHour, 7) << "this test runs under faketime shortly before 07:30";
  ASSERT_EQ(st.wMinute, 29);

  TempDir dir;
  // The demo package with a display time of 2 seconds.
  Bytes package = dctest::ReadBytes(dctest::PictureClockPackage());
  const std::int32_t seconds = 2;
  std::memcpy(package.data() + dc::kPopupOffset + offsetof(dc::PopupSettings, DisplaySeconds), &seconds, 4);
  dctest::WriteBytes(dir / "demo.kvx", package);
  auto exe = dctest::InstallPlayer(dir.path(), L"DeskClock.exe", "demo.kvx");

  WriteOneAlarmAt0730(dir.path());

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

// Run under faketime a few seconds before 07:30 (a test of its own in
// CMakeLists.txt): the digits go on changing and the popup comes at 07:30
// while the face's scripts overrun every frame.
TEST(HostileFace, TheSecondsTickAndTheAlarmRingsWhileItsScriptsRunAway) {
  SYSTEMTIME st;
  GetLocalTime(&st);
  ASSERT_EQ(st.wHour, 7) << "this test runs under faketime shortly before 07:30";
  ASSERT_EQ(st.wMinute, 29);
  TempDir dir;
  // The picture clock's popup and sound, with the runaway movie as face.
  const Bytes picture = dctest::ReadBytes(dctest::PictureClockPackage());
  dctest::PackageParts p = dctest::DemoParts();
  std::memcpy(&p.alert, picture.data() + dc::kPopupOffset, sizeof p.alert);
  p.sound.assign(picture.end() - p.alert.SoundLength, picture.end());
  p.face = RunawayMovie();
  std::memcpy(p.display.FaceType, ".swf\0", 5);
  p.display.FaceWidth = 200;
  p.display.FaceHeight = 100;
  p.display.LedLeft = 10;
  p.display.LedTop = 60;
  p.display.CellWidth = 9;
  p.display.CellHeight = 15;
  p.display.Thickness = 2;
  p.display.Opacity = 255;
  p.alert.DisplaySeconds = 2;
  dctest::WriteBytes(dir / "hostile.kvx", p.Bytes());
  auto exe = dctest::InstallPlayer(dir.path(), L"DeskClock.exe", "hostile.kvx");
  WriteOneAlarmAt0730(dir.path());

  PlayerProcess player(exe);
  HWND clock = player.WaitForWindow(dc::ui::kClockClass, 30s);
  ASSERT_TRUE(clock);
  // The digits' row, read twice 1.5 s apart: a second has passed on it.
  const auto digits = [clock] {
    RECT r{};
    GetWindowRect(clock, &r);
    HDC screen = GetDC(nullptr);
    std::vector<std::uint32_t> px = dctest::ReadPixels(screen, r.left + 10, r.top + 60, 180, 15);
    ReleaseDC(nullptr, screen);
    return px;
  };
  const std::vector<std::uint32_t> first = digits();
  Sleep(1500);
  EXPECT_NE(digits(), first) << "the seconds stood still";
  HWND popup = player.WaitForWindow(dc::ui::kPopupClass, 40s);
  ASSERT_TRUE(popup) << "no popup at 07:30";
  GetLocalTime(&st);
  EXPECT_EQ(st.wMinute, 30);
  // And once the popup has gone (it may lie over the digits), the seconds
  // still tick, the face's scripts long stopped.
  const auto shown = std::chrono::steady_clock::now();
  while (IsWindow(popup) && IsWindowVisible(popup) && std::chrono::steady_clock::now() - shown < 15s) Sleep(50);
  EXPECT_FALSE(IsWindow(popup) && IsWindowVisible(popup)) << "the popup stayed";
  const std::vector<std::uint32_t> later = digits();
  Sleep(1500);
  EXPECT_NE(digits(), later) << "the seconds stood still after the stop";
  PostMessageW(clock, WM_CLOSE, 0, 0);
  EXPECT_EQ(player.WaitForExit(20s), 0);
}
