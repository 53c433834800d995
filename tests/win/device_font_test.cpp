// Device fonts from GDI under Wine: the system's outline and advance for a
// letter, and a text field in `_sans` drawn by the player in the system's
// font rather than in its own fallback.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/gdi_font_source.win.h"
#include "base/win_text.win.h"
#include "swf/format/reader.h"
#include "swf/player/player.h"
#include "testkit/swf_writer.h"

namespace {

using namespace dc::swf;
using namespace dc::swf::test;

TEST(GdiFontSource, GivesSansOutlineAndAdvanceForA) {
  dc::GdiFontSource source;
  const std::optional<DeviceFontMetrics> metrics = source.Metrics("_sans", false, false);
  ASSERT_TRUE(metrics) << "no TrueType font for _sans";
  const std::wstring face = source.FaceOf("_sans", false, false);
  // An em of 1024 units: a text face stands most of it above the baseline.
  EXPECT_GT(metrics->ascent, 700) << face.c_str();
  EXPECT_LT(metrics->ascent + metrics->descent, 1400) << face.c_str();

  const std::optional<Glyph> a = source.GlyphOf("_sans", false, false, 'A');
  ASSERT_TRUE(a) << face.c_str();
  // Arial's 'A' is 683 units wide at this em, the sans font Wine stands in
  // for it (DejaVu Sans where Wine ships no fonts of its own) 701. Its
  // outer contour and its counter stand on the baseline (y down), a cap
  // height high, inside the advance.
  EXPECT_TRUE(a->advance >= 560 && a->advance <= 800) << a->advance << ' ' << face.c_str();
  EXPECT_GE(a->shape.paths.size(), 2u);
  const TwipRect b = a->shape.bounds;
  EXPECT_TRUE(b.yMax >= -2 && b.yMax <= 2 && b.yMin <= -650 && b.yMin >= -800 && b.xMin >= -10 &&
              b.xMax <= a->advance + 10)
      << b.xMin << ' ' << b.xMax << ' ' << b.yMin << ' ' << b.yMax;

  const std::optional<Glyph> space = source.GlyphOf("_sans", false, false, ' ');
  EXPECT_TRUE(space && space->shape.paths.empty() && space->advance > 150);
  EXPECT_FALSE(source.GlyphOf("_sans", false, false, 0xE000)) << "a character the font lacks is left to the fallback";
  EXPECT_FALSE(source.GlyphOf("_sans", false, false, 0x1F600)) << "past one UTF-16 unit";
  // A name the system has no font for is drawn in Arial (or in what the
  // system stands in for it); one it has, in its own.
  EXPECT_EQ(source.FaceOf("No Such Font At All", false, false), face);
  const std::wstring other = source.FaceOf("Courier New", false, false);
  EXPECT_EQ(source.FaceOf(dc::WideToUtf8(other), false, false), other);
  EXPECT_TRUE(source.GlyphOf("No Such Font At All", false, false, 'A'));
}

// "Hello" in a field whose font, named `face`, the movie does not embed:
// black 20-pixel text on white, 200 x 40 pixels.
std::vector<std::uint32_t> DrawField(const char* face, std::shared_ptr<DeviceFontSource> fonts) {
  FontSpec font;
  font.name = face;
  EditText field;
  field.bounds = {0, 4000, 0, 800};
  field.fontId = 1;
  field.height = 400;
  field.readOnly = true;
  field.initialText = "Hello";
  Header header;
  header.stage = {0, 4000, 0, 800};
  const Bytes tags = Concat({SetBackgroundColor({255, 255, 255, 255}), DefineFont2(1, font), DefineEditText(2, field),
                             PlaceObjectTag(Placed(1, 2), 2, 8), ShowFrame()});
  PlayerOptions options;
  options.deviceFonts = std::move(fonts);
  Player player(std::make_shared<const Movie>(ReadMovie(Fws(header, tags))), std::move(options));
  std::vector<std::uint32_t> pixels(200 * 40);
  dc::PixelTarget target{pixels.data(), 200, 40, 200};
  player.Render(target);
  return pixels;
}

int Inked(const std::vector<std::uint32_t>& pixels) {
  int n = 0;
  for (std::uint32_t p : pixels) n += (p & 0xFF) < 128 ? 1 : 0;
  return n;
}

TEST(GdiFontSource, TextInSansIsDrawnInTheSystemsFont) {
  const std::vector<std::uint32_t> fallback = DrawField("_sans", nullptr);
  const std::vector<std::uint32_t> system = DrawField("_sans", std::make_shared<dc::GdiFontSource>());
  EXPECT_GT(Inked(fallback), 60);
  EXPECT_GT(Inked(system), 60);
  int differ = 0;
  for (std::size_t i = 0; i < system.size(); ++i) differ += system[i] != fallback[i] ? 1 : 0;
  EXPECT_GT(differ, 100) << "the system's font draws other pixels than the fallback";
  // The system's glyphs stay inside the field's first line.
  for (int y = 30; y < 40; ++y)
    for (int x = 0; x < 200; ++x) EXPECT_EQ(system[y * 200 + x] & 0xFFFFFF, 0xFFFFFFu) << x << ',' << y;
}

}  // namespace
