// The glyph construction language: each command's contours, their corners
// in glyph space (y down), and which way they turn.
#include "swf/text/glyph_outline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace dc::swf {
namespace {

// Twice the area a contour encloses, positive when it runs clockwise on
// screen (y down); a curve adds two thirds of its control triangle.
double TwiceArea(const Path& path) {
  double sum = 0;
  for (const Edge& e : path.edges) {
    sum += e.from.x * e.to.y - e.to.x * e.from.y;
    if (e.curved)
      sum += 2.0 / 3 * ((e.control.x - e.from.x) * (e.to.y - e.from.y) - (e.control.y - e.from.y) * (e.to.x - e.from.x));
  }
  return sum;
}

bool Near(Point a, Point b) { return std::abs(a.x - b.x) < 1e-9 && std::abs(a.y - b.y) < 1e-9; }

bool HasCorner(const Path& path, Point p) {
  return std::any_of(path.edges.begin(), path.edges.end(), [&](const Edge& e) { return Near(e.from, p); });
}

TEST(GlyphOutline, CommandsMakeTheirContours) {
  const double level = 46 * std::sqrt(2.0);  // half of 92 across a 45° stroke, cut level
  struct Case {
    const char* commands;
    std::size_t edges;           // of the first contour
    std::vector<Point> corners;  // among the first contour's corners
    int holes;                   // contours that turn the other way
  };
  const Case cases[] = {
      {"B 0 0 100 50", 4, {{0, 0}, {100, 0}, {100, -50}, {0, -50}}, 0},
      {"V 0 0 0 100", 4, {{-46, 0}, {46, 0}, {46, -100}, {-46, -100}}, 0},
      {"V 0 0 100 100", 4, {{-level, 0}, {level, 0}, {100 + level, -100}, {100 - level, -100}}, 0},
      {"H 0 0 100 0", 4, {{0, 46}, {0, -46}, {100, -46}, {100, 46}}, 0},
      {"N 0 0 0 100", 4, {{-46, 0}, {46, 0}, {46, -100}, {-46, -100}}, 0},
      {"W 20 N 0 0 30 40", 4, {{8, 6}, {-8, -6}, {38, -34}, {22, -46}}, 0},
      {"W 20 O 0 0 200 100", 8, {{200, -50}}, 1},
      {"D 10 20 5", 8, {{15, -20}}, 0},
      {"W 20 A 0 0 200 200 0 90", 6, {{200, -100}, {100, -200}, {180, -100}, {100, -180}}, 0},
      {"M 0 0 L 100 0 Q 100 100 0 100 Z", 3, {{0, 0}, {100, 0}, {0, -100}}, 0},
  };
  for (const Case& c : cases) {
    const Shape shape = BuildGlyphOutline(c.commands, 92);
    ASSERT_FALSE(shape.paths.empty()) << c.commands;
    ASSERT_EQ(shape.fills.size(), 1u) << c.commands;
    EXPECT_EQ(shape.paths[0].edges.size(), c.edges) << c.commands;
    for (const Point& p : c.corners)
      EXPECT_TRUE(HasCorner(shape.paths[0], p)) << c.commands << ": no corner at " << p.x << "," << p.y;
    int holes = 0;
    for (const Path& path : shape.paths) {
      EXPECT_EQ(path.fill0, -1) << c.commands;
      EXPECT_EQ(path.fill1, 0) << c.commands;
      EXPECT_EQ(path.edges.front().from, path.edges.back().to) << c.commands << ": not closed";
      for (std::size_t i = 1; i < path.edges.size(); ++i)
        EXPECT_EQ(path.edges[i].from, path.edges[i - 1].to) << c.commands << ": broken at edge " << i;
      holes += TwiceArea(path) < 0 ? 1 : 0;
    }
    EXPECT_GT(TwiceArea(shape.paths[0]), 0) << c.commands << ": the outer contour runs the wrong way";
    EXPECT_EQ(holes, c.holes) << c.commands;
  }
}

TEST(GlyphOutline, CurvesStayOnTheEllipse) {
  // Every on-curve point of a disc of radius 300 on the circle, and the
  // middle of each 45° quadratic within (1/cos 22.5° + cos 22.5°)/2 - 1,
  // 0.32%, of the radius outside it.
  const Shape disc = BuildGlyphOutline("D 0 0 300", 92);
  ASSERT_EQ(disc.paths.size(), 1u);
  for (const Edge& e : disc.paths[0].edges) {
    ASSERT_TRUE(e.curved);
    const Point mid{(e.from.x + 2 * e.control.x + e.to.x) / 4, (e.from.y + 2 * e.control.y + e.to.y) / 4};
    EXPECT_NEAR(std::hypot(e.from.x, e.from.y), 300, 1e-9);
    EXPECT_GE(std::hypot(mid.x, mid.y), 300);
    EXPECT_LE(std::hypot(mid.x, mid.y), 300 * 1.0032);
  }
  // The bounds hold the curves, not their control points.
  EXPECT_EQ(disc.bounds, (TwipRect{-300, 300, -300, 300}));
}

TEST(GlyphOutline, MalformedCommandsAreRefused) {
  const char* cases[] = {"B 0 0 100", "X 1 2", "M 0 0 L 10 0", "L 1 1", "Q 1 1 2 2", "Z", "B 0 0 1e 5", "3"};
  for (const char* c : cases) EXPECT_THROW(BuildGlyphOutline(c, 92), std::invalid_argument) << c;
}

}  // namespace
}  // namespace dc::swf
