// The clock window under Wine, built from a package in a temporary folder:
// start-up, size, shape, tick, commands, registry, tray icon, about box and
// the Flash fallback.
#include <gtest/gtest.h>

#include <cstring>

#include "app/about_dialog.win.h"
#include "app/clock_window.win.h"
#include "app/registry_run_keys.win.h"
#include "base/file_io.h"
#include "package_builder.h"
#include "test_support.h"
#include "clock_fixture.h"
#include "ui/error_handler.h"
#include "ui/window_classes.h"

using namespace dc;
using dctest::Bytes;
using dctest::TempDir;
using dctest::Clock;
using dctest::Parts;
using dctest::Pump;

namespace {

void DeleteRunValue(HKEY root, const wchar_t* name) {
  HKEY key;
  if (RegOpenKeyExW(root, RegistryRunKeys::kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    RegDeleteValueW(key, name);
    RegCloseKey(key);
  }
}

std::wstring RunValue(HKEY root, const wchar_t* name) {
  wchar_t buf[512] = {};
  DWORD size = sizeof buf;
  if (RegGetValueW(root, RegistryRunKeys::kRunKey, name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
    return L"(none)";
  return buf;
}

}  // namespace

TEST(ClockWindow, StartUpBuildsTheWindowFromThePackage) {
  Clock c;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(c.hwnd(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 200);
  EXPECT_EQ(dctest::ReadBytes(c.dir / "Alarm.sav"), (Bytes{'K', 'V', 'X', 0, 0, 0, 0, 0, 0, 1}));
  EXPECT_EQ(dctest::ReadBytes(c.dir / "chime.wav"), Bytes{});  // no sound data in this package
  EXPECT_TRUE(GetWindowLongPtrW(c.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(c.MenuState(MenuCommand::StayOnTop) & MF_CHECKED);
  EXPECT_FALSE(c.MenuState(MenuCommand::AutoRun) & MF_CHECKED);
  wchar_t title[64] = {};
  GetWindowTextW(c.hwnd(), title, 64);
  EXPECT_STREQ(title, L"win_tests") << "the application title, never Form1";

  // "9:59:58" in seven cells of 9 with gaps of 2 at (10, 5): 75 x 13. The
  // window holds the face and the digits.
  RECT led = c.form->Led().Bounds();
  EXPECT_EQ(led.left, 10);
  EXPECT_EQ(led.top, 5);
  EXPECT_EQ(led.right, 85);
  EXPECT_EQ(led.bottom, 18);
  RECT w = c.Window();
  EXPECT_EQ(w.right - w.left, 85);
  EXPECT_EQ(w.bottom - w.top, 40);
  // Placed at the bottom right, 30 pixels above the screen's bottom edge.
  EXPECT_EQ(w.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(w.bottom, GetSystemMetrics(SM_CYSCREEN) - 30);
  EXPECT_TRUE(c.passes.empty()) << "start-up at second 58 runs no minute check";
  EXPECT_TRUE(c.errors.empty()) << c.errors[0];
}

TEST(ClockWindow, ShapeIsThePictureWithoutKeyPixelsPlusTheDigits) {
  Clock c;
  struct Probe {
    int x, y;
    bool in;
  } probes[] = {{0, 0, false}, {3, 3, false}, {4, 4, true},  {5, 5, true},    {21, 1, false}, {21, 3, true},
                {59, 30, false}, {58, 39, true}, {70, 10, true}, {70, 30, false}, {84, 17, true}, {85, 17, false}};
  for (const Probe& p : probes) EXPECT_EQ(c.InShape(p.x, p.y), p.in) << p.x << "," << p.y;
}

TEST(ClockWindow, DigitsGrowingAtTenReshapeAndResizeTheWindowAndTheMinuteIsCheckedOnce) {
  Clock c;
  for (int minute : {0, 1}) {
    AlarmRecord r{};
    r.Kind = static_cast<std::uint8_t>(AlarmKind::EveryDay);
    r.Time = *EncodeDateTime({2026, 12, 8, 10, minute, 0});
    c.form->Store().AddAlarm(r);
  }
  c.now = {2026, 12, 8, 10, 0, 0};
  c.form->OnTick();
  RECT led = c.form->Led().Bounds();
  EXPECT_EQ(led.right, 10 + 8 * 9 + 7 * 2);
  RECT w = c.Window();
  EXPECT_EQ(w.right - w.left, 96);
  EXPECT_TRUE(c.InShape(90, 10)) << "the last digit must not be cut off";
  ASSERT_EQ(c.passes.size(), 1u);
  EXPECT_EQ(c.passes[0].size(), 1u);
  c.now.Second = 1;
  c.form->OnTick();
  EXPECT_EQ(c.passes.size(), 1u);
  // A tick that missed second 0 of the next minute still checks it, on time.
  c.now = {2026, 12, 8, 10, 1, 1};
  c.form->OnTick();
  ASSERT_EQ(c.passes.size(), 2u);
  EXPECT_EQ(c.passes[1][0].kind, FiringKind::OnTime);
  EXPECT_EQ(c.passes[1][0].due.Minute, 1);
}

TEST(ClockWindow, HideAndShowToggleTheCaptionAndPlaceTheWindowAgain) {
  Clock c;
  EXPECT_EQ(c.MenuText(MenuCommand::ShowHide), L"&Hide");
  c.DragTo(10, 10);
  c.Command(MenuCommand::ShowHide);
  EXPECT_FALSE(IsWindowVisible(c.hwnd()));
  EXPECT_EQ(c.MenuText(MenuCommand::ShowHide), L"&Show");
  c.form->Tray().OnDblClick(WM_LBUTTONDBLCLK);  // a double click does the same
  Pump();
  EXPECT_TRUE(IsWindowVisible(c.hwnd()));
  EXPECT_EQ(c.MenuText(MenuCommand::ShowHide), L"&Hide");
  RECT w = c.Window();
  EXPECT_EQ(w.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(w.bottom, GetSystemMetrics(SM_CYSCREEN) - 30);
}

TEST(ClockWindow, AsItShowsAMoveTheUserDidNotMakeIsUndoneAndADragStays) {
  Clock c;
  const RECT home = c.Window();
  // A window manager framing the window reports it at the frame's corner.
  SetWindowPos(c.hwnd(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
  EXPECT_EQ(c.Window().left, home.left);
  EXPECT_EQ(c.Window().top, home.top);
  c.DragTo(100, 120);
  Pump();
  EXPECT_EQ(c.Window().left, 100);
  EXPECT_EQ(c.Window().top, 120);
  SetWindowPos(c.hwnd(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
  EXPECT_EQ(c.Window().left, 0) << "once dragged, the clock goes where it is put";
}

TEST(ClockWindow, TrayDoubleClickWithAnyButtonTogglesAndASingleClickDoesNothing) {
  Clock c;
  HWND tray = c.form->Tray().hwnd();
  const UINT callback = notify::TrayIcon::kCallbackMessage;
  SendMessageW(tray, callback, notify::TrayIcon::kIconId, WM_LBUTTONDOWN);
  SendMessageW(tray, callback, notify::TrayIcon::kIconId, WM_LBUTTONUP);
  SendMessageW(tray, callback, notify::TrayIcon::kIconId, WM_RBUTTONUP);  // shell 5 and later: no menu here
  Pump();
  EXPECT_TRUE(IsWindowVisible(c.hwnd()));
  EXPECT_TRUE(c.form->Tray().Shell5OrLater());
  SendMessageW(tray, callback, notify::TrayIcon::kIconId, WM_MBUTTONDBLCLK);
  Pump();
  EXPECT_FALSE(IsWindowVisible(c.hwnd()));
  EXPECT_EQ(c.MenuText(MenuCommand::ShowHide), L"&Show");
  SendMessageW(tray, callback, notify::TrayIcon::kIconId, WM_RBUTTONDBLCLK);
  Pump();
  EXPECT_TRUE(IsWindowVisible(c.hwnd()));
  // The session ends: the icon goes; a cancelled end brings it back.
  SendMessageW(tray, WM_ENDSESSION, TRUE, 0);
  EXPECT_FALSE(c.form->Tray().Added());
  SendMessageW(tray, WM_ENDSESSION, FALSE, 0);
  EXPECT_TRUE(c.form->Tray().Added());
  EXPECT_EQ(SendMessageW(tray, WM_QUERYENDSESSION, 0, 0), TRUE);
}

TEST(ClockWindow, AlwaysOnTipSwitchesTopmostAndSavesTheStore) {
  Clock c;
  c.Command(MenuCommand::StayOnTop);
  EXPECT_FALSE(GetWindowLongPtrW(c.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(c.MenuState(MenuCommand::StayOnTop) & MF_CHECKED);
  EXPECT_EQ(dctest::ReadBytes(c.dir / "Alarm.sav")[9], 0);
  EXPECT_TRUE(c.InShape(5, 5)) << "the shape is applied again";
  c.Command(MenuCommand::StayOnTop);
  EXPECT_TRUE(GetWindowLongPtrW(c.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(dctest::ReadBytes(c.dir / "Alarm.sav")[9], 1);
}

TEST(ClockWindow, AutoRunGoesToTheUsersKeyWhenTheMachineKeyIsRefused) {
  DeleteRunValue(HKEY_LOCAL_MACHINE, L"Test Clock");
  DeleteRunValue(HKEY_CURRENT_USER, L"Test Clock");
  {
    Clock c;  // the local machine's key refused
    c.Command(MenuCommand::AutoRun);
    EXPECT_TRUE(c.MenuState(MenuCommand::AutoRun) & MF_CHECKED);
    EXPECT_EQ(dctest::ReadBytes(c.dir / "Alarm.sav")[8], 1);
    EXPECT_EQ(RunValue(HKEY_CURRENT_USER, L"Test Clock"), L"\"" + (c.dir / "DeskClock.exe").native() + L"\"");
    EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE, L"Test Clock"), L"(none)");
    c.Command(MenuCommand::AutoRun);
    EXPECT_FALSE(c.MenuState(MenuCommand::AutoRun) & MF_CHECKED);
    EXPECT_EQ(RunValue(HKEY_CURRENT_USER, L"Test Clock"), L"(none)");
    EXPECT_EQ(dctest::ReadBytes(c.dir / "Alarm.sav")[8], 0);
  }
  {
    Clock c(Parts(), false);  // an administrator: the machine's key
    c.Command(MenuCommand::AutoRun);
    EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE, L"Test Clock"), L"\"" + (c.dir / "DeskClock.exe").native() + L"\"");
    EXPECT_EQ(RunValue(HKEY_CURRENT_USER, L"Test Clock"), L"(none)");
    c.Command(MenuCommand::AutoRun);
    EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE, L"Test Clock"), L"(none)");
  }
  {
    // A value of the clock's name written by another copy stays as it is.
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, RegistryRunKeys::kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    const wchar_t other[] = L"D:\\elsewhere\\DeskClock.exe";
    RegSetValueExW(key, L"Test Clock", 0, REG_SZ, reinterpret_cast<const BYTE*>(other), sizeof other);
    RegCloseKey(key);
    Clock c;
    c.Command(MenuCommand::AutoRun);
    EXPECT_TRUE(c.MenuState(MenuCommand::AutoRun) & MF_CHECKED);
    EXPECT_EQ(RunValue(HKEY_CURRENT_USER, L"Test Clock"), other);
    DeleteRunValue(HKEY_CURRENT_USER, L"Test Clock");
  }
}

TEST(ClockWindow, TrayIconIsAddedReAddedWithTheTaskbarAndRemovedAtTheEnd) {
  HWND trayWindow = nullptr;
  {
    Clock c;
    notify::TrayIcon& tray = c.form->Tray();
    trayWindow = tray.hwnd();
    NOTIFYICONDATAW nid{sizeof nid};
    nid.hWnd = trayWindow;
    nid.uID = notify::TrayIcon::kIconId;
    nid.uFlags = NIF_TIP;
    wcscpy(nid.szTip, L"Test Clock");
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &nid)) << "the icon is in the notification area";
    // The shell restarts: its icons are gone until the clock adds its own again.
    NOTIFYICONDATAW del{sizeof del};
    del.hWnd = trayWindow;
    del.uID = notify::TrayIcon::kIconId;
    Shell_NotifyIconW(NIM_DELETE, &del);
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &nid));
    SendMessageW(trayWindow, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &nid));
    EXPECT_TRUE(tray.Added());
  }
  EXPECT_FALSE(IsWindow(trayWindow));
}

TEST(ClockWindow, AboutBoxShowsThePackageTextsAndOpensOnlyWebAddresses) {
  dctest::PackageParts p = Parts();
  WriteFixedText(p.header.Website, "www.example.com");
  WriteFixedText(p.header.Email, std::string(64, 'e'));
  Clock c(p);
  AboutDialog about(c.hwnd(), {"Test Clock", "Tester", "www.example.com", std::string(64, 'e')});
  about.openAddress = [&](HWND, const std::wstring& a) { c.opened.push_back(a); };
  auto text = [&](int id) {
    wchar_t buf[128] = {};
    GetWindowTextW(about.Control(id), buf, 128);
    return std::wstring(buf);
  };
  EXPECT_EQ(text(AboutDialog::kWebsiteId), L"www.example.com");
  EXPECT_EQ(text(AboutDialog::kEmailId), std::wstring(64, L'e')) << "64 characters shown whole";
  SendMessageW(about.hwnd(), WM_COMMAND, MAKEWPARAM(AboutDialog::kWebsiteId, STN_CLICKED),
               reinterpret_cast<LPARAM>(about.Control(AboutDialog::kWebsiteId)));
  SendMessageW(about.hwnd(), WM_COMMAND, MAKEWPARAM(AboutDialog::kEmailId, STN_CLICKED),
               reinterpret_cast<LPARAM>(about.Control(AboutDialog::kEmailId)));
  ASSERT_EQ(c.opened.size(), 2u);
  EXPECT_EQ(c.opened[0], L"http://www.example.com");
  EXPECT_EQ(c.opened[1], L"mailto:" + std::wstring(64, L'e'));
  RECT client;
  GetClientRect(about.hwnd(), &client);
  EXPECT_EQ(client.right, 309);
  EXPECT_EQ(client.bottom, 202);

  AboutDialog evil(c.hwnd(), {"x", "y", "C:\\Windows\\system32\\calc.exe", "z"});
  evil.openAddress = [&](HWND, const std::wstring& a) { c.opened.push_back(a); };
  SendMessageW(evil.hwnd(), WM_COMMAND, MAKEWPARAM(AboutDialog::kWebsiteId, STN_CLICKED),
               reinterpret_cast<LPARAM>(evil.Control(AboutDialog::kWebsiteId)));
  EXPECT_EQ(c.opened.size(), 2u) << "a program path never reaches the shell";
}

namespace {

int g_step = 0;
int g_aboutBoxes = -1;
HWND g_form = nullptr;

BOOL CALLBACK CountAbout(HWND hwnd, LPARAM lp) {
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  if (wcscmp(cls, dc::ui::kAboutClass) == 0 && IsWindowVisible(hwnd)) ++*reinterpret_cast<int*>(lp);
  return TRUE;
}

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR id, DWORD) {
  if (g_step == 0) {
    PostMessageW(g_form, WM_COMMAND, MAKEWPARAM(static_cast<UINT>(MenuCommand::About), 0), 0);  // a second About
  } else if (g_step == 1) {
    g_aboutBoxes = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountAbout, reinterpret_cast<LPARAM>(&g_aboutBoxes));
    PostMessageW(g_form, WM_COMMAND, MAKEWPARAM(static_cast<UINT>(MenuCommand::Exit), 0), 0);
    KillTimer(nullptr, id);
  }
  ++g_step;
}

}  // namespace

TEST(ClockWindow, CommandsUnderAnOpenDialogActOnTheDialog) {
  Clock c;
  g_form = c.hwnd();
  g_step = 0;
  SetTimer(nullptr, 0, 200, DriveDialog);
  SendMessageW(c.hwnd(), WM_COMMAND, MAKEWPARAM(static_cast<UINT>(MenuCommand::About), 0), 0);  // returns when the box closes
  EXPECT_EQ(g_aboutBoxes, 1) << "a second About brings the open box forward";
  Pump();
  EXPECT_FALSE(IsWindow(c.hwnd())) << "Exit closed the box first, then the clock";
}

TEST(ClockWindow, FlashFaceWithoutTheControlRunsWithAPlaceholder) {
  dctest::PackageParts p = Parts();
  std::memcpy(p.display.FaceType, ".swf\0\0", 6);
  p.face = {'F', 'W', 'S', 9};
  Clock c(p);
  ASSERT_EQ(c.errors.size(), 1u);
  EXPECT_NE(c.errors[0].find("Flash"), std::string::npos) << c.errors[0];
  EXPECT_EQ(dctest::ReadBytes(c.dir / "tmp.swf"), p.face);
  HWND face = c.form->FaceWindow();
  EXPECT_TRUE(GetWindowLongW(face, GWL_STYLE) & WS_VISIBLE);
  RECT w = c.Window();
  EXPECT_EQ(w.right - w.left, 85);
  EXPECT_EQ(w.bottom - w.top, 40);
  // The shape: the face rectangle and the digits, key colours or not.
  EXPECT_TRUE(c.InShape(0, 0));
  EXPECT_TRUE(c.InShape(59, 39));
  EXPECT_TRUE(c.InShape(84, 10));
  EXPECT_FALSE(c.InShape(84, 30));
}

TEST(ClockWindow, HiddenDigitsStayInTheShapeAtTheirDesignedPlace) {
  dctest::PackageParts p = Parts();
  p.display.HideLed = 1;
  Clock c(p);
  EXPECT_FALSE(GetWindowLongW(c.form->Led().hwnd(), GWL_STYLE) & WS_VISIBLE);
  RECT w = c.Window();
  EXPECT_EQ(w.right - w.left, 60);
  EXPECT_EQ(w.bottom - w.top, 40);
  // The designed rectangle (56, 0, 46 x 37) moved with the face at start-up
  // to (16, 0): its pixels are in the shape even where the face has key.
  RECT led = c.form->Led().Bounds();
  EXPECT_EQ(led.left, 16);
  EXPECT_EQ(led.top, 0);
  EXPECT_TRUE(c.InShape(21, 1));
  EXPECT_FALSE(c.InShape(2, 2));
}

