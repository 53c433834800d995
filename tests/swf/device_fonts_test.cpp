// Device fonts: what a source answers kept and bounded, and text in a font
// the movie does not embed placed in the source's glyphs, falling back to
// our own font for what the source lacks.
#include "swf/text/device_fonts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "swf/model/rectangle_edges.h"
#include "swf/text/fallback_font.h"
#include "swf/text/field_glyphs.h"
#include "swf/text/field_layout.h"
#include "swf/text/text_layout.h"

namespace dc::swf {
namespace {

// Knows "Sans" and "Times New Roman": 'A' a square as wide as its advance
// of 500 units, ' ' blank; nothing else. Counts what it is asked.
class FakeSource : public DeviceFontSource {
 public:
  std::optional<DeviceFontMetrics> Metrics(std::string_view name, bool, bool) override {
    ++metricsAsked;
    if (name != "Sans" && name != "Times New Roman") return std::nullopt;
    return DeviceFontMetrics{900, 200};
  }
  std::optional<Glyph> GlyphOf(std::string_view, bool, bool, char32_t code) override {
    ++glyphsAsked[code];
    if (code != 'A' && code != ' ') return std::nullopt;
    Glyph g{{}, static_cast<std::uint16_t>(code), 500};
    g.shape.fills.push_back({});
    if (code == 'A') g.shape.paths.push_back({-1, 0, -1, 0, RectangleEdges(0, -500, 500, 0)});
    return g;
  }
  int metricsAsked = 0;
  std::map<char32_t, int> glyphsAsked;
};

TEST(DeviceFonts, KeepsWhatTheSourceSaidWithinItsBound) {
  auto source = std::make_shared<FakeSource>();
  // Room for one glyph and a half: a second glyph pushes the first out.
  DeviceFonts probe(std::make_shared<FakeSource>());
  probe.GlyphOf(*probe.FaceFor("Sans", false, false), 'A');
  const std::size_t room = probe.GlyphBytes() * 3 / 2;
  DeviceFonts fonts(source, room);
  const DeviceFonts::Face* sans = fonts.FaceFor("Sans", false, false);
  ASSERT_NE(sans, nullptr);
  EXPECT_EQ(sans->metrics.ascent, 900);
  EXPECT_EQ(fonts.FaceFor("Sans", false, false), sans);
  EXPECT_EQ(fonts.FaceFor("Nothing", false, false), nullptr);
  EXPECT_EQ(fonts.FaceFor("Nothing", false, false), nullptr) << "asked once";
  EXPECT_NE(fonts.FaceFor("Sans", true, false), sans) << "another style is another font";
  EXPECT_EQ(source->metricsAsked, 3) << "each name and style asked once, also when missing";

  const std::shared_ptr<const Glyph> a = fonts.GlyphOf(*sans, 'A');
  ASSERT_TRUE(a);
  EXPECT_EQ(fonts.GlyphOf(*sans, 'A'), a);
  EXPECT_EQ(fonts.GlyphOf(*sans, 'B'), nullptr);
  EXPECT_EQ(fonts.GlyphOf(*sans, 'B'), nullptr);
  EXPECT_EQ(source->glyphsAsked['A'], 1);
  EXPECT_EQ(source->glyphsAsked['B'], 1) << "a missing glyph is remembered too";
  EXPECT_EQ(fonts.TakeFetched(), 2u) << "the source's work, for the frame to pay";
  EXPECT_EQ(fonts.TakeFetched(), 0u);

  fonts.GlyphOf(*fonts.FaceFor("Sans", true, false), 'A');
  EXPECT_LE(fonts.GlyphBytes(), room);
  EXPECT_NE(fonts.GlyphOf(*sans, 'A'), a) << "pushed out, asked again";
  EXPECT_EQ(source->glyphsAsked['A'], 3);
  EXPECT_EQ(a->shape.paths.size(), 1u) << "a glyph held outlives the cache's copy";

  for (int i = 0; i < 40; ++i) fonts.FaceFor("Font " + std::to_string(i), false, false);
  EXPECT_EQ(source->metricsAsked, 3 + static_cast<int>(kMaxDeviceFaces) - 3);
  EXPECT_EQ(fonts.FaceFor("Sans", false, false), sans) << "a font known stays";
}

TEST(DeviceFonts, TextInADeviceFontTakesTheSourcesGlyphsAndFallsBackForTheRest) {
  auto source = std::make_shared<FakeSource>();
  DeviceFonts fonts(source);
  Font sans;
  sans.name = "Sans";
  sans.hasOutlines = false;
  sans.glyphs = {{{}, 'A', 0}, {{}, 'B', 0}};
  Font elsewhere = sans;
  elsewhere.name = "Nothing";
  const FontLookup lookup = [&](std::uint16_t id) -> const Font* { return id == 1 ? &sans : &elsewhere; };
  const Font& fallback = FallbackFont();
  const Shape* fallbackB = &fallback.glyphs[FallbackGlyphIndex('B')].shape;
  const Shape* fallbackA = &fallback.glyphs[FallbackGlyphIndex('A')].shape;

  // A field's run at 51.2 px (one twip a unit) from (1040, 540) inside
  // its gutter: "AB" in the source's 'A', advance 500, ascent 900, then
  // the fallback's 'B'; in a font the system lacks, both the fallback's,
  // its measures in whole pixels.
  FontLibrary library;
  library.SetDeviceFonts(&fonts);
  const auto pixels = [](double units) { return std::round(units * 51.2 / 1024) * 20; };
  struct FieldCase {
    const char* font;
    bool fromSource;
  };
  for (const FieldCase& c : {FieldCase{"Sans", true}, FieldCase{"Times New Roman", true}, FieldCase{"Nothing", false}}) {
    FieldDocument doc;
    TextFormat format;
    format.font = c.font, format.size = 51.2;
    doc.Set(U"AB", format);
    FieldFrame frame;
    frame.width = 8000;
    const EditTextLayout layout = PlaceFieldGlyphs(doc, LayOutField(doc, format, frame, library), frame,
                                                   FieldBox{{1000, 9000, 500, 3000}, {}, {}}, library);
    ASSERT_EQ(layout.glyphs.size(), 2u) << c.font;
    const double ascent = c.fromSource ? 900 : pixels(fallback.ascent);
    const double advanceA = c.fromSource ? 500 : pixels(fallback.glyphs[FallbackGlyphIndex('A')].advance);
    ASSERT_EQ(layout.glyphs[0].held != nullptr, c.fromSource) << c.font;
    EXPECT_EQ(layout.glyphs[0].shape, c.fromSource ? &layout.glyphs[0].held->shape : fallbackA) << c.font;
    EXPECT_EQ(layout.glyphs[0].matrix, (Matrix{1, 0, 0, 1, 1040, 540 + ascent})) << c.font;
    EXPECT_EQ(layout.glyphs[1].shape, fallbackB) << c.font;
    EXPECT_EQ(layout.glyphs[1].matrix, (Matrix{1, 0, 0, 1, 1040 + advanceA, 540 + ascent})) << c.font;
  }

  // Static text keeps the file's advances; only the outline changes.
  StaticText text;
  text.records.push_back({1, {0, 0, 0, 255}, 512, 100, 200, {{0, 300}, {1, 300}}});
  const std::vector<PlacedGlyph> placed = LayOutStaticText(text, lookup, kDefaultLimits.maxGlyphs, &fonts);
  ASSERT_EQ(placed.size(), 2u);
  ASSERT_NE(placed[0].held, nullptr);
  EXPECT_EQ(placed[0].shape, &placed[0].held->shape);
  EXPECT_EQ(placed[0].matrix, (Matrix{0.5, 0, 0, 0.5, 100, 200}));
  EXPECT_EQ(placed[1].shape, fallbackB);
  EXPECT_EQ(placed[1].matrix, (Matrix{0.5, 0, 0, 0.5, 400, 200}));
}

// What scripts measure of a field in a device font: the system's advances
// and ascent in whole pixels; a character it lacks, the fallback font's.
TEST(DeviceFonts, FieldsAreMeasuredInTheSystemsFont) {
  DeviceFonts fonts(std::make_shared<FakeSource>());
  FontLibrary library;
  library.SetDeviceFonts(&fonts);
  TextFormat format;
  format.font = "Sans";
  format.size = 20;
  FieldDocument doc;
  doc.Set(U"AB", format);
  const FieldLayout layout = LayOutField(doc, format, FieldFrame{4000}, library);
  // At 20 px: 'A' 500 units is 9.77 px, the ascent 900 units 17.6 px.
  const double fallbackB = FallbackFont().glyphs[FallbackGlyphIndex('B')].advance * 20 / 1024;
  EXPECT_EQ(layout.advances, (std::vector<std::int32_t>{200, static_cast<std::int32_t>(std::lround(fallbackB)) * 20}));
  EXPECT_EQ(layout.lines.front().ascent, 360);
}

}  // namespace
}  // namespace dc::swf
