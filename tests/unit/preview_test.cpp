// clockpack preview: the clock's pixels where the window shows them, cut to
// its shape, at its opacity.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "manifest.h"
#include "package_builder.h"
#include "picture.h"
#include "play.h"
#include "preview.h"
#include "test_support.h"
#include "testkit/swf_writer.h"

namespace {

constexpr std::uint32_t kKey = 0x00FF00FF;

// A 20 x 10 face of 0x00332211 (red 0x11) with key colour in its first column.
dctest::PackageParts Parts() {
  dctest::PackageParts p = dctest::DemoParts();
  std::vector<std::uint32_t> px(20 * 10, 0x00332211);
  for (int y = 0; y < 10; ++y) px[y * 20] = kKey;
  p.face = dctest::Bmp24(20, 10, px);
  p.display.FaceWidth = 20;
  p.display.FaceHeight = 10;
  p.display.ShapeToPicture = 1;
  p.display.Opacity = 200;
  p.display.LedLeft = 30;  // right of the face, at its top
  p.display.LedTop = 0;
  p.display.CellWidth = 9;
  p.display.CellHeight = 13;
  p.display.Thickness = 1;
  p.display.Gap = 2;
  p.display.LedBackColor = 0x00605040;  // red 0x40
  return p;
}

struct Px {
  std::uint8_t r, g, b, a;
  bool operator==(const Px&) const = default;
};
Px At(const clockpack::PreviewImage& im, int x, int y) {
  const std::uint8_t* p = im.rgba.data() + (static_cast<std::size_t>(y) * im.width + x) * 4;
  return {p[0], p[1], p[2], p[3]};
}

TEST(Preview, FaceDigitsShapeAndOpacityWhereTheWindowPutsThem) {
  dctest::PackageParts p = Parts();
  clockpack::PreviewOptions options;
  options.format.twelveHour = false;
  options.format.leadingZero = true;
  options.time = {2026, 12, 9, 10, 8, 30};
  const clockpack::PreviewImage im = clockpack::RenderPreview(p.Bytes(), options);
  // "10:08:30": 8 cells of 9 with 7 gaps of 2 and no margins, 86 x 13 at
  // x 30: the window is 116 wide and as tall as the digits.
  ASSERT_EQ(im.width, 116);
  ASSERT_EQ(im.height, 13);
  const struct {
    int x, y;
    Px want;
  } cases[] = {
      {5, 5, {0x11, 0x22, 0x33, 200}},   // the face
      {0, 5, {0xFF, 0x00, 0xFF, 0}},     // its key column lies outside the shape
      {19, 9, {0x11, 0x22, 0x33, 200}},  // the face's last pixel
      {20, 5, {0, 0, 0, 0}},             // between face and digits: no child, outside the shape
      {5, 11, {0, 0, 0, 0}},             // below the face
      {31, 1, {0x40, 0x50, 0x60, 200}},  // the digits' background, in their margin
      {115, 12, {0x40, 0x50, 0x60, 200}},
  };
  for (const auto& c : cases) {
    const Px got = At(im, c.x, c.y);
    EXPECT_EQ(got, c.want) << "(" << c.x << ", " << c.y << "): got " << +got.r << "," << +got.g << "," << +got.b
                           << "," << +got.a;
  }
  EXPECT_TRUE(im.warnings.empty());
  const std::vector<std::uint8_t> png = clockpack::EncodePng(im);
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
}

TEST(Preview, TimesAndPicturesOfTheCommandLine) {
  const dc::CivilDateTime day{2026, 12, 9, 0, 0, 0};
  EXPECT_EQ(clockpack::ParsePreviewTime("23:59:59", day), (dc::CivilDateTime{2026, 12, 9, 23, 59, 59}));
  for (const char* bad : {"24:00:00", "10:60:00", "1:02:03", "10:08", "10:08:30x", "ten"})
    EXPECT_THROW(clockpack::ParsePreviewTime(bad, day), clockpack::ToolError) << bad;
  const dc::CivilDateTime evening{2026, 12, 9, 21, 7, 5};
  const std::pair<const char*, const char*> formats[] = {
      {"h:mm:ss tt", "9:07:05 PM"}, {"HH:mm:ss", "21:07:05"}, {"hh.mm.ss tt", "09.07.05 PM"}, {"H:mm:ss", "21:07:05"}};
  for (auto [picture, text] : formats)
    EXPECT_EQ(dc::FormatLongTime(clockpack::ParseTimeFormat(picture), evening), text) << picture;
  EXPECT_THROW(clockpack::ParseTimeFormat("mm:ss"), clockpack::ToolError);
  EXPECT_EQ(clockpack::ParsePreviewScale("150%"), 144);
  EXPECT_EQ(clockpack::ParsePreviewScale("1.25"), 120);
  for (const char* bad : {"", "%", "0.4", "600%", "2x", "abc"})
    EXPECT_THROW(clockpack::ParsePreviewScale(bad), clockpack::ToolError) << bad;
}

TEST(Preview, AtTwiceTheScaleTheDigitsAreDrawnAtTheScreensPixels) {
  clockpack::PreviewOptions options;
  options.format.twelveHour = false;
  options.format.leadingZero = true;
  options.dpi = 192;
  const clockpack::PreviewImage im = clockpack::RenderPreview(Parts().Bytes(), options);
  // Cells 18 x 25 (the 13-high cell keeps its middle row), gaps of 4, the
  // digits at x 60: "10:08:30" is 172 wide; the face 40 x 20.
  ASSERT_EQ(im.width, 232);
  ASSERT_EQ(im.height, 25);
  const struct {
    int x, y;
    Px want;
  } cases[] = {
      {0, 5, {0xFF, 0x00, 0xFF, 0}},     // the key column, two pixels wide, outside the shape
      {1, 5, {0x11, 0x22, 0x33, 0}},     // (the key gives no colour, takes the face's, never shown)
      {2, 5, {0x11, 0x22, 0x33, 200}},   // the face's colour, unblended with the key
      {39, 19, {0x11, 0x22, 0x33, 200}},
      {40, 5, {0, 0, 0, 0}},
      {60, 24, {0x40, 0x50, 0x60, 200}},  // the digits' corner
      // The "1" of the first cell: its upper right segment, two pixels
      // thick, from column w - 2t - 1 = 13 to w - t - 2 = 14 of the cell.
      {60 + 12, 6, {0x40, 0x50, 0x60, 200}},
      {60 + 13, 6, {0xF7, 0xFF, 0x00, 200}},
      {60 + 14, 6, {0xF7, 0xFF, 0x00, 200}},
      {60 + 15, 6, {0x40, 0x50, 0x60, 200}},
  };
  for (const auto& c : cases) {
    const Px got = At(im, c.x, c.y);
    EXPECT_EQ(got, c.want) << "(" << c.x << ", " << c.y << "): got " << +got.r << "," << +got.g << "," << +got.b
                           << "," << +got.a;
  }
}

// A Flash face of 10 x 10 pixels at 12 frames a second on blue: a red
// square on frames 1 to 12, taken away on frame 13, the movie stopped on
// frame 20.
dctest::PackageParts FlashParts() {
  namespace w = dc::swf::test;
  using dc::swf::FillKind;
  using dc::swf::FillStyle;
  dc::swf::PlaceObject square;
  square.depth = 1;
  square.characterId = 1;
  std::vector<std::uint8_t> tags = w::Concat(
      {w::SetBackgroundColor({0, 0, 255, 255}),
       w::DefineShape(1, 1, {0, 200, 0, 200}, {{FillStyle{FillKind::Solid, {255, 0, 0, 255}}}, {}},
                      {w::StyleChange{{{0, 0}}, std::nullopt, 1, std::nullopt, std::nullopt}, w::LineTo{200, 0},
                       w::LineTo{0, 200}, w::LineTo{-200, 0}, w::LineTo{0, -200}}),
       w::PlaceObjectTag(square, 2, 6)});
  for (int frame = 1; frame <= 20; ++frame) {
    if (frame == 13) tags = w::Concat({tags, w::RemoveObject2(1)});
    if (frame == 20) tags = w::Concat({tags, w::DoActionTag(std::vector<std::uint8_t>{0x07, 0x00})});  // stop
    tags = w::Concat({tags, w::ShowFrame()});
  }
  w::Header header;
  header.version = 6;
  header.stage = {0, 200, 0, 200};
  header.frameCount = 20;
  dctest::PackageParts p = Parts();
  std::memcpy(p.display.FaceType, ".swf", 4);
  p.display.ShapeToPicture = 0;
  p.face = w::Fws(header, tags);
  return p;
}

TEST(Preview, AMovieShowsWhatOneSecondOfPlayShowsUnlessAFrameIsNamed) {
  const struct {
    std::uint32_t frame;
    Px want;
  } cases[] = {
      {0, {0, 0, 255, 200}},   // the default: 12 frames played after the first, on frame 13
      {1, {255, 0, 0, 200}},   // the first frame
      {12, {255, 0, 0, 200}},  // the last frame with the square
      {13, {0, 0, 255, 200}},
  };
  for (const auto& c : cases) {
    clockpack::PreviewOptions options;
    options.frame = c.frame;
    const clockpack::PreviewImage im = clockpack::RenderPreview(FlashParts().Bytes(), options);
    const Px got = At(im, 5, 5);
    EXPECT_EQ(got, c.want) << "frame " << c.frame << ": got " << +got.r << "," << +got.g << "," << +got.b << ","
                           << +got.a;
    EXPECT_TRUE(im.warnings.empty()) << c.frame << ": " << (im.warnings.empty() ? "" : im.warnings[0]);
  }
}

TEST(Preview, AFaceMovieIsDrawnAsClockpackPlayCapturesIt) {
  // The demo's movie on a 130 x 110 face (the stage scaled to it), after 13
  // frames at the same fixed time: the preview's face and the picture
  // `clockpack play --capture` writes (what the picture tests judge) are
  // the same pixels.
  const std::filesystem::path movie = std::filesystem::path(DC_SOURCE_DIR) / "assets/demo/face.swf";
  dctest::PackageParts p = Parts();
  std::memcpy(p.display.FaceType, ".swf", 4);
  p.display.ShapeToPicture = 0;
  p.display.Opacity = 255;
  p.display.FaceWidth = 130;
  p.display.FaceHeight = 110;
  p.display.LedLeft = 140;
  p.face = dctest::ReadBytes(movie);
  clockpack::PreviewOptions preview;
  preview.frame = 13;
  const clockpack::PreviewImage im = clockpack::RenderPreview(p.Bytes(), preview);

  const std::filesystem::path png =
      std::filesystem::temp_directory_path() / ("preview_play_capture_" + std::to_string(::getpid()) + ".png");
  clockpack::PlayOptions play;
  play.movie = movie;
  play.frames = 13;
  play.clock = clockpack::ParseClock("2026-12-09T10:08:30+0000");
  play.width = 130;
  play.height = 110;
  play.captures = {{13, png}};
  std::ostringstream out, err;
  clockpack::PlayMovie(play, out, err);
  // The key colour is one the movie does not use: no pixel becomes it.
  const clockpack::Picture captured = clockpack::FacePictureFromBytes(dctest::ReadBytes(png), 0x00010203);
  std::filesystem::remove(png);
  ASSERT_EQ(captured.width, 130);
  ASSERT_EQ(captured.height, 110);
  const std::size_t row = (130 * 3 + 3) / 4 * 4, pixels = captured.bmp.size() - 110 * row;  // bottom-up BGR rows
  int differ = 0;
  for (int y = 0; y < 110; ++y)
    for (int x = 0; x < 130; ++x) {
      const std::uint8_t* c = captured.bmp.data() + pixels + (109 - y) * row + x * 3;
      const Px shown = At(im, x, y);
      if (shown.r != c[2] || shown.g != c[1] || shown.b != c[0]) ++differ;
    }
  EXPECT_EQ(differ, 0);
}

}  // namespace
