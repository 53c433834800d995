// The LED control as a real child window under Wine: the pixels on the
// screen are the core's raster, text assignments resize at once, mouse
// presses reach the owner.
#include <gtest/gtest.h>

#include <vector>

#include "base/system_colour.win.h"
#include "led/led_display.win.h"
#include "pixels.h"
#include "test_support.h"
#include "ui/window.win.h"

using namespace dc::led;

namespace {

class Host : public dc::ui::Window {
 public:
  Host() {
    RegisterWindowClass(L"LedTestHost", 0, nullptr, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    Create(WS_EX_TOPMOST, L"LedTestHost", L"host", WS_POPUP | WS_VISIBLE, 0, 0, 400, 120, nullptr);
  }

 private:
  std::optional<LRESULT> HandleMessage(UINT, WPARAM, LPARAM) override { return std::nullopt; }
};

void Pump() { dctest::Pump(20, 10); }

// The control's pixels as its window holds them.
std::vector<std::uint32_t> ScreenPixels(HWND hwnd, int w, int h) {
  HDC src = GetDC(hwnd);
  std::vector<std::uint32_t> px = dctest::ReadPixels(src, 0, 0, w, h);
  ReleaseDC(hwnd, src);
  return px;
}

// The clock window's configuration of its LED display.
void ConfigureLikeTheClock(LedDisplay& led, std::uint32_t bg) {
  led.SetCellWidth(17);
  led.SetCellHeight(29);
  led.SetGap(4);
  led.SetBackground(bg);
  led.SetUnlitColour(bg);
  led.SetLitColour(0x0000FFF7);
  led.SetThickness(3);
  led.SetMarginX(0);
  led.SetMarginY(4);
}

}  // namespace

TEST(LedControl, ScreenShowsTheCoreRasterAndTheTextResizesAtOnce) {
  Host host;
  LedDisplay led(host.hwnd(), 56, 0, 46, 37);
  led.SetThickness(3);
  led.SetGap(4);
  ConfigureLikeTheClock(led, 0x00463228);
  int boundsChanges = 0;
  led.OnBoundsChanged = [&] { ++boundsChanges; };
  led.SetText("12:34:56");
  RECT r = led.Bounds();
  EXPECT_EQ(r.left, 56);
  EXPECT_EQ(r.right - r.left, 8 * 17 + 7 * 4);
  EXPECT_EQ(r.bottom - r.top, 37);
  EXPECT_EQ(boundsChanges, 1);
  Pump();

  const int w = r.right - r.left, h = r.bottom - r.top;
  std::vector<std::uint32_t> expected(w * h);
  dc::PixelTarget t{expected.data(), w, h, w};
  led.Model().Render(t, dc::ResolveSystemColour);
  std::vector<std::uint32_t> screen = ScreenPixels(led.hwnd(), w, h);
  int wrong = 0;
  for (int i = 0; i < w * h; ++i) wrong += screen[i] != expected[i];
  EXPECT_EQ(wrong, 0) << "first pixel " << std::hex << screen[0] << " expected " << expected[0];
  // Yellow on the screen, not cyan: a lit pixel of the "1" (cell 0, right bar).
  EXPECT_EQ(screen[10 * w + 11], 0x00F7FF00u);
  EXPECT_EQ(screen[0], 0x00283246u) << "background 0x00463228 is red 0x28, green 0x32, blue 0x46";
}

TEST(LedControl, HiddenControlNeitherDrawsNorResizes) {
  Host host;
  LedDisplay led(host.hwnd(), 0, 0, 46, 37);
  led.SetVisible(false);
  led.SetText("12:34:56");
  RECT r = led.Bounds();
  EXPECT_EQ(r.right - r.left, 46);
  led.SetVisible(true);
  led.SetText("1");
  r = led.Bounds();
  EXPECT_EQ(r.right - r.left, 17 + 8);
}

TEST(LedControl, MousePressesReachTheOwner) {
  Host host;
  LedDisplay led(host.hwnd(), 0, 0, 46, 37);
  std::vector<std::pair<UINT, POINT>> seen;
  led.OnMouseDown = [&](UINT msg, POINT p) { seen.push_back({msg, p}); };
  SendMessageW(led.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 6));
  SendMessageW(led.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 8));
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].first, static_cast<UINT>(WM_RBUTTONDOWN));
  EXPECT_EQ(seen[0].second.x, 5);
  EXPECT_EQ(seen[0].second.y, 6);
  EXPECT_EQ(seen[1].first, static_cast<UINT>(WM_LBUTTONDOWN));
}

TEST(LedControl, SystemColoursAreResolvedWithTheSystemPalette) {
  EXPECT_EQ(dc::ResolveSystemColour(0x80000005), static_cast<std::uint32_t>(GetSysColor(COLOR_WINDOW)));
  EXPECT_EQ(dc::ResolveSystemColour(0x00123456), 0x00123456u);
}
