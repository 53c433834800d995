// Shape tweens: read from both tags, shown at the ratio the timeline gives.
// Expected edges and colours follow from the tween's own numbers: at ratio
// r every value lies r/65535 of the way from its start to its end.
#include <gtest/gtest.h>

#include <memory>

#include "raster_support.h"
#include "reader_test_util.h"
#include "swf/player/player.h"

namespace dc::swf {
namespace {

using test::Bytes;
using test::CurveTo;
using test::LineTo;
using test::ShapeRecord;
using test::ShapeStyles;
using test::StyleChange;

constexpr Rgba kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255};

// A band over the whole 40-pixel height: 0..10 px wide in red at the start,
// 20..40 px in blue at the end. Its left edge lies at 400·t twips, its right
// one at 200 + 600·t.
std::vector<ShapeRecord> Band(std::int32_t x, std::int32_t width, std::optional<std::uint32_t> fill) {
  return {StyleChange{std::pair{x, 0}, fill, std::nullopt, std::nullopt, std::nullopt},
          LineTo{width, 0}, LineTo{0, 800}, LineTo{-width, 0}, LineTo{0, -800}};
}

Bytes BandTween(int version = 1) {
  const ShapeStyles start{{test::Solid(kRed)}, {}}, end{{test::Solid(kBlue)}, {}};
  return test::DefineMorphShape(version, 1, {0, 200, 0, 800}, {400, 800, 0, 800}, start, end, Band(0, 200, 1),
                                Band(400, 400, std::nullopt));
}

PlaceObject PlaceAt(std::uint16_t ratio, bool move) {
  PlaceObject p;
  p.depth = 1;
  p.move = move;
  if (!move) p.characterId = 1;
  p.ratio = ratio;
  return p;
}

TEST(ShapeTween, EachFrameShowsTheShapeAtItsRatio) {
  // One frame for each ratio, the object moved to it by its placement.
  struct Case {
    std::uint16_t ratio;
    int left, right;  // the first and last pixel of the band
    std::uint32_t colour;
  };
  const Case cases[] = {
      {0, 0, 9, 0xFF0000},
      {13107, 4, 15, 0xCC0033},   // t = 0.2: 80 to 320 twips
      {39321, 12, 27, 0x660099},  // t = 0.6: 240 to 560 twips
      {65535, 20, 39, 0x0000FF},
  };
  Bytes tags = BandTween();
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Bytes place = test::PlaceObjectTag(PlaceAt(cases[i].ratio, i > 0), 2, 8);
    tags = test::Concat({tags, place, test::ShowFrame()});
  }
  test::Header header;
  header.stage = {0, 800, 0, 800};
  header.frameCount = std::size(cases);
  auto movie = std::make_shared<const Movie>(ReadMovie(test::Fws(header, tags)));
  ASSERT_TRUE(movie->warnings.empty()) << test::Warnings(*movie);
  Player player(movie);
  std::vector<std::uint32_t> px(40 * 40);
  PixelTarget face{px.data(), 40, 40, 40};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ratio);
    ASSERT_TRUE(player.NeedsRender());
    player.Render(face);
    for (int y : {0, 20, 39}) {
      if (c.left > 0) {
        EXPECT_EQ(test::Hex(face.At(c.left - 1, y)), test::Hex(0xFFFFFF));
      }
      EXPECT_EQ(test::Hex(face.At(c.left, y)), test::Hex(c.colour));
      EXPECT_EQ(test::Hex(face.At(c.right, y)), test::Hex(c.colour));
      if (c.right < 39) {
        EXPECT_EQ(test::Hex(face.At(c.right + 1, y)), test::Hex(0xFFFFFF));
      }
    }
    player.Advance();
  }
}

TEST(ShapeTween, StylesOfTheSecondTagAndTheirValuesBetween) {
  // Gradient fills and LINESTYLE2's fields, read back from the file in
  // start and end pairs.
  FillStyle focal{FillKind::FocalGradient};
  focal.matrix = Matrix::Scale(0.5, 0.25);
  focal.gradient = {SpreadMode::Reflect, InterpolationMode::Linear, {{0, kRed}, {200, kBlue}}, -0.5};
  FillStyle focalEnd = focal;
  focalEnd.matrix = Matrix::Translate(100, 60);
  focalEnd.gradient.stops = {{50, kBlue}, {250, {0, 255, 0, 128}}};
  focalEnd.gradient.focalPoint = 0.5;
  LineStyle miter = test::Pen(1, kRed);
  miter.startCap = CapStyle::None;
  miter.endCap = CapStyle::Square;
  miter.join = JoinStyle::Miter;
  miter.miterLimit = 2.5;
  miter.noClose = true;
  LineStyle miterEnd = miter;
  miterEnd.width = 120;
  miterEnd.color = kBlue;
  LineStyle filled = test::Pen(2, {});  // a line painted by a fill keeps no colour
  filled.hasFill = true;
  filled.fill = focal;
  LineStyle filledEnd = filled;
  filledEnd.width = 0;
  filledEnd.fill = focalEnd;
  const ShapeStyles start{{focal, test::Solid(kRed)}, {miter, filled}};
  const ShapeStyles end{{focalEnd, test::Solid(kBlue)}, {miterEnd, filledEnd}};
  const std::vector<ShapeRecord> startEdges{StyleChange{std::pair{0, 0}, 1, 2, 1, std::nullopt}, LineTo{100, 0},
                                            StyleChange{std::nullopt, 2, std::nullopt, 2, std::nullopt},
                                            LineTo{0, 100}};
  const std::vector<ShapeRecord> endEdges{StyleChange{std::pair{10, 10}, {}, {}, {}, {}}, LineTo{100, 0},
                                          LineTo{0, 100}};
  const Movie movie = test::ReadTags(test::DefineMorphShape(2, 1, {0, 100, 0, 100}, {10, 110, 10, 110}, start, end,
                                                            startEdges, endEdges));
  ASSERT_TRUE(movie.warnings.empty()) << test::Warnings(movie);
  const MorphShape* tween = test::CharacterOf<MorphShape>(movie, 1);
  ASSERT_NE(tween, nullptr);
  EXPECT_EQ(tween->start.fills, start.fills);
  EXPECT_EQ(tween->end.fills, end.fills);
  EXPECT_EQ(tween->start.lines, start.lines);
  EXPECT_EQ(tween->end.lines, end.lines);

  // A fifth of the way: every number a fifth from start to end, colours
  // truncated.
  const Shape fifth = MorphAt(*tween, 13107);
  EXPECT_EQ(fifth.bounds, (TwipRect{2, 102, 2, 102}));
  EXPECT_EQ(fifth.lines[0].width, 40);
  EXPECT_EQ(fifth.lines[0].color, (Rgba{204, 0, 51, 255}));
  EXPECT_EQ(fifth.lines[1].width, 32);
  const Gradient& g = fifth.fills[0].gradient;
  EXPECT_EQ(g.stops[0], (GradientStop{10, {204, 0, 51, 255}}));
  EXPECT_EQ(g.stops[1], (GradientStop{210, {0, 51, 204, 229}}));
  EXPECT_DOUBLE_EQ(g.focalPoint, -0.3);
  EXPECT_EQ(g.spread, SpreadMode::Reflect);
  EXPECT_EQ(fifth.fills[0].matrix.tx, 20);
  EXPECT_EQ(fifth.paths[1].edges[0].to, (Point{102, 102}));
}

TEST(ShapeTween, EdgesPairedWhateverTheirKind) {
  // The end's second edge is a curve and the pen jumps before its third: the
  // start's straight edge becomes a curve through its middle, and both
  // shapes are cut where the end's pen jumped.
  const ShapeStyles start{{test::Solid(kRed)}, {}}, end{{test::Solid(kBlue)}, {}};
  const std::vector<ShapeRecord> startEdges{StyleChange{std::pair{0, 0}, 1, {}, {}, {}}, LineTo{100, 0},
                                            LineTo{0, 100}, LineTo{-100, 0}};
  const std::vector<ShapeRecord> endEdges{StyleChange{std::pair{0, 0}, {}, {}, {}, {}}, LineTo{100, 0},
                                          CurveTo{50, 0, 0, 100}, StyleChange{std::pair{0, 200}, {}, {}, {}, {}},
                                          LineTo{0, -100}};
  const Movie movie = test::ReadTags(test::DefineMorphShape(1, 1, {0, 100, 0, 100}, {0, 150, 0, 200}, start, end,
                                                            startEdges, endEdges));
  const MorphShape* tween = test::CharacterOf<MorphShape>(movie, 1);
  ASSERT_NE(tween, nullptr);
  ASSERT_EQ(tween->start.paths.size(), 2u);
  ASSERT_EQ(tween->end.paths.size(), 2u);
  const Edge& made = tween->start.paths[0].edges[1];
  EXPECT_TRUE(made.curved);
  EXPECT_EQ(made.control, (Point{100, 50}));
  EXPECT_EQ(tween->end.paths[0].edges[1].control, (Point{150, 0}));
  EXPECT_EQ(tween->start.paths[1].edges[0].from, (Point{100, 100}));
  EXPECT_EQ(tween->end.paths[1].edges[0].from, (Point{0, 200}));
  EXPECT_EQ(tween->end.paths[1].fill0, 0);
}

TEST(ShapeTween, OnesThatDoNotPairAreLeftOut) {
  const ShapeStyles start{{test::Solid(kRed)}, {}}, end{{test::Solid(kBlue)}, {}};
  const auto one = [](std::vector<ShapeRecord> records) { return records; };
  const std::vector<ShapeRecord> fourEdges = Band(0, 200, 1);
  ShapeStyles more{{test::Solid(kRed)}, {}};
  const struct {
    const char* what;
    std::vector<ShapeRecord> startEdges, endEdges;
  } cases[] = {
      {"one edge short at the end", fourEdges, one({LineTo{10, 0}, LineTo{0, 10}, LineTo{-10, 0}})},
      {"new styles in the start",
       one({StyleChange{std::nullopt, 1, {}, {}, more}, LineTo{10, 0}}), one({LineTo{10, 0}})},
  };
  for (const auto& c : cases) {
    const Movie movie = test::ReadTags(
        test::DefineMorphShape(1, 1, {0, 200, 0, 800}, {0, 200, 0, 800}, start, end, c.startEdges, c.endEdges));
    EXPECT_EQ(movie.Find(1), nullptr) << c.what;
    EXPECT_EQ(test::Warnings(movie), "Damaged shape tweens are left out.") << c.what;
  }
}

// The least drawing work a frame that shows `tags` at ratio 0 must be
// allowed, found by halving.
std::uint64_t LeastDrawWork(const Bytes& tags) {
  test::Header header;
  header.stage = {0, 800, 0, 800};
  const auto movie = std::make_shared<const Movie>(
      ReadMovie(test::Fws(header, test::Concat({tags, test::PlaceObjectTag(PlaceAt(0, false), 2, 8), test::ShowFrame()}))));
  std::uint64_t low = 0, high = 1u << 20;  // high is enough
  while (low < high) {
    const std::uint64_t mid = (low + high) / 2;
    PlayerOptions options;
    options.limits.maxDrawWorkPerFrame = mid;
    Player player(movie, options);
    std::vector<std::uint32_t> px(40 * 40);
    PixelTarget face{px.data(), 40, 40, 40};
    player.Render(face);
    if (player.TakeWarnings().empty()) high = mid;
    else low = mid + 1;
  }
  return low;
}

TEST(ShapeTween, MakingTheShapeBetweenIsPaidForByTheDrawing) {
  // The tween at ratio 0 draws as its start shape does, and costs its four
  // edges made on top.
  const ShapeStyles styles{{test::Solid(kRed)}, {}};
  const std::uint64_t plain = LeastDrawWork(test::DefineShape(1, 1, {0, 200, 0, 800}, styles, Band(0, 200, 1)));
  const std::uint64_t tween = LeastDrawWork(BandTween());
  EXPECT_GT(plain, 4 * raster_limits::kDrawWorkPerEdge);
  EXPECT_EQ(tween - plain, 4 * raster_limits::kDrawWorkPerTweenEdge);
}

}  // namespace
}  // namespace dc::swf
