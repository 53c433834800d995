// The Flash face inside the clock window under Wine: its window, place and
// shape, frames drawn only when the picture changes and shown whole though
// drawn in part, no timer while the clock is hidden, the message loop
// waking the clock without timers, and a movie that cannot be played.
#include <gtest/gtest.h>

#include <cstring>

#include "layout/clock_layout.h"
#include "app/message_loop.win.h"
#include "app/window_fit.win.h"
#include "clock_face_movies.h"
#include "clock_fixture.h"
#include "pixels.h"
#include "swf/player/render.h"
#include "ui/modal.h"
#include "ui/window_classes.h"

using dctest::Clock;
using dctest::Pump;

namespace {

dctest::PackageParts FlashParts(std::vector<std::uint8_t> movie) {
  dctest::PackageParts p = dctest::Parts();
  p.face = std::move(movie);
  std::memcpy(p.display.FaceType, ".SWF\0", 5);  // any case
  p.display.FaceLeft = 10;
  p.display.FaceTop = 20;
  p.display.FaceWidth = 100;
  p.display.FaceHeight = 80;
  p.display.LedLeft = 0;
  p.display.LedTop = 0;
  return p;
}

void PumpFor(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  while (GetTickCount() < end) Pump(1);
}

TEST(FlashFace, PlaysInItsOwnWindowBelowTheDigitsInsideTheShape) {
  Clock c(FlashParts(dc::swf::test::ClockFaceMovie(dc::swf::test::ClockPattern::ClipEvent)));
  EXPECT_TRUE(c.errors.empty()) << (c.errors.empty() ? "" : c.errors[0]);
  dc::FlashFace* flash = c.form->Flash();
  ASSERT_NE(flash, nullptr);
  HWND face = flash->hwnd();
  wchar_t cls[64] = {};
  GetClassNameW(face, cls, 64);
  EXPECT_STREQ(cls, dc::ui::kFlashFaceClass);
  EXPECT_EQ(GetParent(face), c.hwnd());
  EXPECT_TRUE(GetWindowLongW(face, GWL_STYLE) & WS_VISIBLE);
  // The face where the start-up's fitting puts a movie of 100 x 80 at
  // (10, 20); the digits lie above it.
  const RECT r = dc::BoundsIn(face, c.hwnd());
  const RECT digits = c.form->Led().Bounds();
  const dc::ClockLayout want = dc::LayOutClock(FlashParts({}).display, true, digits.right - digits.left,
                                               digits.bottom - digits.top);
  EXPECT_EQ((dc::Rect{r.left, r.top, r.right, r.bottom}), want.face);
  EXPECT_EQ(r.right - r.left, 100);
  EXPECT_EQ(r.bottom - r.top, 80);
  bool ledAbove = false;
  for (HWND w = GetWindow(face, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) ledAbove |= w == c.form->Led().hwnd();
  EXPECT_TRUE(ledAbove) << "the digits lie above the movie";
  // The shape is the two rectangles: in the face, in the digits, not in
  // the corner that is neither.
  EXPECT_TRUE(c.InShape(r.left + 50, r.top + 60));
  EXPECT_TRUE(c.InShape(digits.left + 2, digits.top + 2));
  RECT window{};
  GetClientRect(c.hwnd(), &window);
  EXPECT_FALSE(c.InShape(window.right - 1, digits.top)) << "right of the digits, above the face";
  // It plays: the first frame is drawn, later ones as the seconds move.
  EXPECT_TRUE(flash->Running());
  EXPECT_GE(flash->FramesDrawn(), 1u);
  const std::uint64_t before = flash->FramesDrawn();
  c.now.Second += 2;
  PumpFor(600);
  EXPECT_GT(flash->FramesDrawn(), before) << "a changed picture is drawn";
}

TEST(FlashFace, AFrameThatChangesNothingIsNotDrawnAndAHiddenClockRunsNoTimer) {
  Clock c(FlashParts(dc::swf::test::ClockFaceMovie(dc::swf::test::ClockPattern::ClipEvent)));
  dc::FlashFace* flash = c.form->Flash();
  ASSERT_NE(flash, nullptr);
  PumpFor(300);
  // The faked clock stands still: the hands do not move, nothing is drawn
  // again over many frames at 12 a second.
  const std::uint64_t still = flash->FramesDrawn();
  PumpFor(700);
  EXPECT_EQ(flash->FramesDrawn(), still);
  c.Command(dc::MenuCommand::ShowHide);
  EXPECT_FALSE(flash->Running());
  c.now.Second += 5;
  PumpFor(400);
  EXPECT_EQ(flash->FramesDrawn(), still) << "hidden, the face draws nothing";
  c.Command(dc::MenuCommand::ShowHide);
  EXPECT_TRUE(flash->Running());
  PumpFor(400);
  EXPECT_GT(flash->FramesDrawn(), still);
}

// What the window shows, against the frame drawn whole: the first
// difference, if any.
void ExpectWholeFrameShown(dc::FlashFace& flash, const char* when) {
  RECT client{};
  ASSERT_TRUE(GetClientRect(flash.hwnd(), &client));
  const int w = client.right, h = client.bottom;
  std::vector<std::uint32_t> whole(static_cast<std::size_t>(w) * h);
  dc::PixelTarget face{whole.data(), w, h, w};
  dc::swf::Renderer renderer;
  ASSERT_TRUE(renderer.Render(flash.Player().Tree(), face));
  HDC dc = GetDC(flash.hwnd());
  ASSERT_NE(dc, nullptr);
  const std::vector<std::uint32_t> shown = dctest::ReadPixels(dc, 0, 0, w, h);
  ReleaseDC(flash.hwnd(), dc);
  for (std::size_t i = 0; i < whole.size(); ++i)
    ASSERT_EQ(shown[i], whole[i]) << when << ": pixel (" << i % w << ", " << i / w << ")";
}

TEST(FlashFace, ShowsTheWholeFrameThoughOnlyItsChangesAreDrawnAndCopied) {
  Clock c(FlashParts(dc::swf::test::ClockFaceMovie(dc::swf::test::ClockPattern::ClipEvent)));
  dc::FlashFace* flash = c.form->Flash();
  ASSERT_NE(flash, nullptr);
  PumpFor(300);
  ExpectWholeFrameShown(*flash, "the first frame");
  for (int i = 1; i <= 3; ++i) {
    c.now.Second += 1;
    PumpFor(300);
    ExpectWholeFrameShown(*flash, "a second later");
  }
  // Blacked out, then painted again whole as when uncovered, the window
  // gets every pixel back from the picture drawn.
  HDC dc = GetDC(flash->hwnd());
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(PatBlt(dc, 0, 0, 100, 80, BLACKNESS));
  ReleaseDC(flash->hwnd(), dc);
  ASSERT_TRUE(InvalidateRect(flash->hwnd(), nullptr, TRUE));
  ASSERT_TRUE(UpdateWindow(flash->hwnd()));
  ExpectWholeFrameShown(*flash, "painted again");
}

// How long the face's next frame is overdue now: a face woken for every
// frame is never more than a frame (83 ms at 12 a second) behind.
LONGLONG Overdue(const dc::FlashFace& flash) {
  return static_cast<LONGLONG>(GetTickCount64()) - static_cast<LONGLONG>(*flash.NextFrameTick());
}
constexpr LONGLONG kMostOverdueMs = 250;  // a frame, and a busy machine's delay

// What the loop's test sees from inside the loop (a timer's procedure has
// no context of its own).
struct LoopProbe {
  dc::FlashFace* flash = nullptr;
  HWND window = nullptr;
  LONGLONG beforeNested = 0, insideNested = 0, insideMove = 0, atQuit = 0;
};
LoopProbe* probe = nullptr;

TEST(FlashFace, TheMessageLoopWakesTheClockWithoutTimersAndANestedLoopRunsThemAgain) {
  Clock c(FlashParts(dc::swf::test::ClockFaceMovie(dc::swf::test::ClockPattern::ClipEvent)));
  dc::FlashFace* flash = c.form->Flash();
  ASSERT_NE(flash, nullptr);
  PumpFor(200);
  EXPECT_LT(Overdue(*flash), kMostOverdueMs) << "on its timer";
  // Paced by the loop, neither the face nor the clock has a timer: pumping
  // the messages alone plays no frame and shows no new second.
  c.form->SetTimerPaced(false);
  const std::uint64_t still = flash->FramesPlayed();
  const std::string shown = c.form->Led().Model().Text();
  c.now.Second += 1;
  PumpFor(1200);
  EXPECT_EQ(flash->FramesPlayed(), still);
  EXPECT_EQ(c.form->Led().Model().Text(), shown);
  // The loop plays them, and ticks the second; a nested loop (a menu, a
  // dialog) inside it runs on the timers; then the loop takes over again.
  LoopProbe seen{flash, c.form->hwnd()};
  probe = &seen;
  const UINT_PTR nested = SetTimer(nullptr, 0, 500, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    probe->beforeNested = Overdue(*probe->flash);
    {
      dc::ui::NestedLoop inside;
      PumpFor(600);
      probe->insideNested = Overdue(*probe->flash);
    }
    // The system's move loop for a window of the program, as when a popup
    // is dragged: the window hears it begin and end.
    SendMessageW(probe->window, WM_ENTERSIZEMOVE, 0, 0);
    PumpFor(600);
    probe->insideMove = Overdue(*probe->flash);
    SendMessageW(probe->window, WM_EXITSIZEMOVE, 0, 0);
  });
  const UINT_PTR quit = SetTimer(nullptr, 0, 2400, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    probe->atQuit = Overdue(*probe->flash);
    PostQuitMessage(7);
  });
  ASSERT_NE(nested, 0u);
  ASSERT_NE(quit, 0u);
  EXPECT_EQ(dc::RunMessageLoop(*c.form), 7);
  probe = nullptr;
  EXPECT_NE(c.form->Led().Model().Text(), shown) << "the loop ticked the second";
  EXPECT_LT(seen.beforeNested, kMostOverdueMs) << "woken by the loop";
  EXPECT_LT(seen.insideNested, kMostOverdueMs) << "on its timer inside the nested loop";
  EXPECT_LT(seen.insideMove, kMostOverdueMs) << "on its timer inside a window's move loop";
  EXPECT_LT(seen.atQuit, kMostOverdueMs) << "woken by the loop after the nested one";
  // Out of the loop, the clock is on its timers again.
  PumpFor(600);
  EXPECT_LT(Overdue(*flash), kMostOverdueMs) << "on its timer after the loop";
}

TEST(FlashFace, AMovieThatCannotBePlayedIsSaidOnceAndTheDigitsRun) {
  const struct {
    std::vector<std::uint8_t> movie;
    const char* reason;
  } cases[] = {
      {{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0}, "not a Flash movie"},
      {{'Z', 'W', 'S', 13, 40, 0, 0, 0, 0, 0, 0, 0}, "LZMA"},
      {{'F', 'W', 'S', 6, 200, 0, 0, 0, 0x78}, "cut off"},
  };
  for (const auto& k : cases) {
    Clock c(FlashParts(k.movie));
    ASSERT_EQ(c.errors.size(), 1u) << k.reason;
    EXPECT_NE(c.errors[0].find("The clock's Flash face cannot be shown: "), std::string::npos) << c.errors[0];
    EXPECT_NE(c.errors[0].find(k.reason), std::string::npos) << c.errors[0];
    EXPECT_EQ(c.form->Flash(), nullptr);
    EXPECT_TRUE(GetWindowLongW(c.form->FaceWindow(), GWL_STYLE) & WS_VISIBLE) << "the placeholder keeps its place";
  }
}

}  // namespace
