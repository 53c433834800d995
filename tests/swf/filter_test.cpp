// Filters on small layers with known outputs: the box blur's passes, a
// shadow's offset, strength, knockout and inner side, a glow's spread, a
// bevel's lit and shaded sides, the colour matrix, a convolution and how
// far each reaches.
#include <gtest/gtest.h>

#include <numbers>
#include <vector>

#include "swf/raster/filters.h"

namespace dc::swf::test {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u, kRed = 0xFFFF0000u;

// A line of n bytes, clear but for `value` at `at`.
std::vector<std::uint8_t> Spike(std::size_t n, std::size_t at, std::uint8_t value) {
  std::vector<std::uint8_t> line(n, 0);
  line[at] = value;
  return line;
}

// A line of n bytes of `inner` with `end` at either end.
std::vector<std::uint8_t> Spread(std::size_t n, std::uint8_t inner, std::uint8_t end) {
  std::vector<std::uint8_t> line(n, inner);
  line.front() = line.back() = end;
  return line;
}

TEST(Filters, BoxBlurPasses) {
  struct Case {
    std::int32_t w, h;
    BlurBox x, y;
    std::uint8_t passes;
    std::vector<std::uint8_t> in, out;
  };
  const BlurBox none, three{1, 0, 0};
  const Case cases[] = {
      {7, 1, three, none, 1, {0, 0, 0, 255, 0, 0, 0}, {0, 0, 85, 85, 85, 0, 0}},
      {7, 1, three, none, 2, {0, 0, 0, 255, 0, 0, 0}, {0, 28, 56, 85, 56, 28, 0}},
      {5, 1, {2, 0, 0}, none, 1, {0, 0, 9, 0, 0}, {1, 1, 1, 1, 1}},  // each mean truncated: 9 / 5 is 1
      {1, 3, none, three, 1, {0, 255, 0}, {85, 85, 85}},
      {3, 1, three, three, 0, {0, 255, 0}, {0, 255, 0}},  // no passes: as it was
      // A box 4 wide: the pixel, one whole either side and half of the next.
      {7, 1, {1, 128, 0}, none, 1, {0, 0, 0, 255, 0, 0, 0}, {0, 31, 63, 63, 63, 31, 0}},
      // 30 wide over one pixel: a 30th of it (8.5) and at the ends half that
      // (4.25), truncated.
      {31, 1, {14, 128, 0}, none, 1, Spike(31, 15, 255), Spread(31, 8, 4)},
      // 6 wide over a plateau of 42: the box's reciprocal falls short of 42.
      {7, 1, {2, 128, 0}, none, 1, std::vector<std::uint8_t>(7, 42), {24, 31, 38, 41, 38, 31, 24}},
      // Shifted a pixel along the line: each pixel takes the box around the next.
      {5, 1, {1, 0, 1}, none, 1, {0, 0, 255, 0, 0}, {85, 85, 85, 0, 0}},
      {1, 5, none, {1, 0, 1}, 1, {0, 0, 255, 0, 0}, {85, 85, 85, 0, 0}},
  };
  std::vector<std::uint8_t> line;
  for (const Case& c : cases) {
    std::vector<std::uint8_t> plane = c.in;
    BoxBlur(plane.data(), c.w, c.h, c.x, c.y, c.passes, line);
    EXPECT_EQ(plane, c.out) << c.w << "x" << c.h << " passes " << int{c.passes};
  }
}

struct LayerCase {
  const char* what;
  Filter filter;
  std::int32_t w, h;
  std::vector<std::uint32_t> in, out;
};

ShadowFilter Shadow(double angle, double strength = 1, bool knockout = false, bool inner = false) {
  ShadowFilter f;
  f.blurX = f.blurY = 0;
  f.angle = angle;
  f.distance = 1;
  f.strength = strength;
  f.knockout = knockout;
  f.inner = inner;
  return f;
}

BevelFilter Bevel(BevelType type) {
  BevelFilter f;
  f.highlight = {255, 0, 0, 255};
  f.blurX = f.blurY = 0;
  f.angle = 0;
  f.distance = 1;
  f.type = type;
  return f;
}

TEST(Filters, SmallLayers) {
  ShadowFilter glow;
  glow.glow = true;
  glow.color = {255, 0, 0, 255};
  glow.blurX = glow.blurY = 2;
  ColorMatrixFilter swap;
  swap.matrix = {0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0};
  ColorMatrixFilter halfAlpha;
  halfAlpha.matrix[18] = 0.5;
  ConvolutionFilter right;
  right.columns = 3;
  right.rows = 1;
  right.matrix = {0, 0, 1};
  // A blur 4 high: its box has half pixels at the ends, and it lands a
  // pixel higher than the box's centre.
  BlurFilter tall;
  tall.blurX = 0;
  tall.blurY = 4;
  tall.passes = 1;
  const std::vector<std::uint32_t> dot{0, 0, 0, 0, 0, kWhite, 0, 0, 0, 0, 0, 0};  // 4 × 3, white at (1, 1)
  const double down = std::numbers::pi / 2;
  const LayerCase cases[] = {
      {"shadow one pixel right", Shadow(0), 4, 3, dot, {0, 0, 0, 0, 0, kWhite, kBlack, 0, 0, 0, 0, 0}},
      {"shadow one pixel down", Shadow(down), 4, 3, dot, {0, 0, 0, 0, 0, kWhite, 0, 0, 0, kBlack, 0, 0}},
      {"half strength", Shadow(0, 0.5), 4, 3, dot, {0, 0, 0, 0, 0, kWhite, 0x7F000000u, 0, 0, 0, 0, 0}},
      {"knockout leaves the shadow alone", Shadow(0, 1, true), 4, 3, dot, {0, 0, 0, 0, 0, 0, kBlack, 0, 0, 0, 0, 0}},
      {"inner shadow falls inside the object", Shadow(0, 1, false, true), 4, 3, dot,
       {0, 0, 0, 0, 0, kBlack, 0, 0, 0, 0, 0, 0}},
      // A glow 2 wide: the pixel and half of each neighbour, along x then y.
      {"glow spreads a box around", glow, 3, 3, {0, 0, 0, 0, kWhite, 0, 0, 0, 0},
       {0x0F0F0000u, 0x1F1F0000u, 0x0F0F0000u, 0x1F1F0000u, kWhite, 0x1F1F0000u, 0x0F0F0000u, 0x1F1F0000u,
        0x0F0F0000u}},
      {"inner bevel: lit where the light enters", Bevel(BevelType::Inner), 5, 1, {0, kWhite, kWhite, kWhite, 0},
       {0, kRed, kWhite, kBlack, 0}},
      {"outer bevel: lit and shaded outside", Bevel(BevelType::Outer), 5, 1, {0, kWhite, kWhite, kWhite, 0},
       {kRed, kWhite, kWhite, kWhite, kBlack}},
      {"outer bevel shows once through a half-clear object", Bevel(BevelType::Outer), 3, 1,
       {0x80808080u, 0x80808080u, 0x80808080u}, {0xC0C08080u, 0x80808080u, 0xC0808080u}},
      {"a blur with part pixels lands a pixel higher", tall, 1, 5, {0, 0, kWhite, 0, 0},
       {0x3F3F3F3Fu, 0x3F3F3F3Fu, 0x3F3F3F3Fu, 0x1F1F1F1Fu, 0}},
      {"colour matrix swaps red and blue", swap, 1, 1, {0xFF102030u}, {0xFF302010u}},
      {"colour matrix halves alpha, rounded", halfAlpha, 1, 1, {0xFF204060u}, {0x80102030u}},
      {"convolution takes the right neighbour", right, 3, 1, {0xFF0000FFu, 0xFF00FF00u, kRed},
       {0xFF00FF00u, kRed, kRed}},
  };
  FilterScratch scratch;
  for (const LayerCase& c : cases) {
    std::vector<std::uint32_t> pixels = c.in;
    ApplyFilter(c.filter, Canvas{pixels.data(), c.w, c.h, c.w}, FilterScale{}, scratch);
    EXPECT_EQ(pixels, c.out) << c.what;
  }
}

TEST(Filters, ReachGrowsWithScaleAndPasses) {
  ShadowFilter shadow;
  shadow.blurX = shadow.blurY = 4;
  shadow.passes = 2;
  shadow.distance = 4;
  shadow.angle = 0;
  const FilterReach r = ReachOf(shadow, FilterScale{2, 2});
  // A radius of 3 ((4 − 1) · 2 + 1 = 7 wide) twice over, and the shadow 8
  // pixels to the right.
  EXPECT_EQ((std::vector<std::int32_t>{r.left, r.top, r.right, r.bottom}), (std::vector<std::int32_t>{6, 6, 14, 6}));
  shadow.glow = true;
  const FilterReach g = ReachOf(shadow, FilterScale{1, 1});
  EXPECT_EQ((std::vector<std::int32_t>{g.left, g.top, g.right, g.bottom}), (std::vector<std::int32_t>{4, 4, 4, 4}));
}

TEST(Filters, BlurRadiusScalesItsReachPastTheCentrePixel) {
  struct Case {
    double blur, scale;
    std::int32_t radius;
  };
  const Case cases[] = {
      {1, 1, 0}, {2, 1, 1}, {3, 1, 1}, {4, 1, 2}, {30, 1, 15}, {2.5, 1, 1},
      {1, 2, 0}, {2, 2, 1}, {3, 2, 2}, {4, 2, 3}, {1.5, 2, 1}, {2, 0.5, 1}, {1.2, 1, 1}, {1, 0.5, 0},
  };
  for (const Case& c : cases) {
    BlurFilter blur;
    blur.blurX = c.blur;
    blur.blurY = 0;
    blur.passes = 1;
    const FilterReach r = ReachOf(blur, FilterScale{c.scale, c.scale});
    EXPECT_EQ(r.left, c.radius) << c.blur << " at " << c.scale;
    EXPECT_EQ(r.right, c.radius) << c.blur << " at " << c.scale;
    EXPECT_EQ(r.top, 0) << c.blur << " at " << c.scale;
  }
}

}  // namespace
}  // namespace dc::swf::test
