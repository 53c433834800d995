// Shapes as read: paths with exact twips, style indices across new style
// arrays, curves, and the styles of each DefineShape version.
#include <gtest/gtest.h>

#include "reader_test_util.h"

namespace dc::swf::test {
namespace {

const FillStyle kRed{FillKind::Solid, {255, 0, 0, 255}};
const FillStyle kGreen{FillKind::Solid, {0, 255, 0, 255}};
const FillStyle kBlue{FillKind::Solid, {0, 0, 255, 255}};
const FillStyle kWhite{FillKind::Solid, {255, 255, 255, 255}};

Edge Line(double x0, double y0, double x1, double y1) { return Edge{{x0, y0}, {}, {x1, y1}, false}; }
Edge Curve(double x0, double y0, double cx, double cy, double x1, double y1) {
  return Edge{{x0, y0}, {cx, cy}, {x1, y1}, true};
}
StyleChange MoveTo(std::int32_t x, std::int32_t y) { return StyleChange{{{x, y}}}; }

std::string Describe(const std::vector<Path>& paths) {
  std::string s;
  for (const Path& p : paths) {
    s += "path fill0 " + std::to_string(p.fill0) + " fill1 " + std::to_string(p.fill1) + " line " +
         std::to_string(p.line) + " layer " + std::to_string(p.layer) + ":";
    for (const Edge& e : p.edges) {
      s += " (" + std::to_string(e.from.x) + "," + std::to_string(e.from.y) + ")";
      if (e.curved) s += "~(" + std::to_string(e.control.x) + "," + std::to_string(e.control.y) + ")";
      s += "-(" + std::to_string(e.to.x) + "," + std::to_string(e.to.y) + ")";
    }
    s += "\n";
  }
  return s;
}

TEST(ReadShape, PathsInTwips) {
  LineStyle thin{20, {0, 0, 0, 255}}, thick{100, {9, 9, 9, 255}};
  const ShapeStyles two{{kRed, kGreen}, {thin}};
  StyleChange withNewStyles{std::nullopt, 2, std::nullopt, 1, ShapeStyles{{kBlue, kWhite}, {thick}}};
  StyleChange fillRed = MoveTo(0, 0);
  fillRed.fill0 = 1;
  fillRed.line = 1;
  StyleChange beyond = MoveTo(5, 5);
  beyond.fill0 = 3;  // two fills: 3 is none of them
  struct Case {
    const char* name;
    std::vector<ShapeRecord> records;
    std::vector<Path> paths;
    bool warns = false;
    std::size_t fills = 2;
  };
  const Case cases[] = {
      {"a square from a move",
       {StyleChange{{{100, 200}}, 1}, LineTo{400, 0}, LineTo{0, 400}, LineTo{-400, 0}, LineTo{0, -400}},
       {{0,
         -1,
         -1,
         0,
         {Line(100, 200, 500, 200), Line(500, 200, 500, 600), Line(500, 600, 100, 600), Line(100, 600, 100, 200)}}}},
      {"a curve and a general line",
       {StyleChange{{{-50, 10}}, std::nullopt, std::nullopt, 1}, CurveTo{100, 0, 0, 100}, LineTo{-30, -40}},
       {{-1, -1, 0, 0, {Curve(-50, 10, 50, 10, 50, 110), Line(50, 110, 20, 70)}}}},
      {"edges before any move start at the origin",
       {LineTo{7, 0}, StyleChange{std::nullopt, std::nullopt, 2}, LineTo{0, 7}},
       {{-1, -1, -1, 0, {Line(0, 0, 7, 0)}}, {-1, 1, -1, 0, {Line(7, 0, 7, 7)}}}},
      {"a move breaks the run; the styles stay",
       {StyleChange{{{0, 0}}, std::nullopt, 1}, LineTo{10, 0}, MoveTo(100, 100), LineTo{0, 10}},
       {{-1, 0, -1, 0, {Line(0, 0, 10, 0)}}, {-1, 0, -1, 0, {Line(100, 100, 100, 110)}}}},
      {"a style change goes on from the pen; fill 0 sets none",
       {StyleChange{{{0, 0}}, 1}, LineTo{10, 0}, StyleChange{std::nullopt, 0, 1}, LineTo{0, 10}},
       {{0, -1, -1, 0, {Line(0, 0, 10, 0)}}, {-1, 0, -1, 0, {Line(10, 0, 10, 10)}}}},
      {"new styles: appended, indices offset, a new layer",
       {fillRed, LineTo{10, 0}, withNewStyles, LineTo{0, 10}, StyleChange{std::nullopt, std::nullopt, 1},
        LineTo{-10, 0}},
       {{0, -1, 0, 0, {Line(0, 0, 10, 0)}}, {3, -1, 1, 1, {Line(10, 0, 10, 10)}}, {3, 2, 1, 1, {Line(10, 10, 0, 10)}}},
       false,
       4},
      {"an index beyond the arrays is none", {beyond, LineTo{1, 1}}, {{-1, -1, -1, 0, {Line(5, 5, 6, 6)}}}, true},
  };
  for (const Case& c : cases) {
    const Movie m = ReadTags(DefineShape(3, 1, {-100, 100, -100, 100}, two, c.records));
    const Shape* shape = CharacterOf<Shape>(m, 1);
    ASSERT_NE(shape, nullptr) << c.name;
    EXPECT_EQ(Describe(shape->paths), Describe(c.paths)) << c.name;
    EXPECT_EQ(shape->bounds, (TwipRect{-100, 100, -100, 100}));
    EXPECT_EQ(shape->fills.size(), c.fills) << c.name;
    EXPECT_EQ(Warned(m, "A shape uses a style it does not define"), c.warns) << c.name << ": " << Warnings(m);
  }
}

TEST(ReadShape, StylesOfEachVersion) {
  FillStyle halfRed{FillKind::Solid, {255, 0, 0, 128}};
  FillStyle focal;
  focal.kind = FillKind::FocalGradient;
  focal.matrix = Matrix{0.5, 0.25, -0.25, 2, 100, -200};
  focal.gradient =
      Gradient{SpreadMode::Reflect, InterpolationMode::Linear, {{0, {1, 2, 3, 4}}, {255, {5, 6, 7, 8}}}, -0.5};
  FillStyle linear = focal;
  linear.kind = FillKind::LinearGradient;
  linear.gradient.focalPoint = 0;
  linear.gradient.spread = SpreadMode::Repeat;
  FillStyle radial = linear;
  radial.kind = FillKind::RadialGradient;
  radial.gradient.spread = SpreadMode::Pad;
  radial.gradient.interpolation = InterpolationMode::Normal;
  std::vector<FillStyle> bitmaps;
  for (const bool repeating : {true, false}) {
    for (const bool smoothed : {true, false}) {
      FillStyle b;
      b.kind = FillKind::Bitmap;
      b.bitmapId = 7;
      b.matrix = Matrix::Scale(20, 20);
      b.repeating = repeating;
      b.smoothed = smoothed;
      bitmaps.push_back(b);
    }
  }
  LineStyle miter{40, {0, 0, 255, 200}, CapStyle::None, CapStyle::Square, JoinStyle::Miter, 2.5};
  miter.noClose = true;
  miter.noHScale = true;
  miter.pixelHinting = true;
  LineStyle filled{60};
  filled.hasFill = true;
  filled.fill = focal;
  filled.join = JoinStyle::Bevel;
  filled.noVScale = true;
  LineStyle solidFill{30};
  solidFill.hasFill = true;
  solidFill.fill = halfRed;
  const LineStyle plain{20, {9, 8, 7, 255}};
  struct Case {
    int version;
    ShapeStyles written;
    ShapeStyles read;
  };
  LineStyle solidFillRead = solidFill;
  solidFillRead.color = halfRed.color;  // a solid stroke fill is also its colour
  std::vector<FillStyle> many(300, kGreen);
  const Case cases[] = {
      {1, {{halfRed}, {LineStyle{20, {9, 8, 7, 128}}}}, {{kRed}, {plain}}},  // RGB: alpha dropped, opaque
      {3, {{halfRed, focal, linear, radial}, {}}, {{halfRed, focal, linear, radial}, {}}},
      {3, {bitmaps, {}}, {bitmaps, {}}},
      {2, {many, {}}, {many, {}}},  // a count of 0xFF then 300
      {4, {{kRed}, {miter, filled, solidFill}}, {{kRed}, {miter, filled, solidFillRead}}},
  };
  for (const Case& c : cases) {
    const Movie m = ReadTags(DefineShape(c.version, 1, {}, c.written, {}));
    const Shape* shape = CharacterOf<Shape>(m, 1);
    ASSERT_NE(shape, nullptr) << Warnings(m);
    EXPECT_EQ(shape->fills, c.read.fills) << "DefineShape version " << c.version;
    EXPECT_EQ(shape->lines, c.read.lines) << "DefineShape version " << c.version;
  }
}

}  // namespace
}  // namespace dc::swf::test
