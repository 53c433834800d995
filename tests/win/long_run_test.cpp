// The clock over a month on the desktop, in-process under Wine: closed
// under a question box, at the end of the session, with a box that throws,
// a format and screens the user changes, and handles that must not grow.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <atomic>
#include <thread>
#include <string>
#include <vector>

#include "alarms/alarm_list_dialog.win.h"
#include "base/unique_handle.h"
#include "popup_fixture.h"
#include "ui/window_classes.h"

using namespace dctest;

namespace {

// --- Closing the clock while the list's delete question is open ----------

struct CloseUnderBox {
  HWND clock = nullptr;
  HWND box = nullptr;
  int step = 0;
  int exitPosts = -1;  // WM_COMMAND and WM_CLOSE messages to the clock while the box was up
  bool boxLeftOpen = false;
  HHOOK hook = nullptr;
  std::atomic<int> posts = 0;
  std::thread watcher;  // a clock that spins starves the thread's own timers
} g_close;

LRESULT CALLBACK CountClockPosts(int code, WPARAM wp, LPARAM lp) {
  const MSG* m = reinterpret_cast<const MSG*>(lp);
  if (code == HC_ACTION && wp == PM_REMOVE && m->hwnd == g_close.clock &&
      (m->message == WM_COMMAND || m->message == WM_CLOSE))
    ++g_close.posts;
  return CallNextHookEx(g_close.hook, code, wp, lp);
}

HWND VisibleBoxOf(HWND owner) {
  struct Find {
    HWND owner, found;
  } f{owner, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM lp) -> BOOL {
        auto* f = reinterpret_cast<Find*>(lp);
        wchar_t cls[16] = {};
        GetClassNameW(h, cls, 16);
        if (wcscmp(cls, L"#32770") == 0 && IsWindowVisible(h) && GetWindow(h, GW_OWNER) == f->owner) f->found = h;
        return f->found == nullptr;
      },
      reinterpret_cast<LPARAM>(&f));
  return f.found;
}

void CALLBACK DriveCloseUnderBox(HWND, UINT, UINT_PTR id, DWORD) {
  CloseUnderBox& g = g_close;
  HWND list = FindWindowW(ui::kAlarmListClass, nullptr);
  if (g.step == 0 && list) {
    HWND rows = GetDlgItem(list, dc::AlarmListDialog::kList);
    ListView_SetItemState(rows, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    PostMessageW(list, WM_COMMAND, MAKEWPARAM(dc::AlarmListDialog::kDelete, BN_CLICKED), 0);
    g.step = 1;
  } else if (g.step == 1 && list && (g.box = VisibleBoxOf(list))) {
    KillTimer(nullptr, id);
    g.step = 2;
    g.posts = 0;
    PostMessageW(g.clock, WM_CLOSE, 0, 0);  // as an installer closes the clock
    g.watcher = std::thread([&g] {
      Sleep(600);  // with the question open, or answered
      g.exitPosts = g.posts;
      g.boxLeftOpen = IsWindow(g.box) && IsWindowVisible(g.box);
      if (g.boxLeftOpen) PostMessageW(g.box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);  // let the test end
    });
  }
}

}  // namespace

TEST(LongRun, CloseUnderTheDeleteQuestionAnswersItAndEndsWithoutSpinning) {
  Clock c;
  c.form->Store().AddAlarm(EveryDay("Stand-up", "daily"));
  const Bytes saved = ReadBytes(c.form->AlarmStorePath());
  g_close.step = 0;
  g_close.box = nullptr;
  g_close.exitPosts = -1;
  g_close.boxLeftOpen = false;
  g_close.clock = c.hwnd();
  g_close.hook = SetWindowsHookExW(WH_GETMESSAGE, CountClockPosts, nullptr, GetCurrentThreadId());
  ASSERT_NE(g_close.hook, nullptr);
  SetTimer(nullptr, 0, 100, DriveCloseUnderBox);
  c.Command(MenuCommand::Alarms);  // returns when the list has closed
  if (g_close.watcher.joinable()) g_close.watcher.join();
  Pump();
  UnhookWindowsHookEx(g_close.hook);
  ASSERT_NE(g_close.box, nullptr) << "the delete question never showed";
  EXPECT_FALSE(g_close.boxLeftOpen) << "closing the clock answers its question box";
  EXPECT_LE(g_close.exitPosts, 2) << "messages to the clock while the exit waited: it must not spin";
  EXPECT_FALSE(IsWindow(c.hwnd())) << "the clock ends once the box has closed";
  EXPECT_EQ(c.form->Store().Count(), 1) << "the question was answered No: nothing deleted";
  EXPECT_EQ(ReadBytes(c.form->AlarmStorePath()), saved);
}

TEST(LongRun, SessionEndAsksNothingAndTidiesAtOnce) {
  PackageParts parts = Parts();
  parts.sound = {'R', 'I', 'F', 'F', 0, 0, 0, 0};
  Clock c(parts);
  const std::filesystem::path sound = c.form->SoundFilePath();
  ASSERT_FALSE(sound.empty());
  ASSERT_TRUE(std::filesystem::exists(sound));
  EXPECT_EQ(SendMessageW(c.hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP), TRUE);
  SendMessageW(c.hwnd(), WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
  EXPECT_FALSE(std::filesystem::exists(sound)) << "the extracted sound goes before the session ends";
  Pump();
  EXPECT_FALSE(IsWindow(c.hwnd()));
}

TEST(LongRun, ErrorsAreShownAfterABoxThatThrew) {
  std::vector<std::string> seen;
  ui::SetErrorSink([&](const std::string& e) {
    seen.push_back(e);
    if (e == "first") throw std::runtime_error("the box failed");
  });
  ui::ReportError("first");
  Pump();
  ui::ReportError("second");
  Pump();
  ui::SetErrorSink(nullptr);
  const std::vector<std::string> expected = {"first", "the box failed", "second"};
  EXPECT_EQ(seen, expected);
}

TEST(LongRun, TheDigitsFollowTheUsersTimeFormat) {
  struct Case {
    const char* what;
    TimeFormat after;
    const char* text;
  } cases[] = {
      {"to 12-hour", [] { TimeFormat f; f.twelveHour = true; return f; }(), "9:05:07 PM"},
      {"to 24-hour with a dot", [] { TimeFormat f; f.twelveHour = false; f.separator = "."; return f; }(), "21.05.07"},
      {"designator first", [] { TimeFormat f; f.designatorFirst = true; f.pm = "nachm."; return f; }(),
       "nachm. 9:05:07"},
  };
  for (const Case& k : cases) {
    TimeFormat now;
    now.twelveHour = false;
    Clock c(Parts(), true, false, [&](ClockSeams& s) {
      s.timeFormat.twelveHour = false;
      s.readTimeFormat = [&] { return now; };
    });
    c.now = {2026, 12, 8, 21, 5, 7};
    c.form->OnTick();
    const LONG widthBefore = c.Window().right - c.Window().left;
    now = k.after;
    SendMessageW(c.hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"));
    c.form->OnTick();
    EXPECT_EQ(c.form->Led().Model().Text(), k.text) << k.what;
    const RECT led = c.form->Led().Bounds();
    EXPECT_GE(c.Window().right - c.Window().left, led.right) << k.what << ": the window holds the digits";
    if (std::string(k.text).size() > 8) {
      EXPECT_GT(c.Window().right - c.Window().left, widthBefore) << k.what << ": refitted to the longer text";
    }
  }
}

TEST(LongRun, TheClockFollowsTheScreens) {
  const Monitor big{{0, 0, 1280, 1024}, {0, 0, 1280, 984}, true};
  const Monitor small{{0, 0, 800, 600}, {0, 0, 800, 570}, true};
  const Monitor right{{1280, 0, 2560, 1024}, {1280, 0, 2560, 1024}, false};
  struct Case {
    const char* what;
    UINT message;
    WPARAM wp;
    std::vector<Monitor> before, after;
    POINT draggedTo;  // {-1, -1}: left at home
    POINT expected;   // top left; {-1, -1}: the new home
  } cases[] = {
      {"home, resolution lowered", WM_DISPLAYCHANGE, 32, {big}, {small}, {-1, -1}, {-1, -1}},
      {"home, work area changed", WM_SETTINGCHANGE, SPI_SETWORKAREA, {small}, {big}, {-1, -1}, {-1, -1}},
      {"dragged, still on the screen", WM_DISPLAYCHANGE, 32, {big}, {small}, {100, 120}, {100, 120}},
      {"dragged onto a monitor that went", WM_DISPLAYCHANGE, 32, {big, right}, {big}, {2000, 500}, {-1, -1}},
  };
  for (const Case& k : cases) {
    std::vector<Monitor> monitors = k.before;
    Clock c(Parts(), true, false, [&](ClockSeams& s) { s.monitors = [&] { return monitors; }; });
    const RECT shown = c.Window();
    const int w = shown.right - shown.left, h = shown.bottom - shown.top;
    EXPECT_EQ(shown.left, k.before.front().bounds.right - w) << k.what << ": shown at home";
    if (k.draggedTo.x != -1)
      c.DragTo(k.draggedTo.x, k.draggedTo.y);
    monitors = k.after;
    SendMessageW(c.hwnd(), k.message, k.wp, 0);
    POINT expected = k.expected;
    if (expected.x == -1 && k.draggedTo.x == -1) {
      expected = {k.after.front().bounds.right - w, k.after.front().bounds.bottom - h - 30};
    } else if (expected.x == -1) {
      expected = {k.after.front().work.right - w, k.draggedTo.y};  // the least move into the work area
    }
    const RECT r = c.Window();
    EXPECT_EQ(r.left, expected.x) << k.what;
    EXPECT_EQ(r.top, expected.y) << k.what;
  }
}

TEST(LongRun, ADestroyedClockEndsTheMessageLoopOnEveryPath) {
  for (bool byObject : {false, true}) {
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    auto c = std::make_unique<Clock>();
    const HWND h = c->hwnd();
    if (byObject) {
      c->form.reset();  // the window goes with its object
    } else {
      DestroyWindow(h);
    }
    EXPECT_FALSE(IsWindow(h));
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << (byObject ? "destroyed by its object" : "destroyed by DestroyWindow") << ": no WM_QUIT";
    c.reset();
  }
}

namespace {

constexpr std::array<const char*, static_cast<std::size_t>(HandleKind::Count_)> kKindNames = {
    "uncounted", "GDI objects", "regions", "menus", "icons", "timers", "windows", "kernel"};

std::array<long, static_cast<std::size_t>(HandleKind::Count_)> Live() { return dc::LiveHandleCounts(); }

// The style timer's ticks, sent at once: the effect runs without waiting.
void RunStyleTimer(HWND popup, int ticks) {
  for (int i = 0; i < ticks && IsWindow(popup); ++i)
    SendMessageW(popup, WM_TIMER, notify::AlarmPopupWindow::kStyleTimer, 0);
}

}  // namespace

TEST(LongRun, AMonthOfPopupsAndTicksHoldsNoMoreHandles) {
  FiringClock c(Popups(0, true, 1), {EveryDay("Tea", "Kettle on")});
  std::filesystem::remove(c.form->SoundFilePath());  // popups alone: no sound device opened 500 times
  const Firing firing{EveryDay("Tea", "Kettle on"), FiringKind::OnTime, {2026, 12, 8, 7, 30, 0}};
  auto cycle = [&] {
    c.form->Popups().Fire({firing});
    HWND popup = c.form->Popups().Popup(c.form->Popups().OpenPopups() - 1)->Window()->hwnd();
    RunStyleTimer(popup, 10);  // shown
    RunStyleTimer(popup, 1);   // the display time is over
    RunStyleTimer(popup, 10);  // hidden and closed
    Pump(1);                   // the release frees it
  };
  cycle();
  ASSERT_EQ(c.form->Popups().OpenPopups(), 0u) << "a cycle leaves no popup open";
  const auto before = Live();
  for (int i = 0; i < 500; ++i) cycle();
  EXPECT_EQ(c.form->Popups().OpenPopups(), 0u);
  for (int minute = 0; minute < 500; ++minute) {
    c.now = FromMinuteNumber(MinuteNumber({2026, 12, 8, 8, 0, 0}) + minute);
    c.form->OnTick();
    for (int toggle = 0; toggle < 2; ++toggle)  // the menu's marks redrawn, the clock hidden and shown
      SendMessageW(c.hwnd(), WM_COMMAND, MAKEWPARAM(static_cast<UINT>(MenuCommand::ShowHide), 0), 0);
    if (minute % 50 == 0) Pump(1);
  }
  const auto after = Live();
  for (std::size_t k = 1; k < after.size(); ++k)
    EXPECT_EQ(after[k], before[k]) << kKindNames[k] << ": " << before[k] << " live before, " << after[k] << " after";
  EXPECT_GT(before[static_cast<std::size_t>(HandleKind::Window)], 0) << "the counts see the clock's windows";
  EXPECT_GT(before[static_cast<std::size_t>(HandleKind::Timer)], 0) << "the counts see the tick";
}
