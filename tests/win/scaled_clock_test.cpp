// The clock at other scales under Wine: at its monitor's DPI when it shows,
// again on WM_DPICHANGED and when a change of the screens lands it on a
// monitor of another scale. Its window, digits, picture, shape and Flash
// face against the core's geometry, pixel for pixel.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/window_fit.win.h"
#include "clock_face_movies.h"
#include "clock_fixture.h"
#include "layout/clock_layout.h"
#include "layout/led_setup.h"
#include "layout/picture_scale.h"
#include "led/led_metrics.h"
#include "pixels.h"
#include "swf/format/reader.h"
#include "swf/player/player.h"
#include "ui/dpi.win.h"

using namespace dc;
using dctest::Clock;

namespace {

struct Pixels {
  std::int32_t width = 0, height = 0;
  std::vector<std::uint32_t> px;  // 0x00RRGGBB
  bool operator==(const Pixels&) const = default;
};

// "" when the pixels are the same, else their sizes or the first pixel that
// differs, with how many do.
std::string Difference(const Pixels& shown, const Pixels& want) {
  if (shown.width != want.width || shown.height != want.height)
    return "shown " + std::to_string(shown.width) + " x " + std::to_string(shown.height) + ", want " +
           std::to_string(want.width) + " x " + std::to_string(want.height);
  std::size_t differ = 0, first = 0;
  for (std::size_t i = shown.px.size(); i-- > 0;)
    if (shown.px[i] != want.px[i]) ++differ, first = i;
  if (differ == 0) return "";
  char text[120];
  std::snprintf(text, sizeof text, "%zu pixels differ, the first at (%d, %d): 0x%06X, want 0x%06X", differ,
                static_cast<int>(first % want.width), static_cast<int>(first / want.width), shown.px[first],
                want.px[first]);
  return text;
}

// `over` drawn on `under` with its top left at (x, y).
void Paste(Pixels& under, const Pixels& over, int x, int y) {
  for (int r = 0; r < over.height; ++r)
    for (int c = 0; c < over.width; ++c)
      if (x + c >= 0 && x + c < under.width && y + r >= 0 && y + r < under.height)
        under.px[static_cast<std::size_t>(y + r) * under.width + x + c] = over.px[static_cast<std::size_t>(r) * over.width + c];
}

Pixels ClientPixels(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  HDC dc = GetDC(window);
  Pixels p{r.right, r.bottom, dctest::ReadPixels(dc, 0, 0, r.right, r.bottom)};
  ReleaseDC(window, dc);
  return p;
}

// The digits as the core draws the display's text at `dpi`.
Pixels CoreDigits(const DisplaySettings& d, const std::string& text, int dpi) {
  led::LedModel m;
  ApplyLedDesign(m);
  ApplyLedSettings(m, d);
  m.SetText(text);
  ApplyLedMetrics(m, led::ScaleLedMetrics(led::MetricsOf(m), dpi));
  m.size = m.TextSize();
  Pixels p{m.size.width, m.size.height, std::vector<std::uint32_t>(static_cast<std::size_t>(m.size.width) * m.size.height)};
  PixelTarget t{p.px.data(), p.width, p.height, p.width};
  m.Render(t);
  return p;
}

Rect BoundsOf(HWND child, HWND parent) {
  const RECT r = BoundsIn(child, parent);
  return {r.left, r.top, r.right, r.bottom};
}

// What the clock of dctest::Parts() shows at `dpi`, from the core.
struct Expected {
  ClockLayout layout;
  Pixels digits, face;
  std::vector<Rect> shape;  // the picture's scaled rows, at the face
};

Expected ExpectedAt(const dctest::PackageParts& p, const std::string& text, int dpi) {
  const Pixels at100 = CoreDigits(p.display, text, 96);
  Expected e;
  e.digits = CoreDigits(p.display, text, dpi);
  e.layout = ScaleClockLayout(LayOutClock(p.display, false, at100.width, at100.height), dpi, e.digits.width,
                              e.digits.height);
  const ScaledPicture picture = ScalePicture(dctest::FaceColours(), 60, 40, dpi, dctest::kKey,
                                             e.layout.face.Width(), e.layout.face.Height());
  e.face = {picture.width, picture.height, {}};
  for (std::uint32_t c : picture.colours) e.face.px.push_back(ColourToPixel(c));
  e.shape = ScaledPictureRegionRects(dctest::FaceColours(), 60, 40, dctest::kKey, dpi, e.layout.face.left,
                                     e.layout.face.top);
  return e;
}

// Every pixel of the window: inside its shape or not, as one text row per
// line ('#' inside).
std::string ShapeOf(HWND window, int width, int height) {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  const bool got = GetWindowRgn(window, region) != ERROR;
  std::string rows;
  for (int y = 0; y < height; ++y, rows += '\n')
    for (int x = 0; x < width; ++x) rows += got && PtInRegion(region, x, y) ? '#' : '.';
  DeleteObject(region);
  return rows;
}

std::string ShapeOf(const std::vector<Rect>& rects, int width, int height) {
  std::string rows(static_cast<std::size_t>(width + 1) * height, '.');
  for (int y = 0; y < height; ++y) rows[static_cast<std::size_t>(y) * (width + 1) + width] = '\n';
  for (const Rect& r : rects)
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, height); ++y)
      for (int x = std::max(r.left, 0); x < std::min(r.right, width); ++x) rows[static_cast<std::size_t>(y) * (width + 1) + x] = '#';
  return rows;
}

// The pixels inside `shape` (rows of ShapeOf, its top left at (-x, -y) of
// the pixels); the others, which the screen does not show, as 0xFF000000.
Pixels InShape(Pixels p, const std::string& shape, int x, int y) {
  const auto width = static_cast<int>(shape.find('\n'));
  const int height = width > 0 ? static_cast<int>(shape.size()) / (width + 1) : 0;
  for (int r = 0; r < p.height; ++r)
    for (int c = 0; c < p.width; ++c) {
      const int sx = c + x, sy = r + y;
      const bool in = sx < width && sy < height && shape[static_cast<std::size_t>(sy) * (width + 1) + sx] == '#';
      if (!in) p.px[static_cast<std::size_t>(r) * p.width + c] = 0xFF000000;
    }
  return p;
}

// The clock checked against what the core says it shows at `dpi`.
void ExpectClockAt(Clock& c, const dctest::PackageParts& p, int dpi) {
  SCOPED_TRACE(dpi);
  EXPECT_EQ(c.form->Dpi(), dpi);
  const Expected e = ExpectedAt(p, c.form->Led().Model().Text(), dpi);
  RECT client{};
  GetClientRect(c.hwnd(), &client);
  EXPECT_EQ(client.right, e.layout.width);
  EXPECT_EQ(client.bottom, e.layout.height);
  EXPECT_EQ(BoundsOf(c.form->FaceWindow(), c.hwnd()), e.layout.face);
  EXPECT_EQ(BoundsOf(c.form->Led().hwnd(), c.hwnd()), e.layout.led);
  dctest::Pump();
  EXPECT_EQ(Difference(ClientPixels(c.form->Led().hwnd()), e.digits), "") << "the digits, pixel for pixel";
  std::vector<Rect> rects = e.shape;
  rects.push_back(e.layout.led);
  const std::string shape = ShapeOf(rects, client.right, client.bottom);
  EXPECT_EQ(ShapeOf(c.hwnd(), client.right, client.bottom), shape);
  // The face as the screen shows it inside the shape: the picture filtered
  // to the scale, the digits over it.
  Pixels face = e.face;
  Paste(face, e.digits, e.layout.led.left - e.layout.face.left, e.layout.led.top - e.layout.face.top);
  EXPECT_EQ(Difference(InShape(ClientPixels(c.form->FaceWindow()), shape, e.layout.face.left, e.layout.face.top),
                       InShape(face, shape, e.layout.face.left, e.layout.face.top)),
            "")
      << "the picture, filtered to the scale";
}

TEST(ScaledClock, OnAMonitorOfEachScaleItShowsTheCoresGeometryAtHome) {
  for (int dpi : {96, 120, 144, 192}) {
    Clock c(dctest::Parts(), true, false, dctest::OnScreenAt(dpi));
    ExpectClockAt(c, dctest::Parts(), dpi);
    const RECT w = c.Window();
    EXPECT_EQ(w.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(w.bottom, GetSystemMetrics(SM_CYSCREEN) - ScaleLength(30, dpi)) << "home, 30 pixels scaled above the edge";
  }
}

TEST(ScaledClock, DpiChangedScalesTheClockAtTheSuggestedPlaceAndBackToTheSamePixels) {
  int dpi = 96;
  Clock c(dctest::Parts(), true, false, dctest::OnScreenAt(dpi));
  c.DragTo(10, 10);
  dctest::Pump();
  RECT client{};
  GetClientRect(c.hwnd(), &client);
  const std::string shape = ShapeOf(c.hwnd(), client.right, client.bottom);
  const Pixels before = InShape(ClientPixels(c.hwnd()), shape, 0, 0);
  const RECT suggested{30, 40, 300, 200};
  SendMessageW(c.hwnd(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
  ExpectClockAt(c, dctest::Parts(), 192);
  EXPECT_EQ(c.Window().left, 30);
  EXPECT_EQ(c.Window().top, 40);
  SendMessageW(c.hwnd(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
  dctest::Pump();
  EXPECT_EQ(ShapeOf(c.hwnd(), client.right, client.bottom), shape);
  EXPECT_EQ(Difference(InShape(ClientPixels(c.hwnd()), shape, 0, 0), before), "") << "back at 100 %, the pixels it showed";

  // At home when its monitor takes another scale, it stays at home.
  c.Command(MenuCommand::ShowHide);
  c.Command(MenuCommand::ShowHide);
  dpi = 144;
  SendMessageW(c.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  ExpectClockAt(c, dctest::Parts(), 144);
  EXPECT_EQ(c.Window().right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(c.Window().bottom, GetSystemMetrics(SM_CYSCREEN) - 45);
}

TEST(ScaledClock, MovedOntoAMonitorOfAnotherScaleItTakesThatScaleWhereItLies) {
  // The screen at 100 % and a second monitor right of it at 200 %.
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  Clock c(dctest::Parts(), true, false, [w, h](ClockSeams& s) {
    s.monitors = [w, h] {
      return std::vector<Monitor>{{{0, 0, w, h}, {0, 0, w, h}, true, 96}, {{w, 0, 2 * w, h}, {w, 0, 2 * w, h}, false, 192}};
    };
  });
  c.DragTo(w + 100, 50);
  SendMessageW(c.hwnd(), WM_DISPLAYCHANGE, 32, MAKELPARAM(w, h));
  EXPECT_EQ(c.form->Dpi(), 192);
  EXPECT_EQ(c.Window().left, w + 100) << "it stays where it was put";
  EXPECT_EQ(c.Window().top, 50);
  c.DragTo(100, 50);
  SendMessageW(c.hwnd(), WM_DISPLAYCHANGE, 32, MAKELPARAM(w, h));
  ExpectClockAt(c, dctest::Parts(), 96);
}

// The process's own DPI (the prefix's LogPixels, read at its start): the
// clock is built at it, as a user's clock starts on such a screen. The run
// in a prefix of another DPI says which in DC_LOG_PIXELS.
TEST(SystemDpiClock, TheScreenHasThePrefixsDpi) {
  const char* logPixels = std::getenv("DC_LOG_PIXELS");
  EXPECT_EQ(ui::SystemDpi(), logPixels ? std::atoi(logPixels) : 96);
}

TEST(SystemDpiClock, StartsAtTheScreensScale) {
  const int dpi = ui::SystemDpi();
  Clock c;
  ExpectClockAt(c, dctest::Parts(), dpi);
}

dctest::PackageParts FlashParts() {
  dctest::PackageParts p = dctest::Parts();
  p.face = swf::test::ClockFaceMovie(swf::test::ClockPattern::ClipEvent);
  std::memcpy(p.display.FaceType, ".SWF\0", 5);
  p.display.FaceLeft = 10;
  p.display.FaceTop = 20;
  p.display.FaceWidth = 100;
  p.display.FaceHeight = 80;
  return p;
}

int UtcOffsetMinutes() {
  TIME_ZONE_INFORMATION tz{};
  const DWORD kind = GetTimeZoneInformation(&tz);
  if (kind == TIME_ZONE_ID_INVALID) return 0;
  LONG bias = tz.Bias + (kind == TIME_ZONE_ID_DAYLIGHT ? tz.DaylightBias : kind == TIME_ZONE_ID_STANDARD ? tz.StandardBias : 0);
  return -static_cast<int>(bias);
}

// The Flash face at 200 %, against the player drawing the same movie at the
// same time at the window's size, and drawn at the screen's pixels: many of
// its 2 x 2 blocks are not of one colour, as a stretched 100 % picture's are.
// Long enough at 12 frames a second for the face to pass its second frame.
void PlayFrames() {
  const DWORD end = GetTickCount() + 400;
  while (GetTickCount() < end) dctest::Pump(1);
  dctest::Pump();
}

void ExpectFlashFaceAt(Clock& c, const dctest::PackageParts& p, int dpi) {
  const Pixels shown = ClientPixels(c.form->FaceWindow());
  EXPECT_EQ(shown.width, ScaleLength(100, dpi));
  EXPECT_EQ(shown.height, ScaleLength(80, dpi));
  swf::PlayerOptions options;
  options.now = [&c] { return swf::avm1::LocalTime{c.now, UtcOffsetMinutes()}; };
  swf::Player player(std::make_shared<const swf::Movie>(swf::ReadMovie(p.face)), std::move(options));
  // The hands turn from the second frame on (a clip's enterFrame does not
  // run on the frame that places it); the time stands still after that.
  for (int frame = 2; frame <= 3; ++frame) player.Advance();
  Pixels drawn{shown.width, shown.height, std::vector<std::uint32_t>(shown.px.size())};
  PixelTarget target{drawn.px.data(), drawn.width, drawn.height, drawn.width};
  player.Render(target);
  for (std::uint32_t& px : drawn.px) px &= 0xFFFFFF;
  EXPECT_EQ(Difference(shown, drawn), "") << "the player's picture at the window's size";
  if (dpi % 96 != 0 || dpi == 96) return;
  const int s = dpi / 96;
  int mixed = 0;
  for (int y = 0; y + s <= shown.height; y += s)
    for (int x = 0; x + s <= shown.width; x += s)
      for (int k = 0; k < s * s; ++k) {
        if (shown.px[static_cast<std::size_t>(y + k / s) * shown.width + x + k % s] != shown.px[static_cast<std::size_t>(y) * shown.width + x]) {
          ++mixed;
          break;
        }
      }
  EXPECT_GT(mixed, 100) << "edges drawn at the screen's pixels";
}

TEST(ScaledClock, TheFlashFaceIsDrawnByThePlayerAtTheScreensPixels) {
  int dpi = 192;
  Clock c(FlashParts(), true, false, dctest::OnScreenAt(dpi));
  ASSERT_NE(c.form->Flash(), nullptr);
  PlayFrames();
  ExpectFlashFaceAt(c, FlashParts(), 192);
}

TEST(SystemDpiClock, TheFlashFaceIsDrawnAtTheScreensPixels) {
  Clock c(FlashParts());
  ASSERT_NE(c.form->Flash(), nullptr);
  PlayFrames();
  ExpectFlashFaceAt(c, FlashParts(), ui::SystemDpi());
}

}  // namespace
