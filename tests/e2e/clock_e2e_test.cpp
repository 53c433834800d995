// The real clock running: its digits on the screen (checked against the
// demo's geometry worked out by hand), one clock per folder, and the alarm
// dialogs.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/file_io.h"

#include "base/win_text.win.h"
#include "pixels.h"
#include "player_driver.h"
#include "ui/window_classes.h"
#include "test_support.h"

using namespace std::chrono_literals;
using dctest::PlayerProcess;
using dctest::TempDir;

namespace {

std::filesystem::path InstallDemo(const TempDir& dir) {
  std::filesystem::copy_file(dctest::PictureClockPackage(), dir / "demo.kvx");
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

// The demo clock's digits, from its manifest: cells 15 x 27 with a gap of
// 3 and no margins, lit #F7FF00 on #283246, segments 3 pixels thick. A
// pixel inside each segment of such a cell, worked out by hand from the
// segment shapes, and inside each colon dot.
constexpr int kCellWidth = 15, kCellStep = 15 + 3, kCellHeight = 27;
constexpr std::uint32_t kLit = 0xF7FF00, kBackground = 0x283246;
struct Probe {
  char segment;
  int x, y;
};
constexpr Probe kSegments[] = {{'a', 5, 1},  {'b', 9, 7}, {'c', 9, 20}, {'d', 5, 25},
                               {'e', 1, 20}, {'f', 1, 7}, {'g', 5, 13}};
constexpr Probe kColonDots[] = {{':', 7, 10}, {':', 7, 16}};
// The segments each digit lights.
constexpr const char* kDigitSegments[] = {"abcdef", "bc",     "abdeg", "abcdg",   "bcfg",
                                          "acdfg",  "acdefg", "abc",   "abcdefg", "abcdfg"};

// What the probes of `text`'s cells should read: lit where the character
// lights the probe's segment or dot, the background elsewhere.
std::string ExpectedProbes(const std::string& text) {
  std::string out;
  for (char c : text) {
    for (const Probe& p : kSegments) {
      const bool lit = c >= '0' && c <= '9' && std::strchr(kDigitSegments[c - '0'], p.segment);
      out += lit ? '#' : '.';
    }
    for (const Probe& p : kColonDots) out += c == ':' ? (p.segment == ':' ? '#' : '.') : '.';
    out += ' ';
  }
  return out;
}

std::string ReadProbes(const std::vector<std::uint32_t>& px, int w, std::size_t cells) {
  std::string out;
  for (std::size_t k = 0; k < cells; ++k) {
    for (const auto* set : {std::begin(kSegments), std::begin(kColonDots)}) {
      const Probe* end = set == std::begin(kSegments) ? std::end(kSegments) : std::end(kColonDots);
      for (const Probe* p = set; p != end; ++p) {
        const std::uint32_t pixel = px[p->y * w + static_cast<int>(k) * kCellStep + p->x];
        out += pixel == kLit ? '#' : pixel == kBackground ? '.' : '?';
      }
    }
    out += ' ';
  }
  return out;
}

}  // namespace

TEST(ClockEndToEnd, TheDigitsOnTheScreenShowTheTimeInTheLocalesFormat) {
  // A 24-hour locale with leading zeros: "HH:mm:ss", eight cells.
  dctest::ScopedTimeFormat locale(L"HH:mm:ss", L"1", L"1");
  TempDir dir;
  auto exe = InstallDemo(dir);
  PlayerProcess player(exe, L"p");
  HWND clock = player.WaitForWindow(dc::ui::kClockClass, 30s);
  ASSERT_TRUE(clock);
  HWND led = ChildOfClass(clock, dc::ui::kLedDisplayClass);
  ASSERT_TRUE(led);
  Sleep(300);
  RECT client;
  GetClientRect(led, &client);
  EXPECT_EQ(client.right, 8 * kCellWidth + 7 * 3) << "eight cells and seven gaps";
  EXPECT_EQ(client.bottom, kCellHeight);

  // The digits change every second: compare with the seconds around the
  // moment the screen was read.
  bool matched = false;
  std::string seen;
  for (int attempt = 0; attempt < 5 && !matched; ++attempt) {
    Sleep(300);
    const std::string probes = ReadProbes(WindowPixels(led, client.right, client.bottom), client.right, 8);
    SYSTEMTIME st;
    GetLocalTime(&st);
    for (int back : {0, 1, 2}) {
      const int day = st.wHour * 3600 + st.wMinute * 60 + st.wSecond - back + 86400;
      char text[16];
      std::snprintf(text, sizeof text, "%02d:%02d:%02d", day / 3600 % 24, day / 60 % 60, day % 60);
      if (probes == ExpectedProbes(text)) matched = true;
      seen += std::string("[") + text + "] ";
    }
    seen += "screen " + probes + "; ";
  }
  EXPECT_TRUE(matched) << "the digits on the screen are no recent time: " << seen;
  PostMessageW(clock, WM_CLOSE, 0, 0);
  EXPECT_EQ(player.WaitForExit(20s), 0);
}

TEST(ClockEndToEnd, ASecondStartInTheSameFolderShowsTheRunningClockAndExits) {
  TempDir dir;
  auto exe = InstallDemo(dir);
  PlayerProcess first(exe);
  HWND clock = first.WaitForWindow(dc::ui::kClockClass, 30s);
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
  HWND clock = player.WaitForWindow(dc::ui::kClockClass, 30s);
  ASSERT_TRUE(clock);
  ASSERT_EQ(dctest::ReadBytes(dir / "Alarm.sav").size(), 10u);
  // The menu's "&Alarms" (command 100), as the tray icon's menu sends it.
  PostMessageW(clock, WM_COMMAND, MAKEWPARAM(100, 0), 0);
  HWND list = player.WaitForWindow(dc::ui::kAlarmListClass, 20s);
  ASSERT_TRUE(list);
  PostMessageW(list, WM_COMMAND, MAKEWPARAM(302, BN_CLICKED), 0);  // "&Add"
  HWND editor = player.WaitForWindow(dc::ui::kAlarmEditorClass, 20s);
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
