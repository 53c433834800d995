// A Flash clock as a user meets it: the real player shows the movie's
// first frame and its hands move; a left drag on the movie moves the clock
// and a right click on it opens the clock's menu. A face with a button: the
// pointer over it shows the over state, a click runs its action once, a
// drag and a right click run nothing, a follower follows the pointer and
// leaving the face brings the up state back. Under faketime, the hands
// show the faked time.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "clock_face_movies.h"
#include "package_builder.h"
#include "pixels.h"
#include "player_driver.h"
#include "test_support.h"
#include "ui/window_classes.h"
#include "x_input.h"

using namespace std::chrono_literals;
using dctest::PlayerProcess;
using dctest::TempDir;
using dc::swf::test::ClockPattern;
namespace input = dctest::input;

namespace {

// A 200 x 200 analogue face with the digits along its bottom edge, clear
// of the hands, opaque.
struct FlashClock {
  TempDir dir;
  std::unique_ptr<PlayerProcess> player;
  HWND clock = nullptr, face = nullptr;

  explicit FlashClock(std::vector<std::uint8_t> movie = dc::swf::test::ClockFaceMovie(ClockPattern::ClipEvent)) {
    dctest::PackageParts p = dctest::DemoParts();
    p.face = std::move(movie);
    std::memcpy(p.display.FaceType, ".swf\0", 5);
    p.display.FaceWidth = 200;
    p.display.FaceHeight = 200;
    p.display.Opacity = 255;
    p.display.LedLeft = 40;
    p.display.LedTop = 184;
    p.display.CellWidth = 9;
    p.display.CellHeight = 15;
    p.display.Thickness = 2;
    dctest::WriteBytes(dir / "flash.kvx", p.Bytes());
    auto exe = dctest::InstallPlayer(dir.path(), L"DeskClock.exe", "flash.kvx");
    player = std::make_unique<PlayerProcess>(exe, L"p");
    clock = player->WaitForWindow(dc::ui::kClockClass, 30s);
    if (clock) face = FindWindowExW(clock, nullptr, dc::ui::kFlashFaceClass, nullptr);
    Sleep(700);
  }
  ~FlashClock() {
    input::ReleaseAll();
    if (clock) PostMessageW(clock, WM_CLOSE, 0, 0);
    if (player) player->WaitForExit(20s);
  }
  RECT Rect() const {
    RECT r{};
    GetWindowRect(clock, &r);
    return r;
  }
  // The face's pixels as the screen shows them, 0x00RRGGBB.
  std::vector<std::uint32_t> Face() const {
    RECT at{};
    GetWindowRect(face, &at);
    HDC screen = GetDC(nullptr);
    std::vector<std::uint32_t> px = dctest::ReadPixels(screen, at.left, at.top, 200, 200);
    ReleaseDC(nullptr, screen);
    return px;
  }
};

std::uint32_t PixelOf(dc::swf::Rgba c) { return std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b; }
std::uint32_t At(const std::vector<std::uint32_t>& px, double degrees, int radius) {
  const double a = degrees * std::numbers::pi / 180;
  return px[static_cast<int>(std::floor(100 - radius * std::cos(a) + 0.5)) * 200 +
            static_cast<int>(std::floor(100 + radius * std::sin(a) + 0.5))];
}
// The direction, to a degree, in which the hand of `colour` lies at
// `radius`, or -1 when no direction shows it.
int HandDirection(const std::vector<std::uint32_t>& px, dc::swf::Rgba colour, int radius) {
  for (int d = 0; d < 360; ++d)
    if (At(px, d, radius) == PixelOf(colour) && At(px, d + 1, radius) == PixelOf(colour)) return d;
  return -1;
}

}  // namespace

TEST(FlashEndToEnd, TheMoviesFirstFrameShowsAndItsHandsMove) {
  FlashClock c;
  ASSERT_TRUE(c.clock);
  ASSERT_TRUE(c.face) << "a child window of class DeskClock.FlashFace";
  RECT face{};
  GetClientRect(c.face, &face);
  EXPECT_EQ(face.right, 200);
  EXPECT_EQ(face.bottom, 200);
  std::vector<std::uint32_t> first = c.Face();
  EXPECT_EQ(At(first, 45, 90), PixelOf(dc::swf::test::kDialColour)) << "the dial, beyond the hands";
  EXPECT_EQ(first[2 * 200 + 2], 0xFFFFFFu) << "the stage's background at the corner";
  const int second = HandDirection(first, dc::swf::test::kSecondColour, 70);
  ASSERT_GE(second, 0) << "the second hand is drawn";
  // Two seconds on, the second hand stands 12 degrees further.
  Sleep(2000);
  const int later = HandDirection(c.Face(), dc::swf::test::kSecondColour, 70);
  ASSERT_GE(later, 0);
  EXPECT_GE((later - second + 360) % 360, 6) << second << " then " << later;
  EXPECT_LE((later - second + 360) % 360, 24) << second << " then " << later;
}

TEST(FlashEndToEnd, ALeftDragOnTheMovieMovesTheClockAndARightClickOpensItsMenu) {
  FlashClock c;
  ASSERT_TRUE(c.face);
  const RECT before = c.Rect();
  const POINT onMovie{before.left + 30, before.top + 30};
  input::Drag(1, onMovie, {onMovie.x - 150, onMovie.y - 100});
  RECT after = c.Rect();
  for (int i = 0; i < 40 && after.left == before.left; ++i) {
    Sleep(50);
    after = c.Rect();
  }
  Sleep(300);
  after = c.Rect();
  EXPECT_EQ(after.left - before.left, -150);
  EXPECT_EQ(after.top - before.top, -100);

  input::Click(3, {after.left + 30, after.top + 30});
  HWND menu = c.player->WaitForWindow(L"#32768", 5s);
  ASSERT_TRUE(menu) << "the clock's own menu";
  input::Keys({"Escape"});
  EXPECT_TRUE(c.player->WaitForNoWindow(L"#32768", 5s));
}

TEST(FlashEndToEnd, AFacesButtonAnswersTheMouseAndADragOrRightClickRunsNothing) {
  using namespace dc::swf::test;
  FlashClock c(MouseFaceMovie());
  ASSERT_TRUE(c.face);
  RECT at{};
  GetWindowRect(c.face, &at);
  const auto waitFor = [&](int x, int y, dc::swf::Rgba colour) {
    for (int i = 0; i < 40 && c.Face()[y * 200 + x] != PixelOf(colour); ++i) Sleep(50);
    return c.Face()[y * 200 + x] == PixelOf(colour);
  };
  const auto onFace = [&](int x, int y) { return POINT{at.left + x, at.top + y}; };
  EXPECT_TRUE(waitFor(35, 35, kMouseUpColour));
  input::MoveTo(onFace(35, 35));
  EXPECT_TRUE(waitFor(35, 35, kMouseOverColour)) << "the over state";
  EXPECT_TRUE(waitFor(40, 105, kFollowerColour)) << "the follower at the pointer";
  input::MoveTo(onFace(120, 35));
  EXPECT_TRUE(waitFor(125, 105, kFollowerColour)) << "the follower moved with the pointer";
  EXPECT_TRUE(waitFor(35, 35, kMouseUpColour)) << "the up state off the button";

  input::Click(1, onFace(35, 35));
  EXPECT_TRUE(waitFor(35, 160, kCounterColour)) << "one click, one move of the counter";
  EXPECT_EQ(c.Face()[160 * 200 + 55], 0xFFFFFFu) << "not two";
  EXPECT_EQ(c.Face()[160 * 200 + 15], 0xFFFFFFu);

  // A drag from the button moves the clock and runs no action.
  const RECT before = c.Rect();
  input::Drag(1, onFace(35, 35), {at.left + 35 - 120, at.top + 35 - 80});
  RECT after = c.Rect();
  for (int i = 0; i < 40 && after.left == before.left; ++i) {
    Sleep(50);
    after = c.Rect();
  }
  EXPECT_EQ(after.left - before.left, -120);
  GetWindowRect(c.face, &at);
  Sleep(300);
  EXPECT_EQ(c.Face()[160 * 200 + 35], PixelOf(kCounterColour)) << "the counter stayed";
  EXPECT_EQ(c.Face()[160 * 200 + 55], 0xFFFFFFu);

  // A right click opens the clock's menu; the movie sees nothing.
  input::Click(3, onFace(35, 35));
  ASSERT_TRUE(c.player->WaitForWindow(L"#32768", 5s));
  input::Keys({"Escape"});
  EXPECT_TRUE(c.player->WaitForNoWindow(L"#32768", 5s));
  EXPECT_EQ(c.Face()[160 * 200 + 35], PixelOf(kCounterColour));
  EXPECT_NE(c.Face()[35 * 200 + 35], PixelOf(kMouseDownColour));

  // The pointer leaving the face gives the up state back.
  input::MoveTo(onFace(35, 35));
  EXPECT_TRUE(waitFor(35, 35, kMouseOverColour));
  input::MoveTo({at.right + 150, at.bottom + 150});
  EXPECT_TRUE(waitFor(35, 35, kMouseUpColour)) << "the up state once the pointer left";
}

// Run under faketime from 2026-12-08 10:08:30 (tests/e2e/CMakeLists.txt).
TEST(FlashFakedTime, TheHandsShowTheFakedTime) {
  FlashClock c;
  ASSERT_TRUE(c.face);
  SYSTEMTIME st;
  GetLocalTime(&st);
  ASSERT_EQ(st.wHour, 10) << "run under faketime";
  const std::vector<std::uint32_t> px = c.Face();
  const dc::swf::test::HandAngles a = dc::swf::test::AnglesAt(st.wHour, st.wMinute, st.wSecond);
  EXPECT_EQ(At(px, a.hour, 35), PixelOf(dc::swf::test::kHourColour)) << "hour hand at " << a.hour;
  EXPECT_EQ(At(px, a.minute, 60), PixelOf(dc::swf::test::kMinuteColour)) << "minute hand at " << a.minute;
  const int second = HandDirection(px, dc::swf::test::kSecondColour, 70);
  EXPECT_NEAR(second, a.second, 8) << "second hand";
  // And they move: two seconds later the second hand is 12 degrees on.
  Sleep(2000);
  const int later = HandDirection(c.Face(), dc::swf::test::kSecondColour, 70);
  EXPECT_NEAR((later - second + 360) % 360, 12, 7) << second << " then " << later;
}
