// The clock window's mouse and system messages under Wine: a left press
// drags it with the system's move, a right press makes it follow the pointer
// and then opens its menu; resuming from sleep and a clock change tick at
// once.
#include <gtest/gtest.h>

#include <vector>

#include "base/date_time.h"
#include "clock_fixture.h"

using namespace dc;
using dctest::Clock;

namespace {

WNDPROC g_clockProc = nullptr;
std::vector<WPARAM> g_sysCommands;

// Keeps the system commands the clock sends itself, and runs none: a move
// loop would wait for a real button.
LRESULT CALLBACK RecordSysCommand(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SYSCOMMAND) {
    g_sysCommands.push_back(wp);
    return 0;
  }
  return CallWindowProcW(g_clockProc, hwnd, msg, wp, lp);
}

bool g_menuWasOpen = false;

void CALLBACK EndTheMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND menu = FindWindowW(L"#32768", nullptr);
  g_menuWasOpen = menu && IsWindowVisible(menu);
  EndMenu();
}

}  // namespace

TEST(ClockWindow, ALeftPressDragsWithTheSystemsMoveAndARightPressFollowsThePointerThenOpensTheMenu) {
  Clock c;
  g_sysCommands.clear();
  g_clockProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(c.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordSysCommand)));
  HWND face = c.form->FaceWindow(), led = c.form->Led().hwnd();
  SendMessageW(face, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(led, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(g_sysCommands, (std::vector<WPARAM>{0xF012, 0xF012})) << "SC_MOVE | HTCAPTION, from the face and the digits";

  // The right button: the clock takes the mouse and follows the pointer.
  const RECT start = c.Window();
  SetCursorPos(start.left + 20, start.top + 10);
  SendMessageW(led, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(GetCapture(), c.hwnd());
  SetCursorPos(start.left + 20 - 70, start.top + 10 - 40);
  SendMessageW(c.hwnd(), WM_MOUSEMOVE, MK_RBUTTON, 0);
  const RECT moved = c.Window();
  EXPECT_EQ(moved.left, start.left - 70);
  EXPECT_EQ(moved.top, start.top - 40);
  // Released: the menu opens (and is dismissed here), and a menu command
  // is posted only when one is chosen.
  g_menuWasOpen = false;
  SetTimer(nullptr, 0, 200, EndTheMenu);
  SendMessageW(c.hwnd(), WM_RBUTTONUP, 0, 0);
  EXPECT_TRUE(g_menuWasOpen) << "the release opens the menu";
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(g_sysCommands.size(), 2u) << "the right button's drag needs no move loop";
  SetWindowLongPtrW(c.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_clockProc));
}

TEST(ClockWindow, WakingFromSleepOrAClockChangeTicksAtOnce) {
  Clock c;
  AlarmRecord r{};
  r.Kind = static_cast<std::uint8_t>(AlarmKind::EveryDay);
  r.Time = *EncodeDateTime({2026, 12, 8, 10, 9, 0});
  c.form->Store().AddAlarm(r);
  // Asleep from 09:59:58 to 10:30:20: the resume message ticks at once.
  c.now = {2026, 12, 8, 10, 30, 20};
  SendMessageW(c.hwnd(), WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
  ASSERT_EQ(c.passes.size(), 1u) << "no wait for the next timer tick";
  ASSERT_EQ(c.passes[0].size(), 1u);
  EXPECT_EQ(c.passes[0][0].kind, FiringKind::Late);
  EXPECT_EQ(c.passes[0][0].due.Minute, 9);
  // The clock set forward to 10:09 of the next day: it rings again, on time.
  c.now = {2026, 12, 9, 10, 9, 30};
  SendMessageW(c.hwnd(), WM_TIMECHANGE, 0, 0);
  ASSERT_EQ(c.passes.size(), 2u);
  EXPECT_EQ(c.passes[1][0].kind, FiringKind::OnTime);
}
