// The clock at 100, 125, 150 and 200 %: one table of its geometry at each
// scale, worked out by hand from the rounding rules (nearest pixel, halves
// away from zero; a cell keeps its middle row; a stroke at least a pixel).
#include <gtest/gtest.h>

#include <vector>

#include "app/screen_placement.h"
#include "base/scale.h"
#include "layout/clock_layout.h"
#include "layout/led_setup.h"
#include "layout/picture_scale.h"
#include "led/led_metrics.h"
#include "notify/popup_layout.h"

namespace {

using dc::Rect;
using dc::led::LedMetrics;

struct ScaleRow {
  int dpi;
  LedMetrics led;                   // cells 15 x 27, stroke 3, gap 3, margins 4 and 2 at 100 %
  dc::led::Size block;              // "10:08:30" in those cells
  Rect face, digits;                // the face 220 x 96 at (0, 0), the digits at (100, 70)
  std::int32_t width, height;       // the window
  std::vector<Rect> shapeRows;      // a 3 x 2 picture with two key pixels, its spans
  std::int32_t homeLeft, homeTop;   // on a 1920 x 1080 primary monitor of that scale
  dc::notify::PopupLayout popup;    // the default 329 x 76 popup
  std::int32_t popupFont;           // a 9-point font's height
};

// Close, drop-down; caption rows, body top, line; grip left, top, step,
// dot, shift; header left, top; message left, right, bottom; glyphs.
const ScaleRow kRows[] = {
    {96, {15, 27, 3, 3, 4, 2}, {149, 31}, {0, 0, 220, 96}, {100, 70, 249, 101}, 249, 101,
     {{1, 0, 3, 1}, {0, 1, 1, 2}, {2, 1, 3, 2}}, 1671, 949,
     {329, 76, {312, 10, 327, 25}, {296, 10, 311, 25}, 8, 9, 1, 144, 3, 4, 2, 1, 13, 13, 21, 296, 75, -9, -13}, -12},
    {120, {19, 33, 4, 4, 5, 3}, {190, 39}, {0, 0, 275, 120}, {125, 88, 315, 127}, 315, 127,
     {{1, 0, 4, 1}, {0, 1, 1, 2}, {2, 1, 4, 2}, {0, 2, 1, 3}, {2, 2, 4, 3}}, 1605, 915,
     {411, 95, {390, 13, 408, 31}, {370, 13, 388, 31}, 10, 11, 1, 180, 4, 5, 3, 1, 16, 16, 26, 370, 94, -12, -17}, -15},
    {144, {23, 41, 5, 5, 6, 3}, {231, 47}, {0, 0, 330, 144}, {150, 105, 381, 152}, 381, 152,
     {{1, 0, 5, 1}, {0, 1, 1, 2}, {3, 1, 5, 2}, {0, 2, 1, 3}, {3, 2, 5, 3}}, 1539, 883,
     {494, 114, {468, 15, 491, 38}, {444, 15, 467, 38}, 12, 14, 2, 217, 5, 6, 3, 2, 20, 20, 32, 444, 112, -14, -20}, -18},
    {192, {30, 53, 6, 6, 8, 4}, {298, 61}, {0, 0, 440, 192}, {200, 140, 498, 201}, 498, 201,
     {{2, 0, 6, 1}, {2, 1, 6, 2}, {0, 2, 2, 3}, {4, 2, 6, 3}, {0, 3, 2, 4}, {4, 3, 6, 4}}, 1422, 819,
     {658, 152, {624, 20, 654, 50}, {592, 20, 622, 50}, 16, 18, 2, 289, 6, 8, 4, 2, 26, 26, 42, 592, 150, -19, -27}, -24},
};

TEST(ScaledGeometry, TheClockAndItsPopupAtEachScale) {
  constexpr std::uint32_t K = 0x00FF00FF, A = 0x00102030;
  const std::vector<std::uint32_t> picture = {K, A, A, A, K, A};
  const dc::ClockLayout at100{{0, 0, 220, 96}, {100, 70, 249, 101}, true, 249, 101};
  // One display goes through every scale and back: no value is refused
  // on the way up or down.
  dc::led::LedModel display;
  display.SetText("10:08:30");
  dc::ApplyLedMetrics(display, kRows[0].led);
  for (int pass = 0; pass < 2; ++pass) {
    for (const ScaleRow& row : kRows) {
      SCOPED_TRACE(row.dpi);
      EXPECT_EQ(dc::led::ScaleLedMetrics(kRows[0].led, row.dpi), row.led);
      dc::ApplyLedMetrics(display, row.led);
      EXPECT_EQ(dc::led::MetricsOf(display), row.led);
      EXPECT_EQ(display.TextSize(), row.block);

      const dc::ClockLayout scaled = dc::ScaleClockLayout(at100, row.dpi, row.block.width, row.block.height);
      EXPECT_EQ(scaled.face, row.face);
      EXPECT_EQ(scaled.led, row.digits);
      EXPECT_EQ(scaled.width, row.width);
      EXPECT_EQ(scaled.height, row.height);

      EXPECT_EQ(dc::ScaledPictureRegionRects(picture, 3, 2, K, row.dpi, 0, 0), row.shapeRows);

      const std::vector<dc::Monitor> monitors{{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true, row.dpi}};
      const Rect home = dc::HomePlace({0, 0, row.width, row.height}, monitors);
      EXPECT_EQ(home, (Rect{row.homeLeft, row.homeTop, row.homeLeft + row.width, row.homeTop + row.height}));

      EXPECT_EQ(dc::notify::LayOutPopup(0, 0, row.dpi), row.popup);
      EXPECT_EQ(dc::notify::FontHeightAt({.height = -12, .points = 9}, row.dpi), row.popupFont);
    }
  }
}

TEST(ScaledGeometry, AStrokeRoundsToTheNearestPixelAndFitsItsCell) {
  const struct {
    LedMetrics at100;
    int dpi;
    std::int32_t thickness;
  } cases[] = {
      {{15, 27, 1, 3, 0, 0}, 120, 1},  // 1.25 rounds down
      {{15, 27, 1, 3, 0, 0}, 144, 2},  // 1.5 rounds up
      {{5, 27, 2, 3, 0, 0}, 120, 2},   // 2.5 would be 3, but a 6-wide cell takes at most 2
      {{15, 9, 2, 3, 0, 0}, 144, 3},   // 3, and a 13-high cell takes 3
      {{15, 9, 2, 3, 0, 0}, 120, 2},   // 2.5 would be 3, but an 11-high cell takes at most 2
      {{15, 27, 0, 3, 0, 0}, 192, 0},  // no stroke stays none
  };
  for (const auto& c : cases)
    EXPECT_EQ(dc::led::ScaleLedMetrics(c.at100, c.dpi).thickness, c.thickness) << c.at100.thickness << " at " << c.dpi;
}

TEST(ScaledGeometry, PictureColoursAreFilteredAndKeyPixelsStayOut) {
  constexpr std::uint32_t K = 0x00FF00FF;
  // Two pixels, black and white, doubled (two rows of four): the outer
  // pixels keep their colour, the inner ones take 3/4 of theirs and 1/4 of
  // the other's.
  const std::vector<std::uint32_t> pair = {0x000000, 0xFFFFFF};
  const std::vector<std::uint32_t> row = {0x000000, 0x404040, 0xBFBFBF, 0xFFFFFF};
  std::vector<std::uint32_t> twoRows = row;
  twoRows.insert(twoRows.end(), row.begin(), row.end());
  EXPECT_EQ(dc::ScalePicture(pair, 2, 1, 192, std::nullopt, 100, 100).colours, twoRows);
  // With the key colour of a shaped picture, the key gives nothing to its
  // neighbours: the pixels next to it take the other colour alone (the
  // second lies outside the shape, its centre over the key), and the first,
  // with the key alone, keeps it.
  const std::vector<std::uint32_t> keyed = {K, 0x204060};
  EXPECT_EQ(dc::ScalePicture(keyed, 2, 1, 192, K, 100, 1).colours,
            (std::vector<std::uint32_t>{K, 0x204060, 0x204060, 0x204060}));
  // Halved, each pixel is the average of the four it covers.
  const std::vector<std::uint32_t> square = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
  EXPECT_EQ(dc::ScalePicture(square, 2, 2, 48, std::nullopt, 100, 100).colours,
            (std::vector<std::uint32_t>{0x404040}));
  // Only the part the face shows is made; at 100 % the colours are the picture's.
  EXPECT_EQ(dc::ScalePicture(pair, 2, 1, 192, std::nullopt, 3, 1).colours.size(), 3u);
  EXPECT_EQ(dc::ScalePicture(square, 2, 2, 96, K, 100, 100).colours, square);
}

}  // namespace
