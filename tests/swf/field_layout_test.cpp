// A field's lines as measured from an embedded font: breaks, widths with
// trailing spaces, letter spacing, tabs and margins, in whole twips.
#include <gtest/gtest.h>

#include <memory>

#include "swf/model/movie.h"
#include "swf/text/field_layout.h"

namespace dc::swf {
namespace {

// "Grid": 1024 units to the em, 'a' 512 wide, ' ' 256, '\t' none; ascent
// 800, descent 224. At 20 px: 'a' is 200 twips, ' ' 100.
std::shared_ptr<const Movie> GridMovie() {
  auto movie = std::make_shared<Movie>();
  Font font;
  font.name = "Grid";
  font.hasLayout = true;
  font.ascent = 800;
  font.descent = 224;
  const std::pair<char16_t, double> glyphs[] = {{u'a', 512}, {u' ', 256}, {u'b', 300}};
  for (const auto& [code, advance] : glyphs) {
    Glyph g;
    g.code = static_cast<std::uint16_t>(code);
    g.advance = advance;
    font.glyphs.push_back(g);
  }
  movie->characters[1] = std::make_shared<const Character>(font);
  return movie;
}

TextFormat Grid() {
  TextFormat f;
  f.font = "grid";  // names match without case
  f.size = 20;
  return f;
}

FieldLayout Lay(const std::u32string& text, const TextFormat& format, FieldFrame frame) {
  static const auto movie = GridMovie();
  static const FontLibrary fonts(*movie);
  FieldDocument doc;
  doc.Set(text, format);
  frame.embedFonts = true;
  return LayOutField(doc, format, frame, fonts);
}

TEST(FieldLayout, TextWidthCountsTrailingSpacesByAlignmentAndVersion) {
  struct Case {
    TextAlign align;
    bool trailingSpacesAlways;
    std::int32_t textWidth;
  };
  const Case cases[] = {
      {TextAlign::Left, false, 500},  {TextAlign::Right, false, 400}, {TextAlign::Center, false, 400},
      {TextAlign::Right, true, 500},  {TextAlign::Center, true, 500},
  };
  for (const Case& c : cases) {
    TextFormat f = Grid();
    f.align = c.align;
    FieldFrame frame;
    frame.width = 2000;
    frame.trailingSpacesAlways = c.trailingSpacesAlways;
    const FieldLayout layout = Lay(U"aa ", f, frame);
    EXPECT_EQ(layout.textWidth, c.textWidth) << static_cast<int>(c.align) << c.trailingSpacesAlways;
    EXPECT_EQ(layout.textHeight, 312 + 87);  // ascent 800 and descent 224 units at 20 px, whole twips each
  }
}

// The room is the width less the gutters and margins; a word that would
// cross it starts the next line, the space before it staying on the first.
TEST(FieldLayout, WrapsBeforeTheWordThatCrossesTheRoomLeftByMargins) {
  TextFormat f = Grid();
  f.leftMargin = 2;  // 40 twips
  f.letterSpacing = 1;  // 20 twips after each character
  FieldFrame frame;
  frame.width = 80 + 40 + 3 * 220 + 120;  // gutters, margin, "aaa" and the space
  frame.wordWrap = true;
  const FieldLayout layout = Lay(U"aaa aa", f, frame);
  ASSERT_EQ(layout.lines.size(), 2u);
  EXPECT_EQ(layout.lines[0].begin, 0u);
  EXPECT_EQ(layout.lines[0].end, 4u);
  EXPECT_EQ(layout.lines[1].begin, 4u);
  EXPECT_EQ(layout.lines[0].x, 40);
  EXPECT_EQ(layout.textWidth, 3 * 220 + 120);
  EXPECT_EQ(layout.lines[1].top, layout.lines[0].Height());
}

TEST(FieldLayout, TabsMoveToTheParagraphsStopsOrEveryDefaultInterval) {
  TextFormat f = Grid();
  FieldFrame frame;
  frame.width = 10000;
  EXPECT_EQ(Lay(U"a\ta", f, frame).advances[1], kDefaultTabInterval - 200);
  f.tabStops = {30, 50};  // pixels: 600 and 1000 twips
  const FieldLayout layout = Lay(U"a\ta\ta\ta", f, frame);
  EXPECT_EQ(layout.advances[1], 400);
  EXPECT_EQ(layout.advances[3], 1000 - 800);
  EXPECT_EQ(layout.advances[5], 0);  // past the last stop the pen stays
}

}  // namespace
}  // namespace dc::swf
