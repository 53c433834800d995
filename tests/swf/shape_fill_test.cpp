// Filling shapes: exact area coverage at pixel boundaries, styles that
// share edges, holes, both orientations, style groups, the budget, and
// shapes far away or not numbers at all.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "raster_support.h"
#include "swf/raster/flatten.h"

namespace dc::swf::test {
namespace {

constexpr Rgba kWhite{255, 255, 255, 255}, kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255};

struct PixelCheck {
  std::int32_t x, y;
  std::uint32_t expected;
};

struct CoverageCase {
  const char* what;
  std::vector<Point> corners;  // pixels
  std::vector<PixelCheck> pixels;
};

TEST(RasterFill, AreaCoverageAtExactBoundaries) {
  const CoverageCase cases[] = {
      {"twip-aligned rectangle", {{1, 1}, {3, 1}, {3, 2}, {1, 2}},
       {{1, 1, Grey(255)}, {2, 1, Grey(255)}, {0, 1, 0}, {3, 1, 0}, {1, 0, 0}, {1, 2, 0}}},
      {"edge through pixel middles", {{1.5, 1}, {3, 1}, {3, 2}, {1.5, 2}}, {{1, 1, Grey(128)}, {2, 1, Grey(255)}}},
      {"row through pixel middles", {{1, 1.5}, {3, 1.5}, {3, 3}, {1, 3}}, {{1, 1, Grey(128)}, {1, 2, Grey(255)}}},
      {"quarter pixel", {{1.5, 1.5}, {3, 1.5}, {3, 3}, {1.5, 3}}, {{1, 1, Grey(64)}, {2, 2, Grey(255)}}},
      {"diagonal halves", {{0, 0}, {2, 0}, {0, 2}},
       {{0, 0, Grey(255)}, {1, 0, Grey(128)}, {0, 1, Grey(128)}, {1, 1, 0}}},
      {"left of the canvas", {{-5, 1}, {2, 1}, {2, 2}, {-5, 2}}, {{0, 1, Grey(255)}, {1, 1, Grey(255)}, {2, 1, 0}}},
      {"above the canvas", {{1, -3}, {2, -3}, {2, 1}, {1, 1}}, {{1, 0, Grey(255)}, {1, 1, 0}}},
      {"past the right side", {{8, 1}, {30, 1}, {30, 2}, {8, 2}}, {{9, 1, Grey(255)}, {7, 1, 0}}},
      {"slanted past the left side", {{-4, 0}, {4, 0}, {4, 8}, {2, 8}},
       {{0, 4, Grey(255)}, {0, 7, 0}, {1, 7, Grey(96)}}},
  };
  for (const CoverageCase& c : cases) {
    TestCanvas canvas(10, 10);
    canvas.Draw(Shape{{}, {Solid(kWhite)}, {}, {PathThrough(c.corners, 0)}});
    for (const PixelCheck& p : c.pixels)
      EXPECT_EQ(Hex(canvas.At(p.x, p.y)), Hex(p.expected)) << c.what << " at (" << p.x << ", " << p.y << ")";
  }
}

// A curve of 2 × 2 pixels in the shape, drawn 20 times larger: every pixel
// more than the tolerance inside the curve is full, every one outside empty.
TEST(RasterFill, CurvesFlattenAtTheScaleTheyShowAt) {
  // From (0, 40) through control (20, 0) to (40, 40) pixels: y = 40 - 2x + x²/20.
  Path bowl{0, -1, -1, 0, {{Px(0, 2), Px(1, 0), Px(2, 2), true}, {Px(2, 2), {}, Px(0, 2), false}}};
  TestCanvas canvas(40, 40);
  canvas.Draw(Shape{{}, {Solid(kWhite)}, {}, {bowl}}, Matrix::Scale(1, 1));
  const auto curveY = [](double x) { return 40 - 2 * x + x * x / 20; };
  int checked = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      const double top = std::max(curveY(x), curveY(x + 1));
      const double bottom = (x <= 20 && x + 1 >= 20) ? curveY(20) : std::min(curveY(x), curveY(x + 1));
      if (y >= top + 0.12) {
        EXPECT_EQ(Hex(canvas.At(x, y)), Hex(Grey(255))) << "inside at (" << x << ", " << y << ")";
        ++checked;
      } else if (y + 1 <= bottom - 0.12) {
        EXPECT_EQ(Hex(canvas.At(x, y)), Hex(0)) << "outside at (" << x << ", " << y << ")";
        ++checked;
      }
    }
  EXPECT_GT(checked, 1400);
}

// Unsmoothed, a curve's inner points lie on whole twips and its ends stay
// where they are, so the next edge still starts where it ends.
TEST(RasterFill, UnsmoothedCurvePiecesMeetOnWholeTwips) {
  struct Case {
    const char* what;
    int grid;
    std::vector<Point> expected;  // after `from`
  };
  // (272.95, 93.45) through (274.8, 91.9) to (276.9, 91.85): two pieces,
  // meeting at (274.8625, 92.275).
  const Case cases[] = {
      {"smoothed: on the curve", 0, {{274.8625, 92.275}, {276.9, 91.85}}},
      {"unsmoothed: the nearest twip", 20, {{274.85, 92.3}, {276.9, 91.85}}},
  };
  const ReachBox everywhere{-1e9, -1e9, 1e9, 1e9};
  for (const Case& c : cases) {
    std::vector<Point> out;
    AppendCurve({272.95, 93.45}, {274.8, 91.9}, {276.9, 91.85}, everywhere, out, c.grid);
    ASSERT_EQ(out.size(), c.expected.size()) << c.what;
    for (std::size_t i = 0; i < out.size(); ++i) {
      EXPECT_NEAR(out[i].x, c.expected[i].x, 1e-9) << c.what << " point " << i;
      EXPECT_NEAR(out[i].y, c.expected[i].y, 1e-9) << c.what << " point " << i;
    }
  }
}

// Unsmoothed, a curve drawn far smaller than its units (a glyph of 1024
// units an em at 12 px) takes as many pieces as its own units need: a
// single chord would pass below the centre of the pixel its top covers.
TEST(RasterFill, UnsmoothedCurveDrawnSmallKeepsItsTop) {
  // The top of a letter's bowl: from (261, -548) through (307, -573) to
  // (374, -573), closed down to the baseline. At 12 px and this place the
  // curve runs from (6.709, 4.678) to (8.033, 4.385) and passes x = 7.5 at
  // y = 4.42, above the centre of pixel (7, 4); its chord passes at 4.50.
  const double s = 12.0 / 1024;
  Path bowl{0, -1, -1, 0, {}};
  const Point a{261, -548}, c{307, -573}, b{374, -573}, foot{374, 0}, heel{261, 0};
  bowl.edges = {{a, c, b, true}, {b, {}, foot, false}, {foot, {}, heel, false}, {heel, {}, a, false}};
  TestCanvas canvas(10, 12);
  canvas.quality = Quality::Low;
  canvas.Draw(Shape{{}, {Solid(kRed)}, {}, {bowl}}, Matrix{s, 0, 0, s, 3.65, 11.1});
  // Rows 3 to 5: the curve spans columns 6.7 to 8.0, so only column 7's
  // centre is inside, from row 4 down.
  EXPECT_EQ(canvas.Picture([](std::uint32_t v) { return v ? '#' : '.'; }).substr(3 * 11, 3 * 11 - 1),
            "........../"
            ".......#../"
            ".......#..");
}

struct SeamCase {
  const char* what;
  std::vector<Path> paths;
  std::vector<PixelCheck> pixels;
  std::uint8_t mask = 255;  // 255: none
};

TEST(RasterFill, StylesSharingAnEdgeLeaveNoSeam) {
  const SeamCase cases[] = {
      {"one shared edge, a style on each side",
       {PathThrough({{0, 0}, {1.5, 0}, {1.5, 4}, {0, 4}}, 0), PathThrough({{1.5, 0}, {4, 0}, {4, 4}, {1.5, 4}}, 1)},
       {{1, 2, 0xFF800080}, {0, 2, 0xFFFF0000}, {2, 2, 0xFF0000FF}}},
      {"the shared edge once, with fill0 and fill1",
       {PathThrough({{1.5, 4}, {0, 4}, {0, 0}, {1.5, 0}}, 0, -1, -1, 0, true),
        PathThrough({{1.5, 4}, {1.5, 0}}, 1, 0, -1, 0, true),
        PathThrough({{1.5, 0}, {4, 0}, {4, 4}, {1.5, 4}}, 1, -1, -1, 0, true)},
       {{1, 2, 0xFF800080}, {0, 2, 0xFFFF0000}, {2, 2, 0xFF0000FF}}},
      {"a diagonal", {PathThrough({{0, 0}, {4, 0}, {0, 4}}, 0), PathThrough({{4, 0}, {4, 4}, {0, 4}}, 1)},
       {{1, 2, 0xFF800080}, {0, 3, 0xFF800080}, {0, 0, 0xFFFF0000}, {3, 3, 0xFF0000FF}}},
      // Half of (half red + half blue) over green.
      {"under a mask at half",
       {PathThrough({{0, 0}, {1.5, 0}, {1.5, 4}, {0, 4}}, 0), PathThrough({{1.5, 0}, {4, 0}, {4, 4}, {1.5, 4}}, 1)},
       {{1, 2, 0xFF407F40}, {0, 2, 0xFF807F00}, {2, 2, 0xFF007F80}}, 128},
  };
  for (const SeamCase& c : cases) {
    TestCanvas canvas(4, 4, 0xFF00FF00);  // green shows through any seam
    if (c.mask != 255) canvas.mask.assign(16, c.mask);
    canvas.Draw(Shape{{}, {Solid(kRed), Solid(kBlue)}, {}, c.paths});
    for (const PixelCheck& p : c.pixels)
      EXPECT_EQ(Hex(canvas.At(p.x, p.y)), Hex(p.expected)) << c.what << " at (" << p.x << ", " << p.y << ")";
  }
}

constexpr const char* kRing =
    "........../.######.../.######.../.##..##.../.##..##.../.######.../.######.../........../........../..........";

TEST(RasterFill, OrientationAndHolesFollowTheStylesWinding) {
  const auto outer = [](std::int32_t f0, std::int32_t f1, bool reversed) {
    std::vector<Point> c{{1, 1}, {7, 1}, {7, 7}, {1, 7}};
    if (reversed) std::reverse(c.begin(), c.end());
    return PathThrough(c, f0, f1);
  };
  const auto inner = [](std::int32_t f0, std::int32_t f1, bool reversed) {
    std::vector<Point> c{{3, 3}, {5, 3}, {5, 5}, {3, 5}};
    if (reversed) std::reverse(c.begin(), c.end());
    return PathThrough(c, f0, f1);
  };
  const std::pair<const char*, std::vector<Path>> cases[] = {
      {"fill0 outside, hole the other way round", {outer(0, -1, false), inner(0, -1, true)}},
      {"mirrored", {outer(0, -1, true), inner(0, -1, false)}},
      {"fill1 outside, hole the same way round with fill0", {outer(-1, 0, false), inner(0, -1, false)}},
      {"a hole of style 1 over style 0 by both sides", {outer(0, -1, false), inner(1, 0, false)}},
  };
  for (const auto& [what, paths] : cases) {
    TestCanvas canvas(10, 10);
    canvas.Draw(Shape{{}, {Solid(kWhite), Solid({0, 0, 0, 0})}, {}, paths});
    EXPECT_EQ(canvas.Picture([](std::uint32_t p) { return p == Grey(255) ? '#' : p == 0 ? '.' : '?'; }), kRing) << what;
  }
}

TEST(RasterFill, StyleGroupsDrawInOrderOfLayerFillsThenStrokes) {
  Shape shape{{}, {Solid(kRed), Solid(kBlue)}, {Pen(1, {0, 255, 0, 255})}, {}};
  shape.paths = {Rect(3, 3, 8, 8, 1, 1), Rect(0, 0, 6, 6, 0, 0), Line({{0, 4.5}, {10, 4.5}}, 0, 0)};
  TestCanvas canvas(10, 10);
  canvas.Draw(shape);
  const char* expected =
      "RRRRRR..../RRRRRR..../RRRRRR..../RRRBBBBB../GGGBBBBBGG/RRRBBBBB../...BBBBB../...BBBBB../........../..........";
  EXPECT_EQ(canvas.Picture([](std::uint32_t p) {
    return p == 0xFFFF0000 ? 'R' : p == 0xFF0000FF ? 'B' : p == 0xFF00FF00 ? 'G' : p == 0 ? '.' : '?';
  }), expected);
}

// The square's left side crosses 10 pixels (its right side lies on the
// canvas's edge, its top and bottom cross none), then each row paints 10.
TEST(RasterFill, BudgetPaysForEdgesThenStopsAtTheRowItCannotPay) {
  const Shape square{{}, {Solid(kWhite)}, {}, {Rect(0, 0, 10, 10, 0)}};
  struct BudgetCase {
    std::uint64_t budget, remaining;
    bool exceeded;
    std::int32_t rowsDrawn;
  } cases[] = {{45, 5, true, 3}, {110, 0, false, 10}, {109, 9, true, 9}, {1000, 890, false, 10}, {9, 9, true, 0}};
  for (const BudgetCase& c : cases) {
    TestCanvas canvas(10, 10);
    DrawBudget budget{c.budget};
    canvas.budget = &budget;
    canvas.Draw(square);
    EXPECT_EQ(budget.remaining, c.remaining) << c.budget;
    EXPECT_EQ(budget.exceeded, c.exceeded) << c.budget;
    for (std::int32_t y = 0; y < 10; ++y)
      EXPECT_EQ(Hex(canvas.At(9, y)), Hex(y < c.rowsDrawn ? Grey(255) : 0)) << "budget " << c.budget << " row " << y;
  }
}

TEST(RasterFill, FarAwayHugeAndNotANumberAreHarmless) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  LineStyle thick = Pen(3000);
  struct HostileCase {
    const char* what;
    Shape shape;
    Matrix m;
    bool coversCanvas;
    std::int64_t charged;  // -1: not checked
  } cases[] = {
      {"a million pixels away",
       {{}, {Solid(kWhite)}, {thick}, {Rect(1e6, 1e6, 1e6 + 50, 1e6 + 50, 0), Line({{1e6, 0}, {1e6, 9}}, 0)}},
       kPixels, false, 0},
      // Its sides count at the canvas's left column, 10 rows each.
      {"a million pixels left", {{}, {Solid(kWhite)}, {}, {Rect(-1e6 - 50, -1e6, -1e6, 1e6, 0)}}, kPixels, false, 20},
      {"not a number", {{}, {Solid(kWhite)}, {thick}, {Rect(nan, 0, 5, 5, 0), Line({{nan, 1}, {3, 3}}, 0)}},
       kPixels, false, 0},
      {"infinite", {{}, {Solid(kWhite)}, {thick}, {Rect(-inf, 0, 5, inf, 0), Line({{inf, 1}, {3, inf}}, 0)}},
       kPixels, false, 0},
      {"a matrix that is not a number",
       {{}, {Solid(kWhite)}, {thick}, {Rect(0, 0, 5, 5, 0), Line({{0, 1}, {3, 3}}, 0)}},
       Matrix{nan, 0, 0, nan, 0, 0}, false, 0},
      {"a curve bent a light year out",
       {{}, {Solid(kWhite)}, {},
        {Path{0, -1, -1, 0, {{Px(20, 0), Px(-1e15, 5), Px(20, 10), true}, {Px(20, 10), {}, Px(20, 0), false}}}}},
       kPixels, true, -1},
      {"huge but around the canvas", {{}, {Solid(kWhite)}, {}, {Rect(-1e300, -1e300, 1e300, 1e300, 0)}},
       kPixels, true, 110},
  };
  for (const HostileCase& c : cases) {
    TestCanvas canvas(10, 10);
    DrawBudget budget{1'000'000};
    canvas.budget = &budget;
    canvas.Draw(c.shape, c.m);
    for (std::int32_t y = 0; y < 10; ++y)
      for (std::int32_t x = 0; x < 10; ++x)
        ASSERT_EQ(Hex(canvas.At(x, y)), Hex(c.coversCanvas ? Grey(255) : 0))
            << c.what << " at (" << x << ", " << y << ")";
    if (c.charged >= 0) {
      EXPECT_EQ(1'000'000 - static_cast<std::int64_t>(budget.remaining), c.charged) << c.what;
    }
  }
}

}  // namespace
}  // namespace dc::swf::test
