// The fallback font: what it covers, tabular digits, closed contours that
// stay within the em, and accents over (or under) the letters they mark.
#include "swf/text/fallback_font.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace dc::swf {
namespace {

const Glyph& GlyphOf(char32_t code) { return FallbackFont().glyphs[FallbackGlyphIndex(code)]; }

std::string Name(char32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(code));
  return text;
}

TEST(FallbackFont, CoversPrintableAsciiAndLatin1) {
  const Font& font = FallbackFont();
  EXPECT_EQ(font.unitsPerEm, 1024);
  EXPECT_TRUE(font.hasOutlines && font.hasLayout);
  std::vector<char32_t> covered;
  for (char32_t c = 0x20; c <= 0x7E; ++c) covered.push_back(c);
  for (char32_t c = 0xC0; c <= 0xFF; ++c) covered.push_back(c);
  for (char32_t c : {0xA0, 0xB0, 0xB2, 0xB3, 0xB7, 0xB9, 0x2019, 0x2013, 0x20AC}) covered.push_back(c);
  for (char32_t code : covered) {
    const std::size_t index = FallbackGlyphIndex(code);
    ASSERT_NE(index, 0u) << Name(code);
    EXPECT_EQ(font.glyphs[index].code, code) << Name(code);
    EXPECT_GT(font.glyphs[index].advance, 0) << Name(code);
    const bool blank = code == ' ' || code == 0xA0;
    EXPECT_EQ(font.glyphs[index].shape.paths.empty(), blank) << Name(code);
  }
  for (char32_t code : {0x00, 0x1F, 0x7F, 0xA4, 0x4E00, 0xFFFD, 0x1F600}) EXPECT_EQ(FallbackGlyphIndex(code), 0u) << Name(code);
  EXPECT_FALSE(font.glyphs[0].shape.paths.empty());  // the box
}

TEST(FallbackFont, DigitsShareOneAdvance) {
  for (char32_t d = '1'; d <= '9'; ++d) EXPECT_EQ(GlyphOf(d).advance, GlyphOf('0').advance) << Name(d);
}

TEST(FallbackFont, ContoursClosedAndInsideTheEm) {
  const Font& font = FallbackFont();
  const double slack = 0.05 * font.unitsPerEm;
  for (const Glyph& g : font.glyphs) {
    for (const Path& path : g.shape.paths) {
      ASSERT_FALSE(path.edges.empty());
      EXPECT_EQ(path.edges.front().from, path.edges.back().to) << Name(g.code) << " not closed";
      for (std::size_t i = 0; i < path.edges.size(); ++i) {
        const Edge& e = path.edges[i];
        if (i > 0) {
          EXPECT_EQ(e.from, path.edges[i - 1].to) << Name(g.code) << " broken";
        }
        const Point mid = e.curved ? Point{(e.from.x + 2 * e.control.x + e.to.x) / 4, (e.from.y + 2 * e.control.y + e.to.y) / 4}
                                   : e.to;
        for (const Point& p : {e.from, mid}) {
          EXPECT_GE(p.x, -slack) << Name(g.code);
          EXPECT_LE(p.x, g.advance + slack) << Name(g.code);
          EXPECT_GE(p.y, -font.ascent) << Name(g.code);
          EXPECT_LE(p.y, font.descent) << Name(g.code);
        }
      }
    }
  }
}

TEST(FallbackFont, AccentsSitOverTheirLetters) {
  struct Case {
    char32_t code, base;
    bool below;  // the cedilla
  };
  const Case cases[] = {{0xC0, 'A', false}, {0xC9, 'E', false}, {0xD1, 'N', false}, {0xE9, 'e', false},
                        {0xEC, 0x131, false}, {0xFF, 'y', false}, {0xC7, 'C', true}, {0xE7, 'c', true}};
  for (const Case& c : cases) {
    const Shape& base = GlyphOf(c.base).shape;
    const Shape& composed = GlyphOf(c.code).shape;
    ASSERT_GT(composed.paths.size(), base.paths.size()) << Name(c.code);
    EXPECT_EQ(GlyphOf(c.code).advance, GlyphOf(c.base).advance) << Name(c.code);
    for (std::size_t i = 0; i < base.paths.size(); ++i) EXPECT_EQ(composed.paths[i], base.paths[i]) << Name(c.code);
    double left = 1e9, right = -1e9;
    for (std::size_t i = base.paths.size(); i < composed.paths.size(); ++i) {
      for (const Edge& e : composed.paths[i].edges) {
        if (c.below) {
          EXPECT_GE(e.from.y, 0) << Name(c.code);  // under the baseline
        } else {
          EXPECT_LT(e.from.y, base.bounds.yMin) << Name(c.code);  // above the letter
        }
        left = std::min(left, e.from.x), right = std::max(right, e.from.x);
      }
    }
    const double centre = (base.bounds.xMin + base.bounds.xMax) / 2.0;
    EXPECT_NEAR((left + right) / 2, centre, 40) << Name(c.code);
  }
}

}  // namespace
}  // namespace dc::swf
