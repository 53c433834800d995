// The clock's layout worked out without windows (clockpack's preview draws
// from it) against the real window's children under Wine.
#include <gtest/gtest.h>

#include "layout/clock_layout.h"
#include "app/window_fit.win.h"
#include "clock_fixture.h"

using dctest::Clock;
using dctest::Parts;

namespace {

struct LayoutCase {
  const char* what;
  int faceLeft, faceTop, faceWidth, faceHeight;
  int ledLeft, ledTop;
  bool hideLed;
};

TEST(ClockLayout, MatchesTheWindowsChildren) {
  const LayoutCase cases[] = {
      {"digits over the face", 0, 0, 60, 40, 10, 5, false},
      {"face away from the corner", 30, 20, 60, 40, 40, 25, false},
      {"digits above and left of the face", 30, 20, 60, 40, 0, 0, false},
      {"digits beyond the face", 0, 0, 60, 40, 70, 50, false},
      {"digits hidden", 0, 0, 60, 40, 10, 5, true},
      {"face smaller than its picture", 3, 4, 20, 10, 0, 30, false},
  };
  for (const LayoutCase& c : cases) {
    dctest::PackageParts p = Parts();
    p.display.FaceLeft = c.faceLeft;
    p.display.FaceTop = c.faceTop;
    p.display.FaceWidth = c.faceWidth;
    p.display.FaceHeight = c.faceHeight;
    p.display.LedLeft = c.ledLeft;
    p.display.LedTop = c.ledTop;
    p.display.HideLed = c.hideLed ? 1 : 0;
    Clock clock(p);
    const RECT face = dc::BoundsIn(clock.form->FaceWindow(), clock.hwnd());
    const RECT led = clock.form->Led().Bounds();
    RECT client{};
    GetClientRect(clock.hwnd(), &client);
    const dc::ClockLayout want = dc::LayOutClock(p.display, false, led.right - led.left, led.bottom - led.top);
    EXPECT_EQ((dc::Rect{face.left, face.top, face.right, face.bottom}), want.face) << c.what;
    EXPECT_EQ((dc::Rect{led.left, led.top, led.right, led.bottom}), want.led) << c.what;
    EXPECT_EQ(client.right, want.width) << c.what;
    EXPECT_EQ(client.bottom, want.height) << c.what;
  }
}

}  // namespace
