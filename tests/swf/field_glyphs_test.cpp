// A field's glyphs drawn where its runs are measured: each run's font,
// size, style and colour, on its line's one baseline.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "swf/model/movie.h"
#include "swf/model/rectangle_edges.h"
#include "swf/text/field_glyphs.h"

namespace dc::swf {
namespace {

// "Grid", plain and bold: 1024 units to the em, 'a' 512 wide, ' ' 256;
// ascent 800, descent 224. At 20 px 'a' is 200 twips, the ascent 312.
std::shared_ptr<const Movie> GridMovie() {
  auto movie = std::make_shared<Movie>();
  for (const bool bold : {false, true}) {
    Font font;
    font.name = "Grid";
    font.bold = bold;
    font.hasLayout = true;
    font.ascent = 800;
    font.descent = 224;
    for (const auto& [code, advance] : {std::pair{u'a', 512.0}, std::pair{u' ', 256.0}, std::pair{u'*', 300.0},
                                     std::pair{u'\u2022', 400.0}}) {
      Glyph g;
      g.code = static_cast<std::uint16_t>(code);
      g.advance = advance;
      if (code != u' ') g.shape.paths.push_back(Path{.edges = RectangleEdges(0, -500, bold ? 500 : 400, 0)});
      font.glyphs.push_back(g);
    }
    movie->characters[bold ? 2 : 1] = std::make_shared<const Character>(font);
  }
  return movie;
}

struct TextRun {
  std::u32string text;
  double size;
  bool bold = false;
  std::uint32_t color = 0;
  bool underline = false;
  bool bullet = false;
};

EditTextLayout Place(const std::vector<TextRun>& runs, const Movie*& movieOut,
                     const FieldBox& box = {{0, 4000, 0, 2000}, std::nullopt, std::nullopt},
                     std::size_t maxGlyphs = kDefaultLimits.maxGlyphs, bool password = false) {
  static const auto movie = GridMovie();
  static const FontLibrary fonts(*movie);
  movieOut = movie.get();
  FieldDocument doc;
  for (const TextRun& r : runs) {
    TextFormat f;
    f.font = "Grid", f.size = r.size, f.bold = r.bold, f.color = r.color, f.underline = r.underline;
    f.bullet = r.bullet;
    doc.Append(r.text, f);
  }
  FieldFrame frame;
  frame.width = 4000;
  frame.embedFonts = true;
  frame.password = password;
  const FieldLayout layout = LayOutField(doc, TextFormat{}, frame, fonts);
  return PlaceFieldGlyphs(doc, layout, frame, box, fonts, maxGlyphs);
}

const Shape* GlyphA(const Movie& movie, std::uint16_t fontId) {
  return &std::get<Font>(*movie.characters.at(fontId)).glyphs[0].shape;
}

TEST(FieldGlyphs, EachRunDrawnInItsFormatOnTheLinesBaseline) {
  struct Placed {
    std::uint16_t font;
    double scale, x, y;
    Rgba color;
  };
  struct Case {
    const char* what;
    std::vector<TextRun> runs;
    std::vector<Placed> glyphs;
  };
  // The line's ascent is its tallest font's: 312 twips at 20 px, so the
  // baseline is 40 + 312 for every run on it.
  const Case cases[] = {
      {"two sizes share a baseline",
       {{U"a", 20}, {U"a", 10}},
       {{1, 20.0 * 20 / 1024, 40, 352, {0, 0, 0, 255}}, {1, 10.0 * 20 / 1024, 240, 352, {0, 0, 0, 255}}}},
      {"a bold run in the bold font",
       {{U"a", 20}, {U"a", 20, true}},
       {{1, 20.0 * 20 / 1024, 40, 352, {0, 0, 0, 255}}, {2, 20.0 * 20 / 1024, 240, 352, {0, 0, 0, 255}}}},
      {"a run's colour, past a space",
       {{U"a ", 20}, {U"a", 20, false, 0xFF8000}},
       {{1, 20.0 * 20 / 1024, 40, 352, {0, 0, 0, 255}}, {1, 20.0 * 20 / 1024, 340, 352, {255, 128, 0, 255}}}},
      {"a character the font lacks: no glyph, no advance",
       {{U"a", 20}, {U"z", 20}, {U"a", 10}},
       {{1, 20.0 * 20 / 1024, 40, 352, {0, 0, 0, 255}}, {1, 10.0 * 20 / 1024, 240, 352, {0, 0, 0, 255}}}},
  };
  for (const Case& c : cases) {
    const Movie* movie = nullptr;
    const EditTextLayout layout = Place(c.runs, movie);
    ASSERT_EQ(layout.glyphs.size(), c.glyphs.size()) << c.what;
    for (std::size_t i = 0; i < c.glyphs.size(); ++i) {
      const Placed& want = c.glyphs[i];
      EXPECT_EQ(layout.glyphs[i].shape, GlyphA(*movie, want.font)) << c.what << i;
      EXPECT_EQ(layout.glyphs[i].matrix, (Matrix{want.scale, 0, 0, want.scale, want.x, want.y})) << c.what << i;
      EXPECT_EQ(layout.glyphs[i].color, want.color) << c.what << i;
    }
  }
}

TEST(FieldGlyphs, APasswordFieldShowsAStarForEachCharacter) {
  // '*' is 300 units: 117 twips at 20 px.
  const Movie* movie = nullptr;
  const EditTextLayout layout =
      Place({{U"a a", 20}}, movie, {{0, 4000, 0, 2000}, std::nullopt, std::nullopt}, kDefaultLimits.maxGlyphs, true);
  ASSERT_EQ(layout.glyphs.size(), 3u);
  const Shape* star = &std::get<Font>(*movie->characters.at(1)).glyphs[2].shape;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(layout.glyphs[i].shape, star) << i;
    EXPECT_EQ(layout.glyphs[i].matrix.tx, 40 + 117 * i) << i;
  }
}

// A bulleted paragraph's lines stand in by the bullet's room; its first
// line's bullet is at the margin, in the paragraph's colour.
TEST(FieldGlyphs, ABulletedParagraphsBulletIsDrawnAtItsMargin) {
  const Movie* movie = nullptr;
  const EditTextLayout layout = Place({{U"a\r", 20, false, 0x00FF00, false, true}, {U"a", 20}}, movie);
  ASSERT_EQ(layout.glyphs.size(), 3u);
  EXPECT_EQ(layout.glyphs[0].shape, &std::get<Font>(*movie->characters.at(1)).glyphs[3].shape);
  const Rgba green{0, 255, 0, 255}, black{0, 0, 0, 255};
  // The second line's top is the first's height (312 + 87 twips) below.
  const PlacedGlyph want[] = {{nullptr, Matrix{0, 0, 0, 0, 40, 352}, green},
                              {nullptr, Matrix{0, 0, 0, 0, 40 + kBulletIndent, 352}, green},
                              {nullptr, Matrix{0, 0, 0, 0, 40, 352 + 399}, black}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(layout.glyphs[i].matrix.tx, want[i].matrix.tx) << i;
    EXPECT_EQ(layout.glyphs[i].matrix.ty, want[i].matrix.ty) << i;
    EXPECT_EQ(layout.glyphs[i].color, want[i].color) << i;
  }
}

TEST(FieldGlyphs, AnUnderlinedRunHasALineBeneathItInItsColour) {
  const Movie* movie = nullptr;
  const EditTextLayout layout = Place({{U"a", 20}, {U"aa", 20, false, 0x0000FF, true}}, movie);
  ASSERT_EQ(layout.glyphs.size(), 4u);
  const PlacedGlyph& line = layout.glyphs[3];
  ASSERT_NE(line.held, nullptr);
  EXPECT_EQ(line.shape, &line.held->shape);
  // The line's descent is 87 twips: the underline's top is 43.5 below the
  // baseline at 352, on a whole twip.
  EXPECT_EQ(line.shape->bounds, (TwipRect{240, 640, 395, 415}));
  EXPECT_EQ(line.color, (Rgba{0, 0, 255, 255}));
}

TEST(FieldGlyphs, TheBoxItsColoursAndWhatFallsOutsideIt) {
  // "aaaa" runs 800 twips from x 40 on lines 399 high; the box is 300 wide
  // and 400 high: the glyphs from x 340 on and the second line are left
  // out, and so is what maxGlyphs does not reach.
  struct Case {
    std::optional<Rgba> background, border;
    std::size_t maxGlyphs, glyphs;
  };
  const Case cases[] = {
      {Rgba{0xAB, 0xCD, 0xEF, 255}, std::nullopt, 100, 2},
      {std::nullopt, Rgba{0x12, 0x34, 0x56, 255}, 100, 2},
      {std::nullopt, std::nullopt, 1, 1},
  };
  for (const Case& c : cases) {
    const Movie* movie = nullptr;
    const TwipRect bounds{0, 300, 0, 400};
    const EditTextLayout layout = Place({{U"aaaa\raa", 20}}, movie, {bounds, c.background, c.border}, c.maxGlyphs);
    EXPECT_EQ(layout.glyphs.size(), c.glyphs) << c.maxGlyphs;
    ASSERT_EQ(layout.background.has_value(), c.background.has_value());
    ASSERT_EQ(layout.border.has_value(), c.border.has_value());
    if (c.background) {
      EXPECT_EQ(layout.background->bounds, bounds);
      EXPECT_EQ(layout.background->fills.at(layout.background->paths.at(0).fill1).color, *c.background);
      EXPECT_EQ(layout.background->paths[0].line, -1);
    }
    if (c.border) {
      EXPECT_EQ(layout.border->bounds, bounds);
      EXPECT_EQ(layout.border->lines.at(layout.border->paths.at(0).line).color, *c.border);
      EXPECT_EQ(layout.border->lines[0].width, 0);  // a hairline
      EXPECT_EQ(layout.border->paths[0].fill1, -1);
    }
  }
}

}  // namespace
}  // namespace dc::swf
