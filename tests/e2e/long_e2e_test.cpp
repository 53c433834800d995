// The real clock over a long run, under faketime at ten times the real pace
// from 07:29:55 (each process's clock starts there): no code loaded from
// its own folder, memory that stays flat over ten minutes of alarms, and
// (with a window manager) a snooze menu the clock never covers.
#include <gtest/gtest.h>

#include <cstddef>

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/win_text.win.h"
#include "package_builder.h"
#include "pixels.h"
#include "player_driver.h"
#include "ui/window_classes.h"
#include "x_input.h"

using namespace std::chrono_literals;
using dctest::PlayerProcess;
using dctest::TempDir;

namespace {

// The names tried: every DLL the player loads by name at run time or
// imports (delay-loaded too) and that is not one of Windows' known DLLs.
// WINEDLLOVERRIDES makes each native-first (see CMakeLists.txt), or Wine
// would take its own whatever the folder holds. DLLs that system DLLs pull
// in (version.dll and imm32.dll before wWinMain under Wine, msimg32.dll
// through Wine's own delay imports) are out of the player's reach.
constexpr const wchar_t* kPlanted[] = {L"winmm.dll", L"atl.dll", L"comctl32.dll"};

std::filesystem::path MarkerDll() {
  const char* dll = std::getenv("DC_MARKER_DLL");
  return dll ? std::filesystem::path(L"Z:" + dc::Utf8ToWide(dll)) : std::filesystem::path();
}

void Plant(const TempDir& dir) {
  const dctest::Bytes marker = dctest::ReadBytes(MarkerDll());
  ASSERT_GT(marker.size(), 1024u) << "the marker DLL was not built";
  for (const wchar_t* name : kPlanted) dctest::WriteBytes(dir.path() / name, marker);
}

std::vector<std::wstring> MarkersIn(const TempDir& dir) {
  std::vector<std::wstring> loaded;
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    if (e.path().extension() == L".loaded") loaded.push_back(e.path().filename().native());
  return loaded;
}

// Registers a class under the Flash control's id for the scope's life, so
// that the player goes as far as loading the control's host library.
class ScopedFakeFlashControl {
 public:
  ScopedFakeFlashControl() {
    RegCreateKeyExW(HKEY_CLASSES_ROOT, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key_, nullptr);
    const wchar_t server[] = L"C:\\windows\\system32\\nothing-here.ocx";
    if (key_) RegSetValueExW(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(server), sizeof server);
  }
  ~ScopedFakeFlashControl() {
    if (key_) RegCloseKey(key_);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}");
  }
  bool ok() const { return key_ != nullptr; }

 private:
  static constexpr wchar_t kKey[] = L"CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}\\InprocServer32";
  HKEY key_ = nullptr;
};

std::wstring SoundState() {
  HWND sound = FindWindowExW(HWND_MESSAGE, nullptr, dc::ui::kSoundClass, nullptr);
  return sound ? dctest::WindowText(sound) : L"(no sound window)";
}

}  // namespace

TEST(DllPlanting, NothingIsLoadedFromTheClocksFolder) {
  ASSERT_FALSE(MarkerDll().empty()) << "DC_MARKER_DLL names the marker DLL";
  {
    // The picture clock up to its first alarm: the sound library loads then.
    TempDir dir;
    auto exe = dctest::InstallDemoWithAlarms(dir, {dctest::EveryDay("Tea", "Kettle", 7, 30)});
    Plant(dir);
    PlayerProcess player(exe);
    ASSERT_TRUE(player.WaitForWindow(dc::ui::kClockClass, 30s)) << "the clock starts beside the planted DLLs";
    ASSERT_TRUE(player.WaitForWindow(dc::ui::kPopupClass, 30s)) << "the alarm rings";
    EXPECT_EQ(SoundState(), L"Playing chime.wav (1 plays)") << "the system's sound library plays";
    EXPECT_EQ(MarkersIn(dir), std::vector<std::wstring>{}) << "loaded from the clock's folder";
  }
  {
    // A Flash clock, as far as loading the control's host library.
    ScopedFakeFlashControl control;
    ASSERT_TRUE(control.ok());
    TempDir dir;
    dctest::PackageParts parts = dctest::DemoParts();
    std::memcpy(parts.display.FaceType, ".swf\0\0", 6);
    parts.face = {'F', 'W', 'S', 9, 30, 0, 0, 0};
    dctest::WriteBytes(dir / "flash.kvx", parts.Bytes());
    auto exe = dctest::InstallPlayer(dir.path(), L"DeskClock.exe", "flash.kvx");
    Plant(dir);
    PlayerProcess player(exe);
    const dctest::MessageBoxSeen box = player.WaitForMessageBox(20s);
    ASSERT_TRUE(box.hwnd) << "the Flash face cannot be made and says so";
    EXPECT_NE(box.text.find(L"Flash"), std::wstring::npos) << box.text;
    player.Press(box, IDOK);
    ASSERT_TRUE(player.WaitForWindow(dc::ui::kClockClass, 20s));
    EXPECT_EQ(MarkersIn(dir), std::vector<std::wstring>{}) << "loaded from the clock's folder";
  }
}

TEST(LongRunMemory, TenMinutesOfAlarmsKeepMemoryFlat) {
  // Five alarms each minute from 07:30 to 07:39: ten passes, fifty popups.
  std::vector<dc::AlarmRecord> alarms;
  for (int minute = 30; minute < 40; ++minute)
    for (int i = 0; i < 5; ++i) alarms.push_back(dctest::EveryDay("Alarm", "each minute", 7, minute));
  TempDir dir;
  auto exe = dctest::InstallDemoWithAlarms(dir, alarms, true);
  PlayerProcess player(exe);
  ASSERT_TRUE(player.WaitForWindow(dc::ui::kClockClass, 30s));
  auto workingSet = [&] {
    PROCESS_MEMORY_COUNTERS pmc{sizeof pmc};
    return K32GetProcessMemoryInfo(player.Handle(), &pmc, sizeof pmc) ? pmc.WorkingSetSize : 0;
  };
  // The working set half a minute after each pass from the second on; the
  // driver's own sleeps run at the faked pace too.
  Sleep(65'000);
  std::vector<SIZE_T> samples;
  for (int pass = 1; pass < 10; ++pass) {
    Sleep(60'000);
    samples.push_back(workingSet());
    std::printf("07:%d:30 working set %zu KB\n", 30 + pass, samples.back() / 1024);
  }
  EXPECT_EQ(SoundState(), L"Closed (10 plays)") << "ten passes rang, each with its sound";
  // Medians of the first and last three: a pass's own peak is no growth.
  auto median3 = [](std::vector<SIZE_T> v) {
    std::sort(v.begin(), v.end());
    return static_cast<double>(v[1]);
  };
  const double early = median3({samples.begin(), samples.begin() + 3});
  const double late = median3({samples.end() - 3, samples.end()});
  ASSERT_GT(early, 0);
  // A leak of 40 KB a popup (a small bitmap) would break this bound over the
  // 30 popups between the two medians.
  EXPECT_LT((late - early) / 1024, 1200) << "resident memory grew from " << early / 1024 << " KB to " << late / 1024
                                         << " KB over six minutes of popups";
}

namespace {

// The screen's pixels in `r`.
std::vector<std::uint32_t> ScreenPixels(const RECT& r) {
  HDC screen = GetDC(nullptr);
  std::vector<std::uint32_t> px = dctest::ReadPixels(screen, r.left, r.top, r.right - r.left, r.bottom - r.top);
  ReleaseDC(nullptr, screen);
  return px;
}

}  // namespace

// Run with a window manager: the popup lies over the clock at the bottom
// right, its snooze menu partly over the clock.
TEST(MenuOverClock, TheSnoozeMenuStaysAboveTheClockAndCanBeChosen) {
  TempDir dir;
  auto exe = dctest::InstallDemoWithAlarms(dir, {dctest::EveryDay("Tea", "Kettle", 7, 30)});
  // The popups at the bottom right, where the clock shows (the demo keeps
  // them at the top right).
  dctest::Bytes package = dctest::ReadBytes(dir / "demo.kvx");
  package[dc::kPopupOffset + offsetof(dc::PopupSettings, Position)] = 3;
  dctest::WriteBytes(dir / "demo.kvx", package);
  PlayerProcess player(exe, L"p");
  HWND clock = player.WaitForWindow(dc::ui::kClockClass, 30s);
  ASSERT_TRUE(clock);
  HWND popup = player.WaitForWindow(dc::ui::kPopupClass, 30s);
  ASSERT_TRUE(popup);
  Sleep(800);  // shown whole
  RECT p{};
  GetWindowRect(popup, &p);
  dctest::input::Click(1, {p.right - 25, p.top + 17});
  HWND menu = player.WaitForWindow(L"#32768", 5s);
  ASSERT_TRUE(menu) << "the drop-down opens the snooze menu";
  RECT m{}, c{}, over{};
  GetWindowRect(menu, &m);
  GetWindowRect(clock, &c);
  ASSERT_TRUE(IntersectRect(&over, &m, &c)) << "the menu lies partly over the clock";
  Sleep(300);
  const std::vector<std::uint32_t> menuShown = ScreenPixels(over);
  // The pointer onto the menu where it lies over the clock.
  const POINT onMenu{(over.left + over.right) / 2, (over.top + over.bottom) / 2};
  const ULONGLONG t0 = GetTickCount64();
  dctest::input::MoveTo(onMenu);
  // Three of the clock's ticks; the driver's sleeps may run at the faked pace.
  while (GetTickCount64() - t0 < 3000) Sleep(50);

  const std::vector<std::uint32_t> later = ScreenPixels(over);
  // The menu's own background fills most of the part over the clock.
  const COLORREF menu0 = GetSysColor(COLOR_MENU);
  const std::uint32_t menuPixel = (GetRValue(menu0) << 16) | (GetGValue(menu0) << 8) | GetBValue(menu0);
  const auto menuColoured = std::count(later.begin(), later.end(), menuPixel);
  EXPECT_GE(static_cast<std::size_t>(menuColoured) * 3, later.size())
      << menuColoured << " of " << later.size() << " pixels over the clock have the menu's colour";
  std::size_t changed = 0;
  for (std::size_t i = 0; i < later.size(); ++i) changed += later[i] != menuShown[i];
  // Only the item under the pointer may change (its highlight).
  const LONG itemRows = GetSystemMetrics(SM_CYMENU) + 4;
  EXPECT_LE(changed, static_cast<std::size_t>((over.right - over.left) * itemRows))
      << changed << " of " << later.size() << " pixels of the menu over the clock changed: the clock covered it";
  // "Snooze 5 minutes", the first item, chosen where it is: the pointer
  // rests on it before the press, as a hand's does.
  const POINT first{m.left + 20, m.top + 8};
  dctest::input::MoveTo(first);
  const ULONGLONG t1 = GetTickCount64();
  while (GetTickCount64() - t1 < 400) Sleep(20);
  dctest::input::Click(1, first);
  EXPECT_TRUE(player.WaitForNoWindow(dc::ui::kPopupClass, 60s)) << "the snooze was chosen: the popup closes";
}
