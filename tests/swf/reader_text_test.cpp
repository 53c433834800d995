// Fonts, texts and buttons as read.
#include <gtest/gtest.h>

#include <bit>

#include "reader_test_util.h"

namespace dc::swf::test {
namespace {

const std::vector<ShapeRecord> kTriangle = {StyleChange{{{0, 0}}, std::nullopt, 1}, LineTo{100, 0}, LineTo{0, -100},
                                            LineTo{-100, 100}};

// The glyph kTriangle becomes: the file's fill 1 as the glyph's one black fill.
Shape TriangleGlyph() {
  Shape s;
  s.fills = {FillStyle{}};
  s.paths = {
      Path{-1, 0, -1, 0, {Edge{{0, 0}, {}, {100, 0}}, Edge{{100, 0}, {}, {100, -100}}, Edge{{100, -100}, {}, {0, 0}}}}};
  s.bounds = {0, 100, -100, 0};
  return s;
}

Shape EmptyGlyph() {
  Shape s;
  s.fills = {FillStyle{}};
  return s;
}

TEST(ReadFont, GlyphsCodesAndLayout) {
  FontSpec written;
  written.name = "Arial";
  written.bold = true;
  written.ascent = 900;
  written.descent = 200;
  written.leading = -10;
  written.glyphs = {{kTriangle, 'A', 500}, {{}, 0x80, -600}};
  Font expected;
  expected.name = "Arial";
  expected.bold = true;
  expected.hasLayout = true;
  expected.ascent = 900;
  expected.descent = 200;
  expected.leading = -10;
  // Advances are unsigned: the 16 bits of -600 are 64936.
  expected.glyphs = {{TriangleGlyph(), 'A', 500}, {EmptyGlyph(), 0x80, 64936}};
  FontSpec wide = written;
  wide.wideOffsets = true;
  wide.italic = true;
  Font wideRead = expected;
  wideRead.italic = true;
  wideRead.unitsPerEm = 20480;
  FontSpec narrow = written;
  narrow.wideCodes = false;
  narrow.hasLayout = false;
  Font narrowRead = expected;
  narrowRead.hasLayout = false;
  narrowRead.ascent = narrowRead.descent = narrowRead.leading = 0;
  narrowRead.glyphs[0].advance = narrowRead.glyphs[1].advance = 0;
  narrowRead.glyphs[1].code = 0x20AC;  // 8-bit codes are Windows-1252
  Font fromInfo = narrowRead;
  fromInfo.bold = false;
  fromInfo.italic = true;
  FontSpec info = narrow;
  info.bold = false;
  info.italic = true;
  struct Case {
    const char* name;
    Bytes tags;
    Font font;
  };
  const Case cases[] = {
      {"DefineFont2", DefineFont2(1, written), expected},
      {"DefineFont3, wide offsets", DefineFont2(1, wide, true), wideRead},
      {"DefineFont2, 8-bit codes, no layout", DefineFont2(1, narrow), narrowRead},
      {"DefineFont and DefineFontInfo", Concat({DefineFont(1, info), DefineFontInfo(1, info)}), fromInfo},
  };
  for (const Case& c : cases) {
    const Movie m = ReadTags(c.tags);
    const Font* f = CharacterOf<Font>(m, 1);
    ASSERT_NE(f, nullptr) << c.name << ": " << Warnings(m);
    EXPECT_EQ(*f, c.font) << c.name;
    EXPECT_TRUE(m.warnings.empty()) << c.name << ": " << Warnings(m);
  }
}

TEST(ReadFont, GlyphsAreReadFromWhereTheirOffsetsPointInAnyOrderAndMayShareBytes) {
  FontSpec font;
  font.glyphs = {{{}, 'a', 0}, {kTriangle, 'b', 0}, {{}, 'c', 0}};
  const Bytes written = DefineFont(1, font);
  const auto offsetAt = [](const Bytes& tag, int glyph) { return tag[4 + 2 * glyph] | tag[5 + 2 * glyph] << 8; };
  const auto withOffsets = [&](int second, int third) {
    Bytes tag = written;  // the 2-byte tag header, the id, then the offsets
    for (const auto& [glyph, to] : {std::pair{1, second}, std::pair{2, third}}) {
      tag[4 + 2 * glyph] = static_cast<std::uint8_t>(to);
      tag[5 + 2 * glyph] = static_cast<std::uint8_t>(to >> 8);
    }
    return tag;
  };
  const int triangle = offsetAt(written, 1), empty = offsetAt(written, 2);
  const struct {
    const char* name;
    Bytes tag;
    std::vector<Shape> glyphs;
  } cases[] = {
      {"out of order", withOffsets(empty, triangle), {EmptyGlyph(), EmptyGlyph(), TriangleGlyph()}},
      {"sharing bytes", withOffsets(triangle, triangle), {EmptyGlyph(), TriangleGlyph(), TriangleGlyph()}},
  };
  for (const auto& c : cases) {
    const Movie m = ReadTags(c.tag);
    const Font* f = CharacterOf<Font>(m, 1);
    ASSERT_NE(f, nullptr) << c.name << ": " << Warnings(m);
    ASSERT_EQ(f->glyphs.size(), 3u) << c.name;
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(f->glyphs[i].shape, c.glyphs[i]) << c.name << ", glyph " << i;
  }
}

TEST(ReadFont, DeviceFontsHaveNoGlyphs) {
  FontSpec written;
  written.name = "_sans";
  written.ascent = 900;
  written.descent = 100;
  // The same without the code table offset some tools leave out: flags
  // (layout), language, the name, no glyphs, then the layout at once.
  const Bytes withoutOffset =
      Tag(48, Concat({Bytes{1, 0, 0x80, 0, 5}, AsBytes("_sans"), Bytes{0, 0, 0x84, 0x03, 0x64, 0, 0, 0, 0, 0}}));
  for (const Bytes& tag : {DefineFont2(1, written), withoutOffset}) {
    const Movie m = ReadTags(tag);
    const Font* f = CharacterOf<Font>(m, 1);
    ASSERT_NE(f, nullptr) << Warnings(m);
    EXPECT_FALSE(f->hasOutlines);
    EXPECT_TRUE(f->glyphs.empty());
    EXPECT_EQ(f->name, "_sans");
    EXPECT_EQ(f->ascent, 900);
    EXPECT_EQ(f->descent, 100);
  }
}

TEST(ReadText, RecordsCarryTheirStyleOn) {
  const Matrix matrix{1, 0, 0, 1, 20, -40};
  const std::vector<TextRecordSpec> records = {
      {1, Rgba{255, 0, 0, 128}, 20, 300, 240, {{0, 100}, {1, -12}}},
      {std::nullopt, std::nullopt, std::nullopt, 400, 0, {{1, 7}}},
      {2, std::nullopt, -5, std::nullopt, 480, {{3, 0}}},
  };
  struct Case {
    bool text2;
    Rgba color;
  };
  for (const Case& c : {Case{false, {255, 0, 0, 255}}, Case{true, {255, 0, 0, 128}}}) {
    const Movie m = ReadTags(DefineText(c.text2, 1, {0, 1000, -200, 100}, matrix, records));
    const StaticText* t = CharacterOf<StaticText>(m, 1);
    ASSERT_NE(t, nullptr) << Warnings(m);
    StaticText expected;
    expected.bounds = {0, 1000, -200, 100};
    expected.matrix = matrix;
    expected.records = {
        {1, c.color, 240, 20, 300, {{0, 100}, {1, -12}}},
        {1, c.color, 240, 108, 400, {{1, 7}}},  // x goes on from 20 + 100 - 12
        {2, c.color, 480, -5, 400, {{3, 0}}},
    };
    EXPECT_EQ(*t, expected) << (c.text2 ? "DefineText2" : "DefineText");
  }
}

TEST(ReadText, EditTextFieldsAndFlags) {
  BitWriter all;
  all.U16(1).Rect({-40, 2000, 0, 400}).U8(0xFF).U8(0xFF);
  all.U16(3).String("Clock.Font").U16(360).WriteRgba({1, 2, 3, 4}).U16(8);
  all.U8(2).U16(10).U16(20).U16(30).U16(static_cast<std::uint16_t>(-4));
  all.String("time").String("<b>12:00</b>");
  EditText full;
  full.bounds = {-40, 2000, 0, 400};
  full.wordWrap = full.multiline = full.password = full.readOnly = true;
  full.autoSize = full.html = full.useOutlines = full.border = full.noSelect = true;
  full.background = true;  // the file's border flag gives the background too
  full.fontId = 3;
  full.fontClass = "Clock.Font";
  full.height = 360;
  full.color = {1, 2, 3, 4};
  full.maxLength = 8;
  full.align = TextAlign::Center;
  full.leftMargin = 10;
  full.rightMargin = 20;
  full.indent = 30;
  full.leading = -4;
  full.variableName = "time";
  full.initialText = "<b>12:00</b>";

  BitWriter bare;
  bare.U16(1).Rect({}).U8(0x80).U8(0).String("").Append(Bytes{'1', 0x80, 0});
  EditText plain;
  plain.initialText = "1\u20AC";  // Flash 5: Windows-1252

  const Movie m8 = ReadTags(Tag(37, all.Take()));
  ASSERT_NE(CharacterOf<EditText>(m8, 1), nullptr);
  EXPECT_EQ(*CharacterOf<EditText>(m8, 1), full);
  const Movie m5 = ReadTags(Tag(37, bare.Take()), 5);
  ASSERT_NE(CharacterOf<EditText>(m5, 1), nullptr);
  EXPECT_EQ(*CharacterOf<EditText>(m5, 1), plain);
}

// CSMTextSettings completes the field it names; a later definition's
// settings, or an unknown id's, change nothing.
TEST(ReadText, TextSettingsCompleteTheirField) {
  BitWriter field;
  field.U16(1).Rect({0, 100, 0, 100}).U8(0).U8(0).String("");
  const auto settings = [](std::uint16_t id, std::uint32_t flashType, std::uint32_t gridFit, float thickness,
                           float sharpness) {
    BitWriter w;
    w.U16(id).UB(flashType, 2).UB(gridFit, 3).UB(0, 3);
    w.U32(std::bit_cast<std::uint32_t>(thickness)).U32(std::bit_cast<std::uint32_t>(sharpness)).U8(0);
    return w.Take();
  };
  const Bytes fieldTag = Tag(37, field.Take());
  const Bytes known = Tag(74, settings(1, 1, 2, -1.5f, 200.0f));
  const Bytes unknown = Tag(74, settings(9, 1, 0, 3.0f, 3.0f));
  const Movie m = ReadTags(Concat({fieldTag, known, unknown}));
  const EditText* read = CharacterOf<EditText>(m, 1);
  ASSERT_NE(read, nullptr);
  EXPECT_TRUE(read->advancedAntiAlias);
  EXPECT_EQ(read->gridFit, 2);
  EXPECT_EQ(read->thickness, -1.5);
  EXPECT_EQ(read->sharpness, 200.0);
  const Movie before = ReadTags(Concat({known, fieldTag}));
  ASSERT_NE(CharacterOf<EditText>(before, 1), nullptr);
  EXPECT_FALSE(CharacterOf<EditText>(before, 1)->advancedAntiAlias);
  EXPECT_EQ(CharacterOf<EditText>(before, 1)->gridFit, 1);
}

std::string Describe(const std::vector<ButtonRecord>& records) {
  std::string s;
  for (const ButtonRecord& r : records) {
    s += "character " + std::to_string(r.characterId) + " depth " + std::to_string(r.depth) + " states " +
         std::to_string(r.states) + " tx " + std::to_string(r.matrix.tx) + " scale " + std::to_string(r.matrix.a) +
         " alpha " + std::to_string(r.colorTransform.mulA) + "\n";
  }
  return s;
}

TEST(ReadButton, RecordsOfBothKinds) {
  const ColorTransform halfAlpha{1, 1, 1, 0.5, 0, 0, 0, 0};
  BitWriter b2;
  b2.U16(1).U8(0).U16(0);
  b2.U8(0x03).U16(5).U16(1).WriteMatrix(Matrix::Translate(20, 0)).WriteColorTransform(halfAlpha, true);
  b2.U8(0x38).U16(6).U16(2).WriteMatrix({}).WriteColorTransform({}, true);
  b2.U8(1).U8(2).Append(Bytes(15, 9)).U8(1);             // one glow filter, blend mode 1
  b2.U8(0).Append(Bytes{0, 0, 0x08, 0x00, 0x07, 0x00});  // the end, then conditions and actions
  BitWriter b1;
  b1.U16(2).U8(0x01).U16(7).U16(3).WriteMatrix(Matrix::Scale(2, 2)).U8(0).Append(Bytes{0x07, 0x00});
  const Movie m = ReadTags(Concat({Tag(34, b2.Take()), Tag(7, b1.Take())}));
  const Button* two = CharacterOf<Button>(m, 1);
  const Button* one = CharacterOf<Button>(m, 2);
  ASSERT_TRUE(two && one) << Warnings(m);
  EXPECT_EQ(Describe(two->records),
            Describe({{5, 1, Matrix::Translate(20, 0), halfAlpha, 0x03}, {6, 2, {}, {}, 0x08}}));
  EXPECT_EQ(Describe(one->records), Describe({{7, 3, Matrix::Scale(2, 2), {}, 0x01}}));
  // DefineButton's one block runs on release; DefineButton2's offset of 0
  // says it has none.
  ASSERT_EQ(one->actions.size(), 1u);
  EXPECT_EQ(one->actions[0].conditions, kOverDownToOverUp);
  EXPECT_EQ(*one->actions[0].actions, (std::vector<std::uint8_t>{0x07, 0x00}));
  EXPECT_TRUE(two->actions.empty());
  EXPECT_TRUE(m.hasAvm1Scripts);
}

}  // namespace
}  // namespace dc::swf::test
