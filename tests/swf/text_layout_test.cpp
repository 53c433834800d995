// Text layout: where static texts' glyphs land and how edit text fields
// place, break and align their text, with values that follow from the
// fonts, bounds and sizes given.
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

// 1024 units to the em at 256 twips: advances of 120 twips (spaces 60),
// ascent 160, descent 40.
const Font& FieldFontA() {
  static const Font font = SquareFont(1024, U"ABC *", 480);
  return font;
}

EditText Field(TextAlign align = TextAlign::Left, const std::function<void(EditText&)>& change = {}) {
  EditText f;
  f.bounds = {1000, 3000, 500, 2500};
  f.fontId = 5;
  f.useOutlines = f.multiline = true;
  f.height = 256;
  f.align = align;
  if (change) change(f);
  return f;
}

TEST(EditText, AlignmentMarginsIndentLinesAndWrapping) {
  const double top = 500 + 40 + 160, line = 160 + 40;  // bounds, gutter, ascent; ascent + descent
  const double left = 1000 + 40, right = 3000 - 40;
  const auto wrap = [](EditText& f) { f.wordWrap = true, f.bounds.xMax = 1000 + 40 + 700 + 40; };  // 700 of line
  struct Case {
    const char* what;
    EditText field;
    std::string text;
    std::vector<Point> expected;  // each glyph's x and baseline
    char32_t shown = 'A';         // what every glyph shows
  };
  const Case cases[] = {
      {"left", Field(), "AA", {{left, top}, {left + 120, top}}},
      {"right", Field(TextAlign::Right), "AA", {{right - 240, top}, {right - 120, top}}},
      {"right margin", Field(TextAlign::Right, [](EditText& f) { f.rightMargin = 100; }), "A", {{right - 100 - 120, top}}},
      {"centre", Field(TextAlign::Center), "AA", {{left + (right - left - 240) / 2, top}, {left + (right - left) / 2, top}}},
      {"centre with margin", Field(TextAlign::Center, [](EditText& f) { f.leftMargin = 200; }), "A",
       {{left + 200 + (right - left - 200 - 120) / 2, top}}},
      {"right ignores trailing spaces", Field(TextAlign::Right), "A  ", {{right - 120, top}}},
      {"margin, indent, leading", Field(TextAlign::Left, [](EditText& f) { f.leftMargin = 60, f.indent = 30, f.leading = 25; }),
       "A\nA\r\nA\rA", {{left + 90, top}, {left + 90, top + 225}, {left + 90, top + 450}, {left + 90, top + 675}}},
      {"one line: breaks show nothing", Field(TextAlign::Left, [](EditText& f) { f.multiline = false; }), "A\nA\r\nA",
       {{left, top}, {left + 120, top}, {left + 240, top}}},
      {"wrap before the word", Field(TextAlign::Left, wrap), "AAA AAA AA",
       {{left, top}, {left + 120, top}, {left + 240, top}, {left, top + line}, {left + 120, top + line},
        {left + 240, top + line}, {left + 420, top + line}, {left + 540, top + line}}},
      {"wrap inside a long word", Field(TextAlign::Left, wrap), "AAAAAAA",
       {{left, top}, {left + 120, top}, {left + 240, top}, {left + 360, top}, {left + 480, top},
        {left, top + line}, {left + 120, top + line}}},
      {"indent on the first line only", Field(TextAlign::Left, [&](EditText& f) { wrap(f), f.indent = 100; }), "AAA AAA",
       {{left + 100, top}, {left + 220, top}, {left + 340, top}, {left, top + line}, {left + 120, top + line},
        {left + 240, top + line}}},
      {"justify spreads inner spaces, not the last line's", Field(TextAlign::Justify, wrap), "AA A AA A",
       {{left, top}, {left + 120, top}, {left + 700 - 120, top}, {left, top + line}, {left + 120, top + line},
        {left + 300, top + line}}},
      {"no wrap unless multiline", Field(TextAlign::Left, [&](EditText& f) { wrap(f), f.multiline = false; }), "AAAAAA",
       {{left, top}, {left + 120, top}, {left + 240, top}, {left + 360, top}, {left + 480, top}, {left + 600, top}}},
      {"password", Field(TextAlign::Left, [](EditText& f) { f.password = true; }), "AB", {{left, top}, {left + 120, top}}, '*'},
      {"max length", Field(TextAlign::Left, [](EditText& f) { f.maxLength = 3; }), "AAAAA",
       {{left, top}, {left + 120, top}, {left + 240, top}}},
      {"lines below the bounds left out", Field(TextAlign::Left, [&](EditText& f) { f.bounds.yMax = top - 160 + 2 * line + 1; }),
       "A\nA\nA\nA", {{left, top}, {left, top + line}, {left, top + 2 * line}}},
      // At 250 twips the ascent is 156.25 and the descent 39.06: whole twips each.
      {"the font's measures in whole twips", Field(TextAlign::Left, [](EditText& f) { f.height = 250; }), "A\nA",
       {{left, 500 + 40 + 156}, {left, 500 + 40 + 156 + 195}}},
  };
  const Font& font = FieldFontA();
  for (const Case& c : cases) {
    const EditTextLayout layout = LayOutEditText(c.field, c.text, Lookup({{5, &font}}));
    ASSERT_EQ(layout.glyphs.size(), c.expected.size()) << c.what;
    for (std::size_t i = 0; i < c.expected.size(); ++i) {
      const PlacedGlyph& g = layout.glyphs[i];
      EXPECT_EQ((Point{g.matrix.tx, g.matrix.ty}), c.expected[i])
          << c.what << " glyph " << i << ": expected " << c.expected[i].x << "," << c.expected[i].y << " got "
          << g.matrix.tx << "," << g.matrix.ty;
      EXPECT_EQ(g.shape, &font.glyphs[c.shown == '*' ? 4 : 0].shape) << c.what;
    }
  }
}

TEST(EditText, FallbackFontWhenTheFieldCannotUseItsOwn) {
  const Font device = SquareFont(1000, U"A", 600, false);
  struct Case {
    const char* what;
    std::optional<std::uint16_t> fontId;
    bool useOutlines;
    char code;
    double ascent;  // twips: at 1024 twips to the em, one twip a unit
  };
  const Font& fallback = FallbackFont();
  const Case cases[] = {
      {"device font", 6, true, 'A', fallback.ascent},
      {"outlines not used", 5, false, 'A', fallback.ascent},
      {"no font", std::nullopt, true, 'A', fallback.ascent},
      {"character the font lacks: the field's ascent", 5, true, 'Z', 640},
  };
  for (const Case& c : cases) {
    EditText field = Field();
    field.fontId = c.fontId, field.useOutlines = c.useOutlines, field.height = 1024;
    const EditTextLayout layout =
        LayOutEditText(field, std::string(2, c.code), Lookup({{5, &FieldFontA()}, {6, &device}}));
    ASSERT_EQ(layout.glyphs.size(), 2u) << c.what;
    EXPECT_EQ(layout.glyphs[0].shape, FallbackShape(c.code)) << c.what;
    const double advance = fallback.glyphs[FallbackGlyphIndex(c.code)].advance;
    EXPECT_EQ(layout.glyphs[1].matrix, (Matrix{1, 0, 0, 1, 1040 + advance, 540 + c.ascent})) << c.what;
  }
}

TEST(EditText, HtmlFieldShowsReducedTextInFontColours) {
  EditText field = Field(TextAlign::Left, [](EditText& f) { f.html = true, f.color = {1, 2, 3, 255}; });
  const EditTextLayout layout =
      LayOutEditText(field, "<p>A<font color=\"#FF8000\">B</font></p><p>C &amp;</p>", Lookup({{5, &FieldFontA()}}));
  ASSERT_EQ(layout.glyphs.size(), 4u);
  const Point spots[] = {{1040, 700}, {1160, 700}, {1040, 900}, {1220, 900}};
  for (int i = 0; i < 4; ++i) EXPECT_EQ((Point{layout.glyphs[i].matrix.tx, layout.glyphs[i].matrix.ty}), spots[i]) << i;
  EXPECT_EQ(layout.glyphs[0].color, (Rgba{1, 2, 3, 255}));
  EXPECT_EQ(layout.glyphs[1].color, (Rgba{255, 128, 0, 255}));
  EXPECT_EQ(layout.glyphs[3].shape, FallbackShape('&'));
}

TEST(EditText, ThePenMovesByWholeTwips) {
  // At 250 twips to 1024 units an advance of 480 units is 117.1875 twips:
  // the pen moves 117 each time.
  EditText field = Field(TextAlign::Left, [](EditText& f) { f.height = 250; });
  const EditTextLayout layout = LayOutEditText(field, "AAA", Lookup({{5, &FieldFontA()}}));
  ASSERT_EQ(layout.glyphs.size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(layout.glyphs[i].matrix.tx, 1040 + 117 * i) << i;
}

TEST(EditText, ShowsNoMoreThanItsLimits) {
  // The byte that ends the text read falls inside a two-byte character:
  // the text is cut before it.
  const std::string text = std::string(kMaxShownTextBytes - 1, 'A') + "\xC3\xA9" "AAAA";
  struct Case {
    const char* limit;
    std::size_t maxGlyphs;
    std::uint16_t maxLength;
    std::size_t glyphs;
  };
  const Case cases[] = {
      {"maxGlyphs", 100, 0, 100},
      {"maxLength", std::size_t{1} << 22, 7, 7},
      {"kMaxShownTextBytes", std::size_t{1} << 22, 0, kMaxShownTextBytes - 1},
  };
  for (const Case& c : cases) {
    EditText field = Field(TextAlign::Left, [&](EditText& f) { f.autoSize = true, f.maxLength = c.maxLength; });
    EXPECT_EQ(LayOutEditText(field, text, Lookup({{5, &FieldFontA()}}), c.maxGlyphs).glyphs.size(), c.glyphs)
        << c.limit;
  }
}

TEST(EditText, FrameIsTheBoundsGrownToTheTextWhenAutoSized) {
  // "AAAA" runs 480 twips from x 1040; the bounds end at 1200.
  struct Case {
    bool border, autoSize;
    std::size_t glyphs;
    std::optional<TwipRect> frame;
  };
  const Case cases[] = {
      {false, false, 2, std::nullopt},
      {true, false, 2, TwipRect{1000, 1200, 500, 800}},             // glyphs wholly past the bounds left out
      {true, true, 4, TwipRect{1000, 1040 + 480 + 40, 500, 800}},  // to the text's end and the gutter
  };
  for (const Case& c : cases) {
    EditText field = Field(TextAlign::Left, [&](EditText& f) { f.bounds = {1000, 1200, 500, 800}, f.border = f.background = c.border, f.autoSize = c.autoSize; });
    const EditTextLayout layout = LayOutEditText(field, "AAAA", Lookup({{5, &FieldFontA()}}));
    EXPECT_EQ(layout.glyphs.size(), c.glyphs) << c.autoSize;
    ASSERT_EQ(layout.background.has_value(), c.frame.has_value());
    ASSERT_EQ(layout.border.has_value(), c.frame.has_value());
    if (!c.frame) continue;
    const TwipRect& r = *c.frame;
    const Point corners[] = {{double(r.xMin), double(r.yMin)}, {double(r.xMax), double(r.yMin)},
                             {double(r.xMax), double(r.yMax)}, {double(r.xMin), double(r.yMax)}};
    for (const Shape* box : {&*layout.background, &*layout.border}) {
      EXPECT_EQ(box->bounds, *c.frame) << c.autoSize;
      ASSERT_EQ(box->paths.size(), 1u);
      ASSERT_EQ(box->paths[0].edges.size(), 4u);
      for (int i = 0; i < 4; ++i) EXPECT_EQ(box->paths[0].edges[i].from, corners[i]) << i;
    }
    EXPECT_EQ(layout.background->fills.at(layout.background->paths[0].fill1).color, (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(layout.border->lines.at(layout.border->paths[0].line).color, (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(layout.border->lines[0].width, 0);  // a hairline
  }
}

TEST(EditText, FrameShowsTheBorderAndBackgroundEachInItsColour) {
  struct Case {
    bool border, background;
  };
  const Case cases[] = {{true, false}, {false, true}, {true, true}};
  for (const Case& c : cases) {
    EditText field = Field(TextAlign::Left, [&](EditText& f) {
      f.bounds = {0, 400, 0, 300}, f.border = c.border, f.background = c.background;
      f.borderColor = {0x12, 0x34, 0x56, 255}, f.backgroundColor = {0xAB, 0xCD, 0xEF, 255};
    });
    const EditTextLayout layout = LayOutEditText(field, "A", Lookup({{5, &FieldFontA()}}));
    ASSERT_EQ(layout.background.has_value(), c.background) << c.border << c.background;
    ASSERT_EQ(layout.border.has_value(), c.border) << c.border << c.background;
    if (c.background) {
      EXPECT_EQ(layout.background->paths.at(0).fill1, 0);
      EXPECT_EQ(layout.background->paths.at(0).line, -1);
      EXPECT_EQ(layout.background->fills.at(0).color, (Rgba{0xAB, 0xCD, 0xEF, 255}));
    }
    if (c.border) {
      EXPECT_EQ(layout.border->paths.at(0).fill1, -1);
      EXPECT_EQ(layout.border->paths.at(0).line, 0);
      EXPECT_EQ(layout.border->lines.at(0).color, (Rgba{0x12, 0x34, 0x56, 255}));
    }
  }
}

}  // namespace
}  // namespace dc::swf
