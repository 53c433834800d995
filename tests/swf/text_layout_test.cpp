// Text layout: where static texts' glyphs land, with values that follow
// from the fonts and sizes given.
#include "swf/text/text_layout.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "swf/text/fallback_font.h"

namespace dc::swf {
namespace {

// Every glyph a 100-unit square, so that a glyph's shape tells which glyph
// was placed; spaces have no outline and half the advance. Ascent 5/8 em,
// descent 5/32 em.
Font SquareFont(double em, std::u32string codes, double advance, bool outlines = true) {
  Font font{"", false, false, outlines, em, true, em * 5 / 8, em * 5 / 32, 0, {}};
  for (char32_t code : codes) {
    Glyph g{{}, static_cast<std::uint16_t>(code), code == ' ' ? advance / 2 : advance};
    if (outlines && code != ' ') {
      Path p{-1, 0, -1, 0, {}};
      const Point c[] = {{0, 0}, {100, 0}, {100, -100}, {0, -100}};
      for (int i = 0; i < 4; ++i) p.edges.push_back({c[i], {}, c[(i + 1) % 4], false});
      g.shape.fills.push_back({});
      g.shape.paths.push_back(p);
    }
    font.glyphs.push_back(g);
  }
  return font;
}

const Shape* FallbackShape(char32_t code) { return &FallbackFont().glyphs[FallbackGlyphIndex(code)].shape; }

FontLookup Lookup(const std::map<std::uint16_t, const Font*>& fonts) {
  return [fonts](std::uint16_t id) -> const Font* {
    const auto it = fonts.find(id);
    return it == fonts.end() ? nullptr : it->second;
  };
}

TEST(StaticText, GlyphsLandAtRecordStartScaledByHeight) {
  const Font em1024 = SquareFont(1024, U"AB", 0), em20480 = SquareFont(20480, U"AB", 0);  // DefineFont3's units
  const Matrix shifted = Matrix::Translate(1000, 2000) * Matrix::Scale(2, 2);
  struct Case {
    const char* what;
    const Font* font;
    double height;
    Matrix textMatrix;
    std::size_t entry;
    Matrix expected;
  };
  const Case cases[] = {
      {"first glyph at the record start", &em1024, 512, {}, 0, {0.5, 0, 0, 0.5, 100, 200}},
      {"second glyph one advance on", &em1024, 512, {}, 1, {0.5, 0, 0, 0.5, 400, 200}},
      {"third after both advances", &em1024, 512, {}, 2, {0.5, 0, 0, 0.5, 650, 200}},
      {"20480 units to the em", &em20480, 400, {}, 0, {400.0 / 20480, 0, 0, 400.0 / 20480, 100, 200}},
      {"the text's matrix after", &em1024, 512, shifted, 1, {1, 0, 0, 1, 1800, 2400}},
  };
  for (const Case& c : cases) {
    StaticText text;
    text.matrix = c.textMatrix;
    text.records.push_back({7, Rgba{10, 20, 30, 40}, c.height, 100, 200, {{0, 300}, {1, 250}, {0, 0}}});
    const std::vector<PlacedGlyph> placed = LayOutStaticText(text, Lookup({{7, c.font}}));
    ASSERT_EQ(placed.size(), 3u) << c.what;
    EXPECT_EQ(placed[c.entry].matrix, c.expected) << c.what;
    EXPECT_EQ(placed[c.entry].shape, &c.font->glyphs[c.entry == 1 ? 1 : 0].shape) << c.what;
    EXPECT_EQ(placed[c.entry].color, (Rgba{10, 20, 30, 40})) << c.what;
  }
}

TEST(StaticText, DeviceFontsMissingOutlinesAndMissingFonts) {
  const Font device = SquareFont(1024, std::u32string(U"Ab\0", 3), 0, false);
  Font holes = SquareFont(1024, U"C D", 0);
  holes.glyphs[0].shape = {};  // 'C' not embedded
  struct Case {
    const char* what;
    std::uint16_t fontId;
    std::vector<GlyphEntry> entries;
    std::vector<std::pair<const Shape*, double>> expected;  // shape, x
  };
  const Case cases[] = {
      {"device font by code", 1, {{0, 200}, {1, 0}}, {{FallbackShape('A'), 0}, {FallbackShape('b'), 200}}},
      {"a glyph without a code draws nothing", 1, {{2, 100}, {0, 0}}, {{FallbackShape('A'), 100}}},
      {"missing outline by code", 2, {{2, 100}, {0, 0}}, {{&holes.glyphs[2].shape, 0}, {FallbackShape('C'), 100}}},
      {"space draws nothing, advances", 2, {{1, 150}, {2, 0}}, {{&holes.glyphs[2].shape, 150}}},
      {"index past the glyphs advances", 2, {{9, 120}, {2, 0}}, {{&holes.glyphs[2].shape, 120}}},
      {"font the movie lacks", 3, {{0, 100}}, {}},
  };
  for (const Case& c : cases) {
    StaticText text;
    text.records.push_back({c.fontId, {}, 2048, 0, 500, c.entries});
    const std::vector<PlacedGlyph> placed = LayOutStaticText(text, Lookup({{1, &device}, {2, &holes}}));
    ASSERT_EQ(placed.size(), c.expected.size()) << c.what;
    for (std::size_t i = 0; i < placed.size(); ++i) {
      EXPECT_EQ(placed[i].shape, c.expected[i].first) << c.what << " #" << i;
      EXPECT_EQ(placed[i].matrix, (Matrix{2, 0, 0, 2, c.expected[i].second, 500})) << c.what << " #" << i;
    }
  }
}

}  // namespace
}  // namespace dc::swf
