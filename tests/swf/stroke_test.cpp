// Stroking: widths on the canvas, hairlines, caps, joins, paths that join,
// and a stroke over itself no darker.
#include <gtest/gtest.h>

#include "raster_support.h"

namespace dc::swf::test {
namespace {

struct CoverageAt {
  std::int32_t x, y;
  std::uint8_t coverage;  // of white over nothing
};

struct StrokeCase {
  const char* what;
  LineStyle style;
  std::vector<std::vector<Point>> lines;  // pixels, one path each
  Matrix m;
  std::vector<CoverageAt> pixels;
};

LineStyle With(LineStyle l, CapStyle cap, JoinStyle join = JoinStyle::Round, bool noClose = false) {
  l.startCap = l.endCap = cap;
  l.join = join;
  l.noClose = noClose;
  return l;
}
LineStyle Limited(LineStyle l, double miterLimit) {
  l.miterLimit = miterLimit;
  return l;
}
LineStyle Unscaled(LineStyle l) {
  l.noHScale = l.noVScale = true;
  return l;
}

TEST(RasterStroke, WidthsCapsAndJoinsReachExactly) {
  const std::vector<Point> across{{5, 5.5}, {15, 5.5}};   // 10 px along row 5
  const std::vector<Point> corner{{4, 10}, {10, 10}, {10, 16}};  // right, then down
  const std::vector<Point> square{{5, 5}, {15, 5}, {15, 15}, {5, 15}, {5, 5}};
  const StrokeCase cases[] = {
      {"hairline", Pen(0), {{{2, 5.5}, {8, 5.5}}}, kPixels, {{4, 5, 255}, {4, 4, 0}, {4, 6, 0}, {2, 5, 255}}},
      {"hairline scaled up ten times", Pen(0), {{{0.2, 0.55}, {0.8, 0.55}}}, Matrix::Scale(0.5, 0.5),
       {{4, 5, 255}, {4, 4, 0}, {4, 6, 0}}},
      {"thinner than a pixel", Pen(0.25), {{{2, 5.5}, {8, 5.5}}}, kPixels, {{4, 5, 255}, {4, 4, 0}, {4, 6, 0}}},
      {"4 px, round caps", Pen(4), {across}, kPixels,
       {{10, 4, 255}, {10, 6, 255}, {10, 3, 128}, {10, 7, 128}, {10, 2, 0}, {10, 8, 0}, {4, 5, 255}, {2, 5, 0},
        {15, 5, 255}, {17, 5, 0}}},
      {"2 px scaled twice", Pen(2), {{{2.5, 2.75}, {7.5, 2.75}}}, Matrix::Scale(0.1, 0.1),
       {{10, 4, 255}, {10, 6, 255}, {10, 3, 128}, {10, 7, 128}}},
      {"2 px scaled twice, width unscaled", Unscaled(Pen(2)), {{{2.5, 2.75}, {7.5, 2.75}}}, Matrix::Scale(0.1, 0.1),
       {{10, 5, 255}, {10, 4, 128}, {10, 6, 128}, {10, 3, 0}}},
      {"square caps", With(Pen(4), CapStyle::Square), {across}, kPixels,
       {{3, 5, 255}, {2, 5, 0}, {16, 5, 255}, {17, 5, 0}, {3, 3, 128}}},
      {"no caps", With(Pen(4), CapStyle::None), {across}, kPixels, {{4, 5, 0}, {5, 5, 255}, {14, 5, 255}, {15, 5, 0}}},
      // A 20 px pen round (30, 30): within its reach past the bevel's line, short of the miter's tip.
      {"round join, wide pen", With(Pen(20), CapStyle::None), {{{10, 30}, {30, 30}, {30, 50}}}, kPixels,
       {{35, 24, 255}, {39, 20, 0}, {25, 35, 255}}},
      {"miter at a right angle", With(Pen(4), CapStyle::None, JoinStyle::Miter), {corner}, kPixels,
       {{11, 8, 255}, {10, 8, 255}, {9, 11, 255}}},
      // Corners at pixel centres: the inner one leaves a quarter pixel out, the outer one takes a quarter in.
      {"corner pixels counted once", With(Pen(4), CapStyle::None, JoinStyle::Miter),
       {{{4.5, 10.5}, {10.5, 10.5}, {10.5, 16.5}}}, kPixels, {{8, 12, 191}, {12, 8, 64}}},
      {"bevel at a right angle", With(Pen(4), CapStyle::None, JoinStyle::Bevel), {corner}, kPixels,
       {{11, 8, 0}, {10, 8, 128}, {11, 9, 128}, {9, 11, 255}}},
      // Cut 2.4 px from the corner: x - y <= 2.4·√2 in the corner pixel, 0.8164 of it.
      {"miter cut at its limit", Limited(With(Pen(4), CapStyle::None, JoinStyle::Miter), 1.2), {corner}, kPixels,
       {{11, 8, 208}, {10, 8, 255}}},
      {"a closed path joins at its start", With(Pen(4), CapStyle::None, JoinStyle::Miter), {square}, kPixels,
       {{3, 3, 255}, {4, 4, 255}, {16, 16, 255}}},
      {"unless it says not to", With(Pen(4), CapStyle::None, JoinStyle::Miter, true), {square}, kPixels,
       {{3, 3, 0}, {4, 4, 0}, {3, 6, 255}, {6, 3, 255}, {16, 16, 255}}},
      {"paths that meet join", With(Pen(4), CapStyle::None, JoinStyle::Miter),
       {{{4, 10}, {10, 10}}, {{10, 10}, {10, 16}}}, kPixels, {{11, 8, 255}}},
  };
  for (const StrokeCase& c : cases) {
    Shape shape{{}, {}, {c.style}, {}};
    for (const auto& line : c.lines) shape.paths.push_back(Line(line, 0));
    TestCanvas canvas(50, 50);
    canvas.Draw(shape, c.m);
    for (const CoverageAt& p : c.pixels)
      EXPECT_EQ(Hex(canvas.At(p.x, p.y)), Hex(Grey(p.coverage))) << c.what << " at (" << p.x << ", " << p.y << ")";
  }
}

TEST(RasterStroke, UnsmoothedRoundEndsReachTheirCircle) {
  // A 1 px pen along row 5, its ends 0.45 px short of the centres of
  // pixels 2 and 7: inside the ends' circles, though beyond a chord of a
  // sixth of a turn (0.433 px out).
  TestCanvas canvas(10, 10);
  canvas.quality = Quality::Low;
  canvas.Draw(Shape{{}, {}, {Pen(1)}, {Line({{2.95, 5.5}, {7.05, 5.5}}, 0)}});
  EXPECT_EQ(canvas.Picture([](std::uint32_t p) { return p ? '#' : '.'; }).substr(5 * 11, 10), "..######..");
}

TEST(RasterStroke, OverItselfIsNoDarker) {
  // Half-transparent lines crossing, in one path and in two of one style.
  const Rgba half{255, 255, 255, 128};
  const std::vector<std::vector<Path>> cases = {
      {Line({{2, 5.5}, {12, 5.5}, {12, 0}, {7.5, 0}, {7.5, 10}}, 0)},
      {Line({{2, 5.5}, {12, 5.5}}, 0), Line({{7.5, 0}, {7.5, 10}}, 0)},
  };
  for (const auto& paths : cases) {
    TestCanvas canvas(14, 12);
    canvas.Draw(Shape{{}, {}, {With(Pen(1, half), CapStyle::None)}, paths});
    EXPECT_EQ(Hex(canvas.At(7, 5)), Hex(Grey(128))) << paths.size() << " paths: the crossing";
    EXPECT_EQ(Hex(canvas.At(4, 5)), Hex(Grey(128))) << paths.size() << " paths: one line";
  }
}

TEST(RasterStroke, PaintedWithItsFillOrTheOverridingColour) {
  // Ratio i at pixel i along a 4 px line down the middle of row 2.
  LineStyle style = With(Pen(4), CapStyle::None);
  style.hasFill = true;
  style.fill = FillStyle{FillKind::LinearGradient, {}, {255.0 * 20 / 32768, 0, 0, 1, 20 * 128.0, 0}};
  style.fill.gradient.stops = {{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 255}}};
  const Shape shape{{}, {}, {style}, {Line({{0, 2.5}, {256, 2.5}}, 0)}};
  const Rgba red{255, 0, 0, 255};
  const std::pair<const Rgba*, std::vector<std::pair<std::int32_t, std::uint32_t>>> cases[] = {
      {nullptr, {{0, Opaque(0, 0, 0)}, {64, Opaque(64, 64, 64)}, {200, Opaque(200, 200, 200)}}},
      {&red, {{0, Opaque(255, 0, 0)}, {200, Opaque(255, 0, 0)}}},
  };
  for (const auto& [solid, pixels] : cases) {
    TestCanvas canvas(256, 5);
    canvas.Draw(shape, kPixels, {}, solid);
    for (const auto& [x, expected] : pixels)
      EXPECT_EQ(Hex(canvas.At(x, 2)), Hex(expected)) << (solid ? "overridden" : "gradient") << " at x " << x;
  }
}

}  // namespace
}  // namespace dc::swf::test
