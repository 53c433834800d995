// Writes the SWF fuzz target's seed movies into the folder given: small
// plain and zlib movies with shapes, shape tweens, bitmaps, sprites, fonts,
// texts and buttons, made by the tests' writer (fuzz/make-seeds.sh runs it).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "testkit/swf_writer.h"
#include "test_images.h"

namespace dc::swf::test {
namespace {

ShapeStyles Styles() {
  FillStyle gradient;
  gradient.kind = FillKind::RadialGradient;
  gradient.matrix = Matrix::Scale(0.5, 0.5);
  gradient.gradient.stops = {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 128}}};
  FillStyle bitmap;
  bitmap.kind = FillKind::Bitmap;
  bitmap.bitmapId = 10;
  bitmap.matrix = Matrix::Scale(20, 20);
  LineStyle line{40, {0, 0, 0, 255}};
  line.join = JoinStyle::Miter;
  return {{FillStyle{FillKind::Solid, {200, 100, 0, 255}}, gradient, bitmap}, {line}};
}

std::vector<ShapeRecord> Records() {
  return {StyleChange{{{-200, -200}}, 1, 2, 1},
          LineTo{400, 0},
          CurveTo{100, 100, -100, 100},
          LineTo{-400, 0},
          LineTo{0, -400},
          StyleChange{std::nullopt, 3, std::nullopt, 0, Styles()},
          LineTo{50, 50}};
}

Bytes ShapeTags() {
  PlaceObject place{1, false, 1, Matrix{1, 0, 0, 1, 2000, 2000}};
  place.colorTransform = ColorTransform{1, 0.5, 1, 1, 0, 0, 20, 0};
  return Concat(
      {SetBackgroundColor({255, 255, 255, 255}), DefineShape(3, 1, {-220, 220, -220, 220}, Styles(), Records()),
       DefineShape(4, 2, {-220, 220, -220, 220}, Styles(), Records()), PlaceObjectTag(place, 2, 8), ShowFrame()});
}

// Both shape tween tags, shown at two ratios.
Bytes TweenTags() {
  ShapeStyles end = Styles();
  end.fills[0].color = {0, 100, 200, 128};
  end.lines[0].width = 120;
  const std::vector<ShapeRecord> endRecords = {StyleChange{{{-100, -300}}}, LineTo{300, 0}, LineTo{100, 100},
                                               LineTo{-500, 0}, LineTo{0, -300}};
  const std::vector<ShapeRecord> startRecords = {StyleChange{{{-200, -200}}, 1, 2, 1}, LineTo{400, 0},
                                                 CurveTo{100, 100, -100, 100}, LineTo{-400, 0}, LineTo{0, -400}};
  PlaceObject place{1, false, 1, Matrix{1, 0, 0, 1, 2000, 2000}};
  place.ratio = 16384;
  PlaceObject again{1, true};
  again.ratio = 50000;
  return Concat({DefineMorphShape(1, 1, {-220, 220, -220, 220}, {-120, 220, -320, 220}, Styles(), end,
                                  startRecords, endRecords),
                 DefineMorphShape(2, 2, {-220, 220, -220, 220}, {-120, 220, -320, 220}, Styles(), end,
                                  startRecords, endRecords),
                 PlaceObjectTag(place, 2, 8), ShowFrame(), PlaceObjectTag(again, 2, 8), ShowFrame()});
}

Bytes BitmapTags() {
  const Bytes palette = {255, 0, 0, 0, 255, 0, /* rows */ 0, 1, 0, 0, 1, 0, 0, 0};
  const Bytes argb = {255, 255, 0, 0, 128, 0, 128, 0, 0, 0, 0, 0, 255, 1, 2, 3};
  Bytes alpha(256, 128);
  return Concat({DefineBitsLossless(false, 10, 3, 2, 2, palette, 1), DefineBitsLossless(true, 11, 5, 2, 2, argb),
                 DefineBitsJpeg2(12, kQuadrantsJpeg), DefineBitsJpeg3(13, kQuadrantsJpeg, alpha),
                 DefineBitsJpeg2(14, kHalfRedBluePng), DefineBitsJpeg2(15, kGreenClearGif),
                 DefineShape(3, 1, {-220, 220, -220, 220}, Styles(), Records()),
                 PlaceObjectTag(PlaceObject{1, false, 1}, 2, 8), ShowFrame()});
}

Bytes SpriteTags(std::uint8_t version) {
  PlaceObject hand{2, false, 1, Matrix{0.5, 0.25, -0.25, 0.5, 100, 0}};
  hand.name = "hand";
  hand.clipActions = {ClipAction{kEventEnterFrame | kEventLoad, 0,
                                 std::make_shared<const std::vector<std::uint8_t>>(std::vector<std::uint8_t>{7, 0})}};
  const Bytes inner = Concat({PlaceObjectTag(PlaceObject{1, false, 1}, 2, version), FrameLabel("tick"), ShowFrame(),
                              RemoveObject2(1), DoActionTag(Bytes{0x07, 0x00}), ShowFrame()});
  return Concat({DefineShape(1, 1, {-220, 220, -220, 220}, Styles(), Records()), DefineSprite(3, 2, inner),
                 PlaceObjectTag(hand, 2, version), ShowFrame(), PlaceObjectTag(PlaceObject{2, true}, 2, version),
                 ShowFrame()});
}

Bytes TextTags() {
  FontSpec font;
  font.name = "Seed";
  font.ascent = 900;
  font.descent = 200;
  font.glyphs = {
      {{StyleChange{{{0, 0}}, std::nullopt, 1}, LineTo{500, 0}, LineTo{0, -700}, LineTo{-500, 700}}, '1', 600},
      {{}, ' ', 300}};
  BitWriter edit;
  edit.U16(6).Rect({0, 2000, 0, 400}).U8(0x85).U8(0x20).U16(4).U16(240).WriteRgba({0, 0, 0, 255});
  edit.U8(1).U16(0).U16(0).U16(0).U16(40).String("time").String("12:00");
  BitWriter button;
  button.U16(7).U8(0).U16(0).U8(0x0F).U16(1).U16(1).WriteMatrix({}).WriteColorTransform({}, true).U8(0);
  return Concat(
      {DefineFont2(4, font), DefineFont2(5, font, true), DefineFont(8, font), DefineFontInfo(8, font),
       DefineText(true, 9, {0, 2000, 0, 400}, {}, {{4, Rgba{0, 0, 0, 255}, 0, 300, 240, {{0, 600}, {1, 300}}}}),
       Tag(37, edit.Take()), DefineShape(1, 1, {-220, 220, -220, 220}, Styles(), Records()), Tag(34, button.Take()),
       PlaceObjectTag(PlaceObject{1, false, 9}, 2, 8), ShowFrame()});
}

bool Save(const std::filesystem::path& file, const Bytes& bytes) {
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace
}  // namespace dc::swf::test

int main(int argc, char** argv) {
  using namespace dc::swf::test;
  if (argc != 2) {
    std::fprintf(stderr, "usage: swf_seed_movies FOLDER\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  const std::pair<const char*, Bytes> movies[] = {
      {"shape.swf", Fws(Header{8}, ShapeTags())},
      {"shape-zlib.swf", Cws(Header{8}, ShapeTags())},
      {"bitmaps.swf", Fws(Header{8}, BitmapTags())},
      {"bitmaps-zlib.swf", Cws(Header{8}, BitmapTags())},
      {"sprite.swf", Fws(Header{6, {0, 4000, 0, 4000}, 24 << 8, 2}, SpriteTags(6))},
      {"sprite-flash5.swf", Fws(Header{5, {0, 4000, 0, 4000}, 12 << 8, 2}, SpriteTags(5))},
      {"texts.swf", Fws(Header{8}, TextTags())},
      {"tweens.swf", Fws(Header{8, {0, 4000, 0, 4000}, 12 << 8, 2}, TweenTags())},
  };
  for (const auto& [name, bytes] : movies) {
    if (!Save(folder / name, bytes)) {
      std::fprintf(stderr, "swf_seed_movies: cannot write %s\n", (folder / name).c_str());
      return 1;
    }
  }
  return 0;
}
