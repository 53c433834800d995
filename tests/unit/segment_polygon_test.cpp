// Clipping of the LED segments' polygons and lines: a line walked only
// where it meets the surface sets exactly the pixels the whole walk sets
// there, and a render pass of shapes far larger than its surface shows
// exactly the corner of the whole picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "led/led_model.h"
#include "led/segment_polygon.h"

using namespace dc;
using namespace dc::led;

namespace {

// The whole walk, every step, as the classic all-octant integer line.
void ReferenceLine(PixelTarget& t, Point a, Point b, std::uint32_t pixel) {
  const int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
  const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    t.Put(a.x, a.y, pixel);
    if (a.x == b.x && a.y == b.y) return;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      a.x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      a.y += sy;
    }
  }
}

}  // namespace

TEST(Raster, ClippedLinesSetExactlyTheWholeWalksPixels) {
  // Every line between points of a 24 x 20 grid around a 10 x 8 surface:
  // inside, crossing, touching and missing it, in all eight octants.
  const int w = 10, h = 8;
  std::vector<std::uint32_t> clipped(w * h), whole(w * h);
  PixelTarget a{clipped.data(), w, h, w}, b{whole.data(), w, h, w};
  int lines = 0;
  for (int x0 = -7; x0 < 17; x0 += 1)
    for (int y0 = -6; y0 < 14; y0 += 2)
      for (int x1 = -7; x1 < 17; x1 += 3)
        for (int y1 = -6; y1 < 14; y1 += 1) {
          std::fill(clipped.begin(), clipped.end(), 0);
          std::fill(whole.begin(), whole.end(), 0);
          DrawLine(a, {x0, y0}, {x1, y1}, 1);
          ReferenceLine(b, {x0, y0}, {x1, y1}, 1);
          ASSERT_EQ(clipped, whole) << "(" << x0 << ", " << y0 << ") to (" << x1 << ", " << y1 << ")";
          ++lines;
        }
  EXPECT_EQ(lines, 24 * 10 * 8 * 20);
}

TEST(Raster, LinesFarBeyondTheSurfaceAndAtTheCoordinateLimits) {
  std::vector<std::uint32_t> px(16 * 16, 0);
  PixelTarget t{px.data(), 16, 16, 16};
  DrawLine(t, {INT32_MIN, 5}, {INT32_MAX, 5}, 7);  // row 5 across the whole surface
  for (int x = 0; x < 16; ++x) EXPECT_EQ(t.At(x, 5), 7u) << x;
  DrawLine(t, {-1000000, -1000000}, {1000000, 1000000}, 9);  // the diagonal
  for (int i = 0; i < 16; ++i) EXPECT_EQ(t.At(i, i), 9u) << i;
  std::vector<std::uint32_t> before = px;
  DrawLine(t, {INT32_MIN, INT32_MIN}, {INT32_MIN + 3, INT32_MAX}, 1);  // far left: nothing
  EXPECT_EQ(px, before);
}

TEST(Raster, HugeCellsOnASmallSurfaceShowTheCornerOfTheWholePicture) {
  // Digits 16384 pixels high drawn on small surfaces equal the top-left
  // corner of the same digits drawn on a surface that holds them whole.
  LedModel m;
  m.SetAutoSize(false);
  m.SetCellHeight(16384);  // stored as 16385
  m.SetCellWidth(101);
  m.SetThickness(25);
  m.SetGap(0);
  m.SetMarginX(0);
  m.SetMarginY(0);
  m.SetText("8.:8");
  const int bigW = 3 * 101 + 1, bigH = 16385 + 1;
  std::vector<std::uint32_t> whole(static_cast<std::size_t>(bigW) * bigH);
  PixelTarget all{whole.data(), bigW, bigH, bigW};
  m.Render(all);
  for (auto [w, h] : {std::pair{47, 38}, std::pair{150, 5000}, std::pair{bigW, 9000}}) {
    std::vector<std::uint32_t> small(static_cast<std::size_t>(w) * h);
    PixelTarget s{small.data(), w, h, w};
    m.Render(s);
    int differ = 0, lit = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        differ += s.At(x, y) != all.At(x, y);
        lit += s.At(x, y) == ColourToPixel(m.LitColour());
      }
    EXPECT_EQ(differ, 0) << w << " x " << h;
    EXPECT_GT(lit, 0) << w << " x " << h << ": the corner shows lit segments";
  }
}
