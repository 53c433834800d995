// The clock as a user drives it, through the X server's own mouse and
// keyboard: dragging it with either button, its menu, hiding and showing
// it, and the alarm dialogs from the keyboard alone.
#include <gtest/gtest.h>

#include "player_driver.h"
#include "test_support.h"
#include "ui/window_classes.h"
#include "x_input.h"

using namespace std::chrono_literals;
using dctest::PlayerProcess;
using dctest::TempDir;
namespace input = dctest::input;

namespace {

constexpr wchar_t kMenuClass[] = L"#32768";

struct DemoClock {
  TempDir dir;
  std::unique_ptr<PlayerProcess> player;
  HWND clock = nullptr;

  DemoClock() {
    std::filesystem::copy_file(dctest::PictureClockPackage(), dir / "demo.kvx");
    auto exe = dctest::InstallPlayer(dir.path(), L"DeskClock.exe", "demo.kvx");
    player = std::make_unique<PlayerProcess>(exe, L"p");
    clock = player->WaitForWindow(dc::ui::kClockClass, 30s);
    Sleep(500);  // settled where it shows
  }
  ~DemoClock() {
    input::ReleaseAll();
    if (clock) PostMessageW(clock, WM_CLOSE, 0, 0);
    if (player) player->WaitForExit(20s);
  }
  RECT Rect() const {
    RECT r{};
    GetWindowRect(clock, &r);
    return r;
  }
  // Waits for the window to leave `from`; its rectangle then.
  RECT WaitForMove(const RECT& from, std::chrono::milliseconds timeout = 3s) const {
    const auto end = std::chrono::steady_clock::now() + timeout;
    RECT r = Rect();
    while (r.left == from.left && r.top == from.top && std::chrono::steady_clock::now() < end) {
      Sleep(50);
      r = Rect();
    }
    Sleep(300);  // the last motion
    return Rect();
  }
};

POINT Offset(POINT p, int dx, int dy) { return {p.x + dx, p.y + dy}; }

}  // namespace

TEST(Input, ALeftButtonDragMovesTheClockByTheDragDistance) {
  DemoClock c;
  ASSERT_TRUE(c.clock);
  const RECT before = c.Rect();
  const POINT onFace{before.left + 40, before.top + 20};
  input::Drag(1, onFace, Offset(onFace, -150, -100));
  const RECT after = c.WaitForMove(before);
  EXPECT_EQ(after.left - before.left, -150);
  EXPECT_EQ(after.top - before.top, -100);
  EXPECT_EQ(after.right - after.left, before.right - before.left) << "moved, not sized";
}

TEST(Input, ARightButtonPressAndMoveMovesTheClockThenOpensItsMenu) {
  DemoClock c;
  ASSERT_TRUE(c.clock);
  const RECT before = c.Rect();
  const POINT onDigits{before.left + 20, before.top + 45};  // the LED display lies at (12, 34)
  input::PressAndMove(3, onDigits, Offset(onDigits, -120, -80));
  input::ReleaseButtons();
  const RECT after = c.WaitForMove(before);
  EXPECT_EQ(after.left - before.left, -120);
  EXPECT_EQ(after.top - before.top, -80);
  EXPECT_TRUE(c.player->WaitForWindow(kMenuClass, 5s)) << "the menu opens after the move";
  input::Keys({"Escape"});
  EXPECT_TRUE(c.player->WaitForNoWindow(kMenuClass, 5s));
}

TEST(Input, HideThenShowPutsTheClockBackAtTheBottomRight) {
  DemoClock c;
  ASSERT_TRUE(c.clock);
  const RECT home = c.Rect();
  EXPECT_EQ(home.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(home.bottom, GetSystemMetrics(SM_CYSCREEN) - 30);
  const POINT onFace{home.left + 40, home.top + 20};
  input::Drag(1, onFace, Offset(onFace, -300, -200));
  ASSERT_EQ(c.WaitForMove(home).left, home.left - 300);
  // "&Hide" from the clock's own menu, then a double click on the tray icon.
  const RECT moved = c.Rect();
  input::Click(3, {moved.left + 40, moved.top + 20});
  ASSERT_TRUE(c.player->WaitForWindow(kMenuClass, 5s));
  input::Keys({"h"});
  for (int i = 0; i < 60 && IsWindowVisible(c.clock); ++i) Sleep(50);
  ASSERT_FALSE(IsWindowVisible(c.clock));
  input::DoubleClick(1, dctest::TrayIconPoint());
  for (int i = 0; i < 60 && !IsWindowVisible(c.clock); ++i) Sleep(50);
  ASSERT_TRUE(IsWindowVisible(c.clock));
  // Shown again, it stands at home (a window manager may take a moment to
  // map it where it asked to be).
  RECT back{};
  for (int i = 0; i < 60; ++i) {
    Sleep(50);
    ASSERT_TRUE(GetWindowRect(c.clock, &back)) << "the clock's window is gone: " << GetLastError();
    if (back.left == home.left && back.top == home.top) break;
  }
  EXPECT_EQ(back.left, home.left) << back.left << "," << back.top << " " << back.right << "," << back.bottom;
  EXPECT_EQ(back.top, home.top);
}

namespace {

// The focused control of the player's user-interface thread: its class
// and text.
std::wstring FocusOf(HWND anyWindowOfThePlayer) {
  GUITHREADINFO info{sizeof info};
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(anyWindowOfThePlayer, nullptr), &info) || !info.hwndFocus)
    return L"(none)";
  wchar_t cls[64] = {}, text[64] = {};
  GetClassNameW(info.hwndFocus, cls, 64);
  GetWindowTextW(info.hwndFocus, text, 64);
  return std::wstring(cls) + L" " + text;
}

// The window is the foreground one; keys sent next reach it (the X
// focus, which a loaded window manager may give a little later, is waited
// for too, without failing on it).
bool WaitForForeground(HWND window) {
  for (int i = 0; i < 60 && GetForegroundWindow() != window; ++i) Sleep(50);
  if (GetForegroundWindow() != window) return false;
  input::WaitForKeyboardFocus(window);
  return true;
}

std::size_t StoreSize(const TempDir& dir) { return dctest::ReadBytes(dir / "Alarm.sav").size(); }

}  // namespace

TEST(Input, AlarmDialogsFromTheKeyboardKeepTheListActiveThroughTheEditor) {
  DemoClock c;
  ASSERT_TRUE(c.clock);
  // The tray icon's menu, "&Alarms" (its first item, clicked).
  input::Click(3, dctest::TrayIconPoint());
  HWND menu = c.player->WaitForWindow(kMenuClass, 5s);
  ASSERT_TRUE(menu);
  RECT m{};
  GetWindowRect(menu, &m);
  input::Click(1, {m.left + 20, m.top + 8});
  HWND list = c.player->WaitForWindow(dc::ui::kAlarmListClass, 10s);
  ASSERT_TRUE(list);
  ASSERT_TRUE(WaitForForeground(list));

  // Alt+A, Enter: the editor adds the alarm and gives the list back.
  input::Keys({"alt+a"});
  HWND editor = c.player->WaitForWindow(dc::ui::kAlarmEditorClass, 5s);
  ASSERT_TRUE(editor) << "Alt+A reaches the list";
  wchar_t caption[32] = {};
  GetWindowTextW(editor, caption, 32);
  EXPECT_STREQ(caption, L"Add Alarm");
  input::Keys({"Return"});
  ASSERT_TRUE(c.player->WaitForNoWindow(dc::ui::kAlarmEditorClass, 5s));
  EXPECT_TRUE(WaitForForeground(list)) << "the list is active again, not another window";
  EXPECT_EQ(FocusOf(list), L"Button &Add") << "the focus is back where it was";
  for (int i = 0; i < 50 && StoreSize(c.dir) != 354; ++i) Sleep(100);
  EXPECT_EQ(StoreSize(c.dir), 10u + 344u);

  // Into the list, the new row, Alt+E: the editor edits it; Escape gives
  // the list back with the focus on "&Edit"; Escape closes the list.
  input::Keys({"shift+Tab", "Down", "alt+e"});
  editor = c.player->WaitForWindow(dc::ui::kAlarmEditorClass, 5s);
  ASSERT_TRUE(editor) << "Alt+E reaches the list";
  GetWindowTextW(editor, caption, 32);
  EXPECT_STREQ(caption, L"Edit Alarm");
  input::Keys({"Escape"});
  ASSERT_TRUE(c.player->WaitForNoWindow(dc::ui::kAlarmEditorClass, 5s));
  EXPECT_TRUE(WaitForForeground(list));
  EXPECT_EQ(FocusOf(list), L"Button &Edit");
  input::Keys({"Escape"});
  EXPECT_TRUE(c.player->WaitForNoWindow(dc::ui::kAlarmListClass, 5s));
  const dctest::Bytes file = dctest::ReadBytes(c.dir / "Alarm.sav");
  ASSERT_EQ(file.size(), 10u + 344u) << "Escape in the editor changed nothing";
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data()) + 10 + 22), "Alarm1");
}
