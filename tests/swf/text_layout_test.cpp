// Text layout: where static texts' glyphs land and how edit text fields
// place, break and align their text, with values that follow from the
// fonts, bounds and sizes given.
#include "swf/text_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "swf/fallback_font.h"

namespace dc::swf {
namespace {

// A font whose every glyph is a 100-unit square at the origin, so that a
// glyph's shape tells which glyph was placed.
Font SquareFont(double unitsPerEm, std::u32string codes, double advance, bool outlines = true) {
  Font font;
  font.unitsPerEm = unitsPerEm;
  font.hasOutlines = outlines;
  font.hasLayout = true;
  font.ascent = 0.8 * unitsPerEm;
  font.descent = 0.2 * unitsPerEm;
  for (char32_t code : codes) {
    Glyph g;
    g.code = static_cast<std::uint16_t>(code);
    g.advance = code == ' ' ? advance / 2 : advance;
    if (outlines && code != ' ') {
      Path p;
      p.fill1 = 0;
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

// ---- Static text ----

TEST(StaticText, GlyphsLandAtRecordStartScaledByHeight) {
  const Font em1024 = SquareFont(1024, U"AB", 0);
  const Font em20480 = SquareFont(20480, U"AB", 0);  // DefineFont3's units
  struct Case {
    const char* what;
    const Font* font;
    double height, x, y;
    Matrix textMatrix;
    std::size_t entry;
    Matrix expected;
  };
  const Matrix shifted = Matrix::Translate(1000, 2000) * Matrix::Scale(2, 2);
  const Case cases[] = {
      {"first glyph at the record start", &em1024, 512, 100, 200, {}, 0, {0.5, 0, 0, 0.5, 100, 200}},
      {"second glyph one advance on", &em1024, 512, 100, 200, {}, 1, {0.5, 0, 0, 0.5, 400, 200}},
      {"third after both advances", &em1024, 512, 100, 200, {}, 2, {0.5, 0, 0, 0.5, 650, 200}},
      {"20480 units to the em", &em20480, 400, 0, 0, {}, 0, {400.0 / 20480, 0, 0, 400.0 / 20480, 0, 0}},
      {"the text's matrix after", &em1024, 512, 100, 200, shifted, 1, {1, 0, 0, 1, 1800, 2400}},
  };
  for (const Case& c : cases) {
    StaticText text;
    text.matrix = c.textMatrix;
    text.records.push_back({7, Rgba{10, 20, 30, 40}, c.height, c.x, c.y, {{0, 300}, {1, 250}, {0, 0}}});
    const std::vector<PlacedGlyph> placed = LayOutStaticText(text, Lookup({{7, c.font}}));
    ASSERT_EQ(placed.size(), 3u) << c.what;
    EXPECT_EQ(placed[c.entry].matrix, c.expected) << c.what;
    EXPECT_EQ(placed[c.entry].shape, &c.font->glyphs[c.entry == 1 ? 1 : 0].shape) << c.what;
    EXPECT_EQ(placed[c.entry].color, (Rgba{10, 20, 30, 40})) << c.what;
  }
}

TEST(StaticText, PointOfAGlyphLandsAtRecordPlusScaledUnits) {
  const Font font = SquareFont(1000, U"A", 0);
  StaticText text;
  text.records.push_back({1, {}, 250, 50, 700, {{0, 0}}});
  const std::vector<PlacedGlyph> placed = LayOutStaticText(text, Lookup({{1, &font}}));
  ASSERT_EQ(placed.size(), 1u);
  // (u, v) = (100, -100) lands at (x + u·h/em, y + v·h/em).
  EXPECT_EQ(placed[0].matrix.Apply({100, -100}), (Point{50 + 25, 700 - 25}));
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
  const FontLookup fonts = Lookup({{1, &device}, {2, &holes}});
  for (const Case& c : cases) {
    StaticText text;
    text.records.push_back({c.fontId, {}, 2048, 0, 500, c.entries});
    const std::vector<PlacedGlyph> placed = LayOutStaticText(text, fonts);
    ASSERT_EQ(placed.size(), c.expected.size()) << c.what;
    for (std::size_t i = 0; i < placed.size(); ++i) {
      EXPECT_EQ(placed[i].shape, c.expected[i].first) << c.what << " #" << i;
      EXPECT_EQ(placed[i].matrix, (Matrix{2, 0, 0, 2, c.expected[i].second, 500})) << c.what << " #" << i;
    }
  }
}

// ---- Edit text ----

// 1024 units to the em at 256 twips: advances of 120 twips (spaces 60),
// ascent 160, descent 40.
const Font& FieldFontA() {
  static const Font font = [] {
    Font f = SquareFont(1024, U"ABCDEFGHIJ *", 480);
    f.ascent = 640, f.descent = 160;
    return f;
  }();
  return font;
}

EditText Field(TextAlign align = TextAlign::Left) {
  EditText f;
  f.bounds = {1000, 3000, 500, 2500};
  f.fontId = 5;
  f.useOutlines = true;
  f.height = 256;
  f.align = align;
  f.multiline = true;
  return f;
}

struct Spot {
  double x, baseline;
};

std::vector<Spot> Spots(const EditTextLayout& layout) {
  std::vector<Spot> spots;
  for (const PlacedGlyph& g : layout.glyphs) spots.push_back({g.matrix.tx, g.matrix.ty});
  return spots;
}

void ExpectSpots(const char* what, const EditTextLayout& layout, const std::vector<Spot>& expected) {
  const std::vector<Spot> got = Spots(layout);
  ASSERT_EQ(got.size(), expected.size()) << what;
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_DOUBLE_EQ(got[i].x, expected[i].x) << what << " glyph " << i;
    EXPECT_DOUBLE_EQ(got[i].baseline, expected[i].baseline) << what << " glyph " << i;
  }
}

TEST(EditText, AlignmentMarginsIndentLinesAndWrapping) {
  const double top = 500 + 40 + 160;    // bounds top, gutter, ascent
  const double line = 160 + 40;         // ascent + descent
  const double left = 1000 + 40;        // bounds left and gutter
  const double right = 3000 - 40;
  struct Case {
    const char* what;
    EditText field;
    std::string text;
    std::vector<Spot> expected;
  };
  EditText margins = Field();
  margins.leftMargin = 60, margins.indent = 30, margins.leading = 25;
  EditText rightMargin = Field(TextAlign::Right);
  rightMargin.rightMargin = 100;
  EditText centred = Field(TextAlign::Center);
  centred.leftMargin = 200;
  EditText single = Field();
  single.multiline = false;
  EditText wrap = Field();
  wrap.wordWrap = true;
  wrap.bounds.xMax = 1000 + 40 + 700 + 40;  // 700 twips of line
  EditText wrapIndent = wrap;
  wrapIndent.indent = 100;
  EditText justify = wrap;
  justify.align = TextAlign::Justify;
  const Case cases[] = {
      {"left", Field(), "AB", {{left, top}, {left + 120, top}}},
      {"right", Field(TextAlign::Right), "AB", {{right - 240, top}, {right - 120, top}}},
      {"right margin", rightMargin, "A", {{right - 100 - 120, top}}},
      {"centre", Field(TextAlign::Center), "AB", {{left + (right - left - 240) / 2, top}, {left + (right - left) / 2, top}}},
      {"centre with margin", centred, "A", {{left + 200 + (right - left - 200 - 120) / 2, top}}},
      {"right ignores trailing spaces", Field(TextAlign::Right), "A  ", {{right - 120, top}}},
      {"margin, indent, leading", margins, "A\nB", {{left + 60 + 30, top}, {left + 60 + 30, top + line + 25}}},
      {"indent on each paragraph", margins, "A\r\nB\rC", {{left + 90, top}, {left + 90, top + 225}, {left + 90, top + 450}}},
      {"one line: breaks show nothing", single, "A\nB\r\nC", {{left, top}, {left + 120, top}, {left + 240, top}}},
      {"space advances", Field(), "A B", {{left, top}, {left + 180, top}}},
      {"wrap before the word", wrap, "AAA BBB CC",
       {{left, top}, {left + 120, top}, {left + 240, top},
        {left, top + line}, {left + 120, top + line}, {left + 240, top + line},
        {left + 420, top + line}, {left + 540, top + line}}},
      {"wrap inside a long word", wrap, "AAAAAAA",
       {{left, top}, {left + 120, top}, {left + 240, top}, {left + 360, top}, {left + 480, top},
        {left, top + line}, {left + 120, top + line}}},
      {"indent on the first line only", wrapIndent, "AAA BBB",
       {{left + 100, top}, {left + 220, top}, {left + 340, top},
        {left, top + line}, {left + 120, top + line}, {left + 240, top + line}}},
      {"justify spreads inner spaces but not the last line's", justify, "AA B CC C",
       {{left, top}, {left + 120, top}, {left + 700 - 120, top},
        {left, top + line}, {left + 120, top + line}, {left + 300, top + line}}},
      {"no wrap unless multiline", [&] { EditText f = wrap; f.multiline = false; return f; }(), "AAAAAAA",
       {{left, top}, {left + 120, top}, {left + 240, top}, {left + 360, top}, {left + 480, top},
        {left + 600, top}, {left + 720, top}}},
  };
  const FontLookup fonts = Lookup({{5, &FieldFontA()}});
  for (const Case& c : cases) ExpectSpots(c.what, LayOutEditText(c.field, c.text, fonts), c.expected);
}

TEST(EditText, PasswordMaxLengthAndLinesBelowTheBounds) {
  const double top = 700, left = 1040;
  struct Case {
    const char* what;
    EditText field;
    std::string text;
    std::vector<Spot> expected;
    char32_t shownAs;  // every glyph is this character's
  };
  EditText password = Field();
  password.password = true;
  EditText cut = Field();
  cut.maxLength = 3;
  EditText low = Field();
  low.bounds.yMax = 500 + 40 + 200 + 200 + 1;  // the third line starts just inside
  const Case cases[] = {
      {"password", password, "AB", {{left, top}, {left + 120, top}}, '*'},
      {"max length", cut, "AAAAA", {{left, top}, {left + 120, top}, {left + 240, top}}, 'A'},
      {"lines below the bounds", low, "A\nA\nA\nA", {{left, top}, {left, top + 200}, {left, top + 400}}, 'A'},
  };
  const Font& font = FieldFontA();
  for (const Case& c : cases) {
    const EditTextLayout layout = LayOutEditText(c.field, c.text, Lookup({{5, &font}}));
    ExpectSpots(c.what, layout, c.expected);
    for (const PlacedGlyph& g : layout.glyphs) {
      EXPECT_EQ(g.shape, &font.glyphs[c.shownAs == '*' ? 11 : 0].shape) << c.what;
    }
  }
}

TEST(EditText, FallbackFontWhenTheFieldCannotUseItsOwn) {
  const Font device = SquareFont(1000, U"A", 600, false);
  const double scale = 1024.0 / 1024;  // height 1024 twips: one twip a unit
  struct Case {
    const char* what;
    std::optional<std::uint16_t> fontId;
    bool useOutlines;
    char32_t code;
  };
  const Case cases[] = {
      {"device font", 6, true, 'A'}, {"outlines not used", 5, false, 'A'},
      {"no font", std::nullopt, true, 'A'}, {"character the font lacks", 5, true, 'Z'},
  };
  const FontLookup fonts = Lookup({{5, &FieldFontA()}, {6, &device}});
  const Font& fallback = FallbackFont();
  for (const Case& c : cases) {
    EditText field = Field();
    field.fontId = c.fontId, field.useOutlines = c.useOutlines, field.height = 1024;
    const std::string text(1, static_cast<char>(c.code));
    const EditTextLayout layout = LayOutEditText(field, text + text, fonts);
    ASSERT_EQ(layout.glyphs.size(), 2u) << c.what;
    EXPECT_EQ(layout.glyphs[0].shape, FallbackShape(c.code)) << c.what;
    const double advance = fallback.glyphs[FallbackGlyphIndex(c.code)].advance * scale;
    // The field's own ascent sets the baseline when it draws in its font.
    const double ascent = c.code == 'Z' ? 640 : fallback.ascent * scale;
    EXPECT_EQ(layout.glyphs[1].matrix, (Matrix{scale, 0, 0, scale, 1040 + advance, 540 + ascent})) << c.what;
  }
}

TEST(EditText, HtmlFieldShowsReducedTextInFontColours) {
  EditText field = Field();
  field.html = true;
  field.color = {1, 2, 3, 255};
  const EditTextLayout layout =
      LayOutEditText(field, "<p>A<font color=\"#FF8000\">B</font></p><p>C &amp;</p>", Lookup({{5, &FieldFontA()}}));
  ExpectSpots("html", layout, {{1040, 700}, {1160, 700}, {1040, 900}, {1220, 900}});
  ASSERT_EQ(layout.glyphs.size(), 4u);
  EXPECT_EQ(layout.glyphs[0].color, (Rgba{1, 2, 3, 255}));
  EXPECT_EQ(layout.glyphs[1].color, (Rgba{255, 128, 0, 255}));
  EXPECT_EQ(layout.glyphs[3].shape, FallbackShape('&'));
}

TEST(EditText, BorderIsTheBoundsFilledWhiteWithABlackHairline) {
  EditText field = Field();
  field.border = true;
  const EditTextLayout layout = LayOutEditText(field, "", Lookup({}));
  ASSERT_TRUE(layout.frame.has_value());
  const Shape& frame = *layout.frame;
  ASSERT_EQ(frame.paths.size(), 1u);
  ASSERT_EQ(frame.paths[0].edges.size(), 4u);
  const Point corners[] = {{1000, 500}, {3000, 500}, {3000, 2500}, {1000, 2500}};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(frame.paths[0].edges[i].from, corners[i]) << i;
  EXPECT_EQ(frame.fills.at(frame.paths[0].fill1).color, (Rgba{255, 255, 255, 255}));
  EXPECT_EQ(frame.lines.at(frame.paths[0].line).color, (Rgba{0, 0, 0, 255}));
  EXPECT_EQ(frame.lines[0].width, 0);
  EXPECT_FALSE(LayOutEditText(Field(), "", Lookup({})).frame.has_value());
}

TEST(EditText, AutoSizeKeepsTextPastTheBoundsAndGrowsTheFrame) {
  // "AAAA" is 480 twips wide from x 1040; the bounds end at 1200.
  struct Case {
    bool autoSize;
    std::size_t glyphs;
    TwipRect frame;
  };
  const Case cases[] = {
      {false, 2, {1000, 1200, 500, 800}},             // glyphs wholly past the bounds left out
      {true, 4, {1000, 1040 + 480 + 40, 500, 800}},  // the frame reaches the text's end and gutter
  };
  for (const Case& c : cases) {
    EditText field = Field();
    field.bounds = {1000, 1200, 500, 800};
    field.border = true, field.autoSize = c.autoSize;
    const EditTextLayout layout = LayOutEditText(field, "AAAA", Lookup({{5, &FieldFontA()}}));
    EXPECT_EQ(layout.glyphs.size(), c.glyphs) << c.autoSize;
    ASSERT_TRUE(layout.frame.has_value());
    EXPECT_EQ(layout.frame->bounds, c.frame) << c.autoSize;
  }
}

}  // namespace
}  // namespace dc::swf
