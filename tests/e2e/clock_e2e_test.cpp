// The real clock running: its digits on the screen, and one clock per folder.
#include <gtest/gtest.h>

#include <vector>

#include "app/clock_tick.h"
#include "base/ansi_text.h"
#include "base/win_text.h"
#include "led/led_model.h"
#include "package/clock_db.h"
#include "pixels.h"
#include "player_driver.h"
#include "test_support.h"

using namespace std::chrono_literals;
using dctest::PlayerProcess;
using dctest::TempDir;

namespace {

std::filesystem::path InstallDemo(const TempDir& dir) {
  std::filesystem::copy_file(dctest::DemoPackage(), dir / "demo.kvx");
  return dctest::InstallPlayer(dir.path(), L"DeskClock.exe", "demo.kvx");
}

HWND ChildOfClass(HWND parent, const wchar_t* cls) { return FindWindowExW(parent, nullptr, cls, nullptr); }

// What the screen shows where the window lies (another process's window
// cannot be read through its own device context).
std::vector<std::uint32_t> WindowPixels(HWND hwnd, int w, int h) {
  RECT at;
  GetWindowRect(hwnd, &at);
  HDC screen = GetDC(nullptr);
  std::vector<std::uint32_t> px = dctest::ReadPixels(screen, at.left, at.top, w, h);
  ReleaseDC(nullptr, screen);
  return px;
}

// The locale's long time format, as the player reads it.
dc::TimeFormat LocaleFormat() {
  auto text = [](LCTYPE t) {
    wchar_t buf[32] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, t, buf, 32);
    return std::wstring(buf);
  };
  dc::TimeFormat f;
  f.leadingZero = text(LOCALE_ITLZERO) == L"1";
  f.separator = dc::WideToUtf8(text(LOCALE_STIME));
  f.twelveHour = text(LOCALE_ITIME) != L"1";
  f.designatorFirst = text(LOCALE_ITIMEMARKPOSN) == L"1";
  f.am = dc::WideToUtf8(text(LOCALE_S1159));
  f.pm = dc::WideToUtf8(text(LOCALE_S2359));
  return f;
}

}  // namespace

TEST(ClockEndToEnd, TheDigitsOnTheScreenAreTheTimeAsTheCoreDrawsIt) {
  TempDir dir;
  auto exe = InstallDemo(dir);
  PlayerProcess player(exe, L"p");
  HWND clock = player.WaitForWindow(L"DeskClockWindow", 30s);
  ASSERT_TRUE(clock);
  HWND led = ChildOfClass(clock, L"TLEDFontNum");
  ASSERT_TRUE(led);

  dc::TClockDB db;
  db.Load(dctest::DemoPackage());
  const dc::TDisplaySettings& d = db.Display();
  dc::led::LedModel model;
  model.SetThick(3);
  model.SetSpace(4);
  model.SetWordWidth(d.WordWidth);
  model.SetWordHeight(d.WordHeight);
  model.SetSpace(d.Space);
  model.SetBGColor(d.LedBackColor);
  model.SetDarkColor(d.LedBackColor);
  model.SetLightColor(d.LedLightColor);
  model.SetThick(d.Thick);
  model.SetOffSetX(d.OffSetX);
  model.SetOffSetY(d.OffSetY);

  // The digits change every second: compare with the texts of the seconds
  // around the moment the screen was read.
  bool matched = false;
  std::string seen;
  for (int attempt = 0; attempt < 5 && !matched; ++attempt) {
    Sleep(300);
    RECT client;
    GetClientRect(led, &client);
    const int w = client.right, h = client.bottom;
    ASSERT_GT(w, 0);
    std::vector<std::uint32_t> screen = WindowPixels(led, w, h);
    SYSTEMTIME st;
    GetLocalTime(&st);
    for (int delta : {0, -1, -2}) {
      FILETIME ft;
      SystemTimeToFileTime(&st, &ft);
      ULARGE_INTEGER u{{ft.dwLowDateTime, ft.dwHighDateTime}};
      u.QuadPart += static_cast<ULONGLONG>(static_cast<LONGLONG>(delta) * 10'000'000LL);
      ft = {u.LowPart, u.HighPart};
      SYSTEMTIME t;
      FileTimeToSystemTime(&ft, &t);
      std::string text = dc::FormatLongTime(LocaleFormat(), {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond});
      model.SetText(text);
      model.size = {w, h};
      if (model.TextWidth() != w) {
        seen += "[" + text + ": width " + std::to_string(model.TextWidth()) + " vs " + std::to_string(w) + "]";
        continue;
      }
      std::vector<std::uint32_t> expected(static_cast<std::size_t>(w) * h);
      dc::led::PixelTarget target{expected.data(), w, h, w};
      model.Render(target);
      if (expected == screen) {
        matched = true;
        break;
      }
      int wrong = 0;
      for (std::size_t i = 0; i < expected.size(); ++i) wrong += expected[i] != screen[i];
      char buf[96];
      std::snprintf(buf, sizeof buf, "[%s: %d of %d pixels differ, screen %06x expected %06x]", text.c_str(), wrong,
                    w * h, screen[0], expected[0]);
      seen += buf;
    }
  }
  EXPECT_TRUE(matched) << "the digits on the screen are no recent time: " << seen;
  PostMessageW(clock, WM_CLOSE, 0, 0);
  EXPECT_EQ(player.WaitForExit(20s), 0);
}

TEST(ClockEndToEnd, ASecondStartInTheSameFolderShowsTheRunningClockAndExits) {
  TempDir dir;
  auto exe = InstallDemo(dir);
  PlayerProcess first(exe);
  HWND clock = first.WaitForWindow(L"DeskClockWindow", 30s);
  ASSERT_TRUE(clock);
  // Hide it ("&Hide" is command 101), then start again.
  PostMessageW(clock, WM_COMMAND, MAKEWPARAM(101, 0), 0);
  for (int i = 0; i < 100 && IsWindowVisible(clock); ++i) Sleep(50);
  ASSERT_FALSE(IsWindowVisible(clock));
  PlayerProcess second(exe);
  EXPECT_EQ(second.WaitForExit(20s), 0);
  for (int i = 0; i < 100 && !IsWindowVisible(clock); ++i) Sleep(50);
  EXPECT_TRUE(IsWindowVisible(clock)) << "the running clock shows itself";
  EXPECT_EQ(first.WaitForExit(200ms), -1) << "the first clock runs on";
  EXPECT_TRUE(dc::FileExists(dir / "chime.wav")) << "the second start deleted nothing";
  PostMessageW(clock, WM_CLOSE, 0, 0);
  EXPECT_EQ(first.WaitForExit(20s), 0);
}

TEST(ClockEndToEnd, AlarmsAddOkAddsTheNewAlarmToAlarmSav) {
  TempDir dir;
  auto exe = InstallDemo(dir);
  PlayerProcess player(exe, L"p");
  HWND clock = player.WaitForWindow(L"DeskClockWindow", 30s);
  ASSERT_TRUE(clock);
  ASSERT_EQ(dctest::ReadBytes(dir / "Alarm.sav").size(), 10u);
  // The menu's "&Alarms" (command 100), as the tray icon's menu sends it.
  PostMessageW(clock, WM_COMMAND, MAKEWPARAM(100, 0), 0);
  HWND list = player.WaitForWindow(L"TfrmAlarmList", 20s);
  ASSERT_TRUE(list);
  PostMessageW(list, WM_COMMAND, MAKEWPARAM(302, BN_CLICKED), 0);  // "&Add"
  HWND editor = player.WaitForWindow(L"TfrmModifyAlarm", 20s);
  ASSERT_TRUE(editor);
  wchar_t caption[32] = {};
  GetWindowTextW(editor, caption, 32);
  EXPECT_STREQ(caption, L"Add Alarm");
  PostMessageW(editor, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  dctest::Bytes file;
  for (int i = 0; i < 100 && file.size() != 354; ++i) {
    Sleep(100);
    file = dctest::ReadBytes(dir / "Alarm.sav");
  }
  ASSERT_EQ(file.size(), 10u + 344u);
  EXPECT_EQ(file[6], 1);  // Count
  EXPECT_EQ(file[10], 0);  // Kind: Once
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data()) + 10 + 22), "Alarm1");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data()) + 10 + 86), "Don't forget......");
  PostMessageW(list, WM_COMMAND, MAKEWPARAM(305, BN_CLICKED), 0);  // "&Exit"
  for (int i = 0; i < 50 && IsWindow(list); ++i) Sleep(100);
  EXPECT_FALSE(IsWindow(list));
  PostMessageW(clock, WM_CLOSE, 0, 0);
  EXPECT_EQ(player.WaitForExit(20s), 0);
}
