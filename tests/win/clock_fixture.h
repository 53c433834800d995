// A clock window built from a package in a temporary folder, with the
// clock, the registry, the shell and the error box replaced.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/clock_window.win.h"
#include "app/registry_run_keys.win.h"
#include "package_builder.h"
#include "test_support.h"
#include "ui/error_handler.h"

namespace dctest {

using namespace dc;

inline constexpr std::uint32_t kKey = 0x00FF00FF;

// A 60 x 40 face: key colour in a 4 x 4 block at the top left, in a small
// block at (20..23, 1..2) and in the last column; a grey gradient elsewhere.
inline std::vector<std::uint32_t> FaceColours() {
  std::vector<std::uint32_t> px(60 * 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) {
      bool key = (x < 4 && y < 4) || (x >= 20 && x < 24 && y >= 1 && y < 3) || x == 59;
      px[y * 60 + x] = key ? kKey : 0x00303030 + static_cast<std::uint32_t>(y);
    }
  return px;
}
inline Bytes Face() { return dctest::Bmp24(60, 40, FaceColours()); }

// One primary monitor, the screen, at `dpi`: the monitors' seam of a clock
// on a screen of that scale (read when the clock asks).
inline std::function<void(ClockSeams&)> OnScreenAt(const int& dpi) {
  return [&dpi](ClockSeams& s) {
    s.monitors = [&dpi] {
      const Rect screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
      return std::vector<Monitor>{{screen, screen, true, dpi}};
    };
  };
}

inline dctest::PackageParts Parts() {
  dctest::PackageParts p = dctest::DemoParts();
  p.face = Face();
  p.display.FaceWidth = 60;
  p.display.FaceHeight = 40;
  p.display.KeyColor = kKey;
  p.display.ShapeToPicture = 1;
  p.display.Opacity = 200;
  p.display.LedLeft = 10;
  p.display.LedTop = 5;
  p.display.CellWidth = 9;
  p.display.CellHeight = 13;
  p.display.Thickness = 1;
  p.display.Gap = 2;
  p.display.LedBackColor = 0x00102030;
  return p;
}

struct Clock {
  TempDir dir;
  CivilDateTime now{2026, 12, 8, 9, 59, 58};
  // The alarms of each pass, when the clock does not show them.
  std::vector<std::vector<Firing>> passes;
  std::vector<std::string> errors;
  std::vector<std::wstring> opened;
  std::unique_ptr<ClockWindow> form;

  // `showPopups` false: passes are recorded instead of shown. `adjust`
  // changes the seams last (the format and the monitors, say).
  explicit Clock(dctest::PackageParts parts = Parts(), bool refuseMachineKey = true, bool showPopups = false,
                 const std::function<void(ClockSeams&)>& adjust = {}) {
    ui::SetErrorSink([this](const std::string& e) { errors.push_back(e); });
    dctest::WriteBytes(dir / "clock.kvx", parts.Bytes());
    auto exe = dctest::MakePlayer(dir.path(), "clock.kvx");
    PackageStart start = StartPackage(exe, false, dctest::WritableFolder());
    EXPECT_EQ(start.outcome, PackageStart::Outcome::Ready) << start.message;
    ClockSeams seams;
    seams.now = [this] { return now; };
    seams.timeFormat.twelveHour = false;
    seams.runKeys = std::make_shared<RegistryRunKeys>(refuseMachineKey);
    seams.openAddress = [this](HWND, const std::wstring& a) { opened.push_back(a); };
    if (!showPopups) seams.fire = [this](const std::vector<Firing>& f) { passes.push_back(f); };
    if (adjust) adjust(seams);
    form = std::make_unique<ClockWindow>(std::move(start), exe, seams);
    form->Show();
    Pump();
  }
  ~Clock() {
    form.reset();
    Pump();
    ui::SetErrorSink(nullptr);
  }
  HWND hwnd() const { return form->hwnd(); }
  RECT Window() const {
    RECT r;
    GetWindowRect(hwnd(), &r);
    return r;
  }
  bool InShape(int x, int y) const {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    bool in = GetWindowRgn(hwnd(), rgn) != ERROR && PtInRegion(rgn, x, y);
    DeleteObject(rgn);
    return in;
  }
  UINT MenuState(MenuCommand id) const { return GetMenuState(form->Menu(), static_cast<UINT>(id), MF_BYCOMMAND); }
  std::wstring MenuText(MenuCommand id) const {
    wchar_t buf[64] = {};
    GetMenuStringW(form->Menu(), static_cast<UINT>(id), buf, 64, MF_BYCOMMAND);
    return buf;
  }
  // The user drags the clock to `x`, `y` with the middle button.
  void DragTo(int x, int y) {
    SendMessageW(GetWindow(hwnd(), GW_CHILD), WM_MBUTTONDOWN, MK_MBUTTON, 0);
    SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(hwnd(), WM_MBUTTONUP, 0, 0);
  }
  void Command(MenuCommand id) {
    SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(static_cast<UINT>(id), 0), 0);
    Pump();
  }
};


}  // namespace dctest
