// Frames drawn whole: the stage fitted to the face, depth order, nested
// matrices and colour transforms, clip layers, texts, and the frame's cost.
#include "swf/player/player.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "raster_support.h"

namespace dc::swf {
namespace {

using test::Rect;
using test::Solid;

PlaceObject Place(std::uint16_t depth, std::uint16_t id, Matrix m = {}, std::uint16_t clipDepth = 0) {
  PlaceObject p;
  p.depth = depth;
  p.characterId = id;
  p.matrix = m;
  if (clipDepth) p.clipDepth = clipDepth;
  return p;
}

// A movie of 40 x 40 pixels on white, with the given characters and one frame.
std::shared_ptr<Movie> MovieOf(std::vector<std::pair<std::uint16_t, Character>> characters, std::vector<FrameTag> tags) {
  auto m = std::make_shared<Movie>();
  m->stage = {0, 800, 0, 800};
  m->background = {255, 255, 255, 255};
  for (auto& [id, c] : characters) m->characters[id] = std::make_shared<Character>(std::move(c));
  m->root.frames = {Frame{std::move(tags), std::nullopt, {}}};
  return m;
}

Shape Square(double x0, double y0, double x1, double y1, Rgba colour) {
  Shape s;
  s.fills = {Solid(colour)};
  s.paths = {Rect(x0, y0, x1, y1, 0)};
  return s;
}

struct Face {
  std::vector<std::uint32_t> px;
  PixelTarget target;
  explicit Face(int w = 40, int h = 40) : px(static_cast<std::size_t>(w) * h, 0xDEADBEEF), target{px.data(), w, h, w} {}
  std::uint32_t At(int x, int y) const { return target.At(x, y); }
};

struct Probe {
  int x, y;
  std::uint32_t pixel;  // 0x00RRGGBB
};
void ExpectPixels(const Face& f, std::initializer_list<Probe> probes, const char* what) {
  for (const Probe& p : probes)
    EXPECT_EQ(test::Hex(f.At(p.x, p.y)), test::Hex(p.pixel)) << what << " at (" << p.x << ", " << p.y << ")";
}

constexpr Rgba kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255};

TEST(Render, StageFittedOnTheBackgroundAndDepthsInOrder) {
  // A 40 x 40 stage on an 80 x 40 face: scaled by one, centred with 20
  // pixels of background each side. Over a white stage, blue at depth 3
  // lies over red at depth 2.
  auto movie = MovieOf({{1, Square(0, 0, 20, 20, kRed)}, {2, Square(10, 10, 30, 30, kBlue)},
                        {3, Square(0, 0, 40, 40, {255, 255, 255, 255})}},
                       {Place(1, 3), Place(2, 1), Place(3, 2)});
  movie->background = {0x10, 0x20, 0x30, 255};
  Player player(movie);
  Face face(80, 40);
  player.Render(face.target);
  ExpectPixels(face,
               {{0, 0, 0x102030}, {19, 39, 0x102030}, {60, 0, 0x102030}, {79, 39, 0x102030},  // the bands
                {20, 0, 0xFF0000}, {29, 9, 0xFF0000},                                        // red alone
                {30, 10, 0x0000FF}, {39, 19, 0x0000FF}, {49, 29, 0x0000FF},                  // blue over red
                {50, 30, 0xFFFFFF}, {20, 39, 0xFFFFFF}},                                     // the stage
               "fitted");
  EXPECT_FALSE(player.NeedsRender());
}

TEST(Render, ABitmapPlacedByItselfShowsItsPixelsAndAVideoNothing) {
  // Two pixels, red then blue, placed five times as large at (10, 10); a
  // video's box over them draws nothing.
  Bitmap b;
  b.width = 2, b.height = 1;
  b.pixels = {0xFFFF0000u, 0xFF0000FFu};
  auto movie = MovieOf({{1, b}, {2, VideoStream{40, 40}}}, {Place(1, 1, Matrix{5, 0, 0, 5, 200, 200}), Place(2, 2)});
  Player player(movie);
  Face face;
  player.Render(face.target);
  ExpectPixels(face,
               {{10, 10, 0xFF0000}, {14, 14, 0xFF0000}, {15, 10, 0x0000FF}, {19, 14, 0x0000FF},
                {20, 10, 0xFFFFFF}, {10, 15, 0xFFFFFF}, {9, 9, 0xFFFFFF}},
               "bitmap");
}

TEST(Render, NestedMatricesAndColourTransformsCombine) {
  // A sprite scaled by two and moved 4 pixels right holds the red square at
  // (0,0)-(5,5) moved 1 pixel down: it lands at (4,2)-(14,12). The sprite's
  // colour transform keeps half the red and adds 100 of blue; the placed
  // square's own takes the alpha to a half on top: red 127 and blue 100
  // over white at half alpha.
  Sprite holder;
  PlaceObject inner = Place(1, 1, Matrix::Translate(0, 20));
  ColorTransform half;
  half.mulA = 0.5;
  inner.colorTransform = half;
  holder.frames = {Frame{{inner}, std::nullopt, {}}};
  PlaceObject outer = Place(1, 2, Matrix{2, 0, 0, 2, 80, 0});
  ColorTransform tint;
  tint.mulR = 0.5;
  tint.addB = 100;
  outer.colorTransform = tint;
  auto movie = MovieOf({{1, Square(0, 0, 5, 5, kRed)}, {2, std::move(holder)}}, {outer});
  Player player(movie);
  Face face;
  player.Render(face.target);
  // Source (127, 0, 100) at alpha 127/255 over white: 255 + (c - 255)·a.
  const auto over = [](int c) { return static_cast<std::uint32_t>(255 + (c - 255) * 127.5 / 255 + 0.5); };
  const std::uint32_t mixed = over(127) << 16 | over(0) << 8 | over(100);
  for (const Probe& p : std::initializer_list<Probe>{{4, 2, mixed}, {13, 11, mixed}, {3, 2, 0xFFFFFF},
                                                     {14, 11, 0xFFFFFF}, {4, 1, 0xFFFFFF}, {4, 12, 0xFFFFFF}}) {
    const std::uint32_t got = face.At(p.x, p.y);
    for (int shift : {16, 8, 0})
      EXPECT_NEAR(static_cast<int>(got >> shift & 0xFF), static_cast<int>(p.pixel >> shift & 0xFF), 1)
          << "(" << p.x << ", " << p.y << ") got " << test::Hex(got) << " want " << test::Hex(p.pixel);
  }
}

TEST(Render, AClipLayerShowsWhatItCoversThroughItsShape) {
  // A mask with a hole: the ring (0,0)-(30,30) less (10,10)-(20,20) at depth
  // 1 clips depths 2 and 3; the red square at depth 2 covers the stage, the
  // blue one at depth 4 lies above the mask's reach and is not clipped.
  Shape ring;
  ring.fills = {Solid(kBlue)};
  ring.paths = {Rect(0, 0, 30, 30, 0), test::PathThrough({{10, 10}, {10, 20}, {20, 20}, {20, 10}}, 0)};
  auto movie = MovieOf({{1, std::move(ring)}, {2, Square(0, 0, 40, 40, kRed)}, {3, Square(35, 35, 40, 40, kBlue)}},
                       {Place(1, 1, {}, 3), Place(2, 2), Place(4, 3)});
  Player player(movie);
  Face face;
  player.Render(face.target);
  ExpectPixels(face,
               {{0, 0, 0xFF0000}, {29, 29, 0xFF0000}, {9, 15, 0xFF0000},  // through the ring: red
                {10, 10, 0xFFFFFF}, {19, 19, 0xFFFFFF},                   // the hole: the background
                {30, 5, 0xFFFFFF}, {5, 30, 0xFFFFFF},                     // beyond the mask
                {36, 36, 0x0000FF}},                                      // above its reach
               "mask");
}

TEST(Render, StaticTextDrawsItsGlyphsInTheRecordsColour) {
  // A font whose glyph is the em square (1024 units); a record of height
  // 200 twips (10 px) at (40, 300) twips draws two glyphs 10 px apart:
  // (2,5)-(12,15) and (12,5)-(22,15), in green. Glyph outlines run up from
  // the baseline, so the em square's y runs from -1024 to 0.
  Font font;
  Glyph g;
  g.shape.fills = {Solid({0, 0, 0, 255})};
  g.shape.paths = {test::PathThrough({{0, -1024 / 20.0}, {1024 / 20.0, -1024 / 20.0}, {1024 / 20.0, 0}, {0, 0}}, 0)};
  g.advance = 1024;
  g.code = 'A';
  font.glyphs = {g};
  StaticText text;
  text.bounds = {0, 800, 0, 800};
  TextRecord r;
  r.fontId = 1;
  r.color = {0, 200, 0, 255};
  r.height = 200;
  r.x = 40;
  r.y = 300;
  r.glyphs = {{0, 200}, {0, 200}};
  text.records = {r};
  auto movie = MovieOf({{1, std::move(font)}, {2, std::move(text)}}, {Place(1, 2)});
  Player player(movie);
  Face face;
  player.Render(face.target);
  ExpectPixels(face, {{2, 5, 0x00C800}, {21, 14, 0x00C800}, {1, 5, 0xFFFFFF}, {22, 5, 0xFFFFFF}, {2, 4, 0xFFFFFF},
                      {2, 15, 0xFFFFFF}},
               "text");
}

// A movie whose first frame is one red square on the left half, and whose
// second adds twenty stage-sized squares and a shape of many edges; the
// root plays the two in turn.
std::shared_ptr<Movie> CheapThenCostly() {
  Shape edges;
  edges.fills = {Solid(kBlue)};
  for (int i = 0; i < 50; ++i) edges.paths.push_back(Rect(i * 0.5, 0, i * 0.5 + 0.25, 1, 0));
  auto movie = MovieOf({{1, Square(0, 0, 20, 40, kRed)}, {2, Square(0, 0, 40, 40, kBlue)}, {3, std::move(edges)}},
                       {Place(1, 1)});
  std::vector<FrameTag> costly;
  for (std::uint16_t d = 2; d <= 21; ++d) costly.emplace_back(std::in_place_type<PlaceObject>, Place(d, 2));
  costly.emplace_back(std::in_place_type<PlaceObject>, Place(22, 3));
  movie->root.frames.push_back(Frame{std::move(costly), std::nullopt, {}});
  return movie;
}

TEST(Render, AFrameOverADrawingLimitKeepsTheLastPictureAndTenInThirtyStopTheMovie) {
  struct Case {
    const char* what;
    void (*limit)(Limits&);
    const char* said;
  } cases[] = {
      {"layers", [](Limits& l) { l.maxLayersPerFrame = 10; },
       "drawing went past maxLayersPerFrame (the face's pixels 10 times over a frame); "
       "the face keeps its last finished picture"},
      // The 200 edges alone cost 200 * kDrawWorkPerEdge.
      {"work", [](Limits& l) { l.maxDrawWorkPerFrame = 20 * 1600 + 199 * raster_limits::kDrawWorkPerEdge; },
       "drawing went past maxDrawWorkPerFrame (36776 pixels' drawing work a frame); "
       "the face keeps its last finished picture"},
  };
  for (const Case& c : cases) {
    PlayerOptions options;
    c.limit(options.limits);
    Player player(CheapThenCostly(), options);
    Face face;
    player.Render(face.target);
    ExpectPixels(face, {{5, 5, 0xFF0000}, {30, 5, 0xFFFFFF}}, c.what);
    const std::vector<std::uint32_t> first = face.px;
    EXPECT_EQ(player.TakeWarnings(), std::vector<std::string>{}) << c.what;
    // Frames 2, 4, 6, ... go past the limit: the tenth of them stops the
    // movie (10 within 30 frames, not in a row).
    int overruns = 0;
    while (!player.Stopped() && overruns < 20) {
      player.Advance();
      std::fill(face.px.begin(), face.px.end(), 0u);
      player.Render(face.target);
      if (player.CurrentFrame() == 2) {
        ++overruns;
        EXPECT_EQ(face.px, first) << c.what << " overrun " << overruns;
        const std::vector<std::string> warnings = player.TakeWarnings();
        std::vector<std::string> expected;
        if (overruns == 1) expected = {c.said};
        if (overruns == 10)
          expected = {"drawing went past its limits on 10 of the last 30 frames (framesOverBudgetBeforeStop 10, "
                      "stopWindowFrames 30); the movie stopped"};
        EXPECT_EQ(warnings, expected) << c.what << " overrun " << overruns;
      }
    }
    EXPECT_EQ(overruns, 10) << c.what;
    EXPECT_TRUE(player.Stopped()) << c.what;
    player.Advance();
    EXPECT_EQ(player.CurrentFrame(), 2u) << c.what;
    player.Render(face.target);
    EXPECT_EQ(face.px, first) << c.what;
    EXPECT_EQ(player.TakeWarnings(), std::vector<std::string>{}) << c.what;
  }
}

TEST(Render, AFieldIsLaidOutOnceWhileItsTextStaysTheSame) {
  // Laying out the field's 2,000 characters costs one unit more than the
  // frame may spend: the first frame goes past the limit, and the frames
  // after draw the kept layout in full, as a player without the limit does.
  EditText field;
  field.bounds = {0, 800, 0, 400};
  field.initialText = std::string(2000, 'W');
  const auto movie = MovieOf({{1, field}}, {Place(1, 1)});
  movie->root.frames.push_back(Frame{});
  Face unlimited;
  Player reference(movie);
  reference.Render(unlimited.target);
  ASSERT_NE(std::count(unlimited.px.begin(), unlimited.px.end(), 0x000000u), 0) << "the text shows";

  PlayerOptions options;
  options.limits.maxDrawWorkPerFrame = 2000 * raster_limits::kDrawWorkPerGlyph - 1;
  Player player(movie, options);
  Face face;
  player.Render(face.target);
  EXPECT_EQ(player.TakeWarnings().size(), 1u);
  for (int frame = 2; frame <= 4; ++frame) {
    player.Advance();
    player.Render(face.target);
    EXPECT_EQ(face.px, unlimited.px) << "frame " << frame;
    EXPECT_EQ(player.TakeWarnings(), std::vector<std::string>{}) << "frame " << frame;
  }
}

TEST(Render, AFieldsBoxAndBorderFallOnWholePixels) {
  // A box of 10.5 x 10.35 pixels, placed at (5.25, 5.7) or scaled: its
  // corner moves to the nearest whole pixel and its size is cut to whole
  // pixels, so that the background's edge pixels and the border's are
  // wholly in or out, never half covered.
  struct Case {
    const char* what;
    Matrix m;
    int x0, x1, y0, y1;  // the pixels covered: [x0, x1) x [y0, y1)
  };
  const Case cases[] = {
      {"moved", Matrix{1, 0, 0, 1, 105, 114}, 5, 15, 6, 16},
      {"moved by half a pixel: back", Matrix{1, 0, 0, 1, 110, 110}, 5, 15, 5, 15},
      {"a device font's field turned a little: upright", Matrix{0.9998, 0.02, -0.02, 0.9998, 100, 100}, 5, 15, 5, 15},
      {"scaled by 1.5", Matrix{1.5, 0, 0, 1.5, 0, 0}, 0, 15, 0, 15},
      {"on whole pixels already", Matrix{1, 0, 0, 1, 100, 100}, 5, 15, 5, 15},
  };
  for (const Case& c : cases) {
    EditText field;
    field.bounds = {0, 210, 0, 207};
    field.background = true;
    field.backgroundColor = kRed;
    field.border = true;
    field.borderColor = kBlue;
    Player player(MovieOf({{1, field}}, {Place(1, 1, c.m)}));
    Face face;
    player.Render(face.target);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 24; ++x) {
        // The border's hairline covers the pixels at the box's sides: the
        // first row and column of the background, and the row and column
        // just past its end.
        const bool alongX = x >= c.x0 && x <= c.x1, alongY = y >= c.y0 && y <= c.y1;
        const bool border = (alongX && (y == c.y0 || y == c.y1)) || (alongY && (x == c.x0 || x == c.x1));
        const bool in = x >= c.x0 && x < c.x1 && y >= c.y0 && y < c.y1;
        EXPECT_EQ(test::Hex(face.At(x, y)), test::Hex(border ? 0x0000FF : in ? 0xFF0000 : 0xFFFFFF))
            << c.what << " at (" << x << ", " << y << ")";
      }
  }
}

}  // namespace
}  // namespace dc::swf
