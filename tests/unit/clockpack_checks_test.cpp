// clockpack's warnings, each shown by the mistake and silent without it;
// what inspect says the player will use; the messages that name the field,
// the reason and the nearest right name; transparent faces with clean edges.
#include <gtest/gtest.h>

#include <cmath>

#include "base/file_io.h"
#include "base/fixed_text.h"
#include "describe.h"
#include "manifest.h"
#include "package/clock_package.h"
#include "package/package_records.h"
#include "picture_builder.h"
#include "test_support.h"

using dctest::Bytes;
using dctest::Rgba;
using nlohmann::json;

namespace {

constexpr Rgba kWood{150, 100, 50, 255}, kKey{255, 0, 255, 255};

// A folder of faces and sounds for the cases below.
struct DesignFolder {
  dctest::TempDir dir;
  DesignFolder() {
    auto write = [&](const char* name, const Bytes& b) { dctest::WriteBytes(dir / name, b); };
    write("plain.png", dctest::RgbaPng(200, 100, [](auto, auto) { return kWood; }));
    write("allkey.png", dctest::RgbaPng(100, 100, [](auto, auto) { return kKey; }));
    // 17 x 17 of 100 x 100 are wood: 97.1% key; 32 x 32: 89.8%.
    write("mostlykey.png", dctest::RgbaPng(100, 100, [](auto x, auto y) { return x < 17 && y < 17 ? kWood : kKey; }));
    write("muchkey.png", dctest::RgbaPng(100, 100, [](auto x, auto y) { return x < 32 && y < 32 ? kWood : kKey; }));
    // A round face drawn onto the key colour, smoothed and hard-edged.
    write("smooth.png", dctest::RgbaPng(100, 100, [](auto x, auto y) {
            const int a = dctest::DiscCover(x, y, 50, 50, 45);
            auto mix = [&](int face, int key) { return static_cast<std::uint8_t>((face * a + key * (255 - a)) / 255); };
            return Rgba{mix(kWood.r, 255), mix(kWood.g, 0), mix(kWood.b, 255), 255};
          }));
    write("hard.png", dctest::RgbaPng(100, 100, [](auto x, auto y) {
            return dctest::DiscCover(x, y, 50, 50, 45) >= 128 ? kWood : kKey;
          }));
    // Large faces of one colour, as palette pictures: quick to write.
    const Bytes wood = {kWood.r, kWood.g, kWood.b};
    write("over4mp.png", dctest::Png(2001, 2000, 3, 8, std::vector<Bytes>(2000, Bytes(2001, 0)), wood));
    write("4mp.png", dctest::Png(2000, 2000, 3, 8, std::vector<Bytes>(2000, Bytes(2000, 0)), wood));
    write("chime.wav", dctest::Wav(1, 1, 16, 1000));
    write("huge.wav", dctest::Wav(1, 2, 16, (16u << 20) + 2));
    write("adpcm.wav", dctest::Wav(17, 1, 4, 1000));
    Bytes mp3 = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 0};
    mp3.resize(500, 0);
    write("song.wav", mp3);
  }
};

// A clock no check complains about.
json CleanManifest() {
  return json::parse(R"({
    "clock": {"name": "Clean", "website": "https://example.com/"},
    "face": {"picture": "plain.png", "keyColor": "#FF00FF", "shape": true},
    "led": {"left": 10, "top": 10, "thick": 2, "wordWidth": 11, "wordHeight": 17, "space": 2},
    "alert": {"position": "top-right"}
  })");
}

std::vector<std::string> WarningsOf(const json& m, const dctest::TempDir& dir) {
  return clockpack::BuildClock(m, dir.path()).warnings;
}

}  // namespace

TEST(ClockpackWarnings, EachMistakeIsNamedAndItsAbsenceIsSilent) {
  DesignFolder folder;
  ASSERT_EQ(WarningsOf(CleanManifest(), folder.dir), std::vector<std::string>{});
  struct Case {
    const char* change;    // a JSON merge patch on the clean manifest
    const char* field;     // the warning's first words
    const char* expected;  // part of its text; nullptr: no warning of that field
  } cases[] = {
      // 11 cells of 17 and 10 gaps of 4 from x = 10: to 237, past the face's 200.
      {R"({"led": {"thick": 3, "wordWidth": 17, "wordHeight": 29, "space": 4}})", "led.left, led.top:",
       "cover 10,10 to 237,39 of the window, outside the face at 0,0 to 200,100; the window grows to 237 x 100"},
      {R"({"led": {"left": 59}})", "led.left, led.top:", nullptr},  // to 200: the face's edge
      {R"({"led": {"left": 60}})", "led.left, led.top:", "cover 60,10 to 201,27 of the window, outside the face"},
      {R"({"led": {"left": 500, "hidden": true}})", "led.left, led.top:", nullptr},
      {R"({"led": {"thick": 8, "wordWidth": 17, "wordHeight": 29, "left": 0}})", "led.thick:",
       "8 does not fit cells of 17 x 29 (2 x thick must be less than the width, 4 x thick at most the height); "
       "the player ignores it and draws thickness 3. Give a thick of at most 7"},
      {R"({"led": {"thick": 7, "wordWidth": 17, "wordHeight": 29, "left": 0}})", "led.thick:", nullptr},
      {R"({"led": {"wordHeight": 18}})", "led.wordHeight:", "18 is even; the player raises it to 19"},
      {R"({"led": {"wordHeight": 10, "thick": 2}})", "led.wordHeight:", "the player ignores it and uses 29"},
      {R"({"led": {"wordWidth": 6}})", "led.wordWidth:", "6 is not more than 2 x the thickness 3"},
      {R"({"led": {"wordWidth": 7, "thick": 2}})", "led.wordWidth:", nullptr},
      {R"({"face": {"picture": "allkey.png"}})", "face.keyColor:", "every pixel of the face is the key colour #FF00FF"},
      {R"({"face": {"picture": "allkey.png", "shape": false}})", "face.keyColor:", nullptr},
      {R"({"face": {"picture": "mostlykey.png"}})", "face.keyColor:", "97.1% of the face is the key colour #FF00FF"},
      {R"({"face": {"picture": "muchkey.png"}})", "face.keyColor:", nullptr},
      {R"({"face": {"picture": "smooth.png"}})", "face.picture:", "along the face's outline are blends of the key"},
      {R"({"face": {"picture": "hard.png"}})", "face.picture:", nullptr},
      {R"({"face": {"picture": "over4mp.png"}})", "face.picture:", "2001 x 2000 pixels (4.0 megapixels)"},
      {R"({"face": {"picture": "4mp.png"}})", "face.picture:", nullptr},
      {R"({"sound": {"file": "huge.wav"}})", "the package is", "the package is 16 MB"},
      {R"({"sound": {"file": "chime.wav"}})", "the package is", nullptr},
      {R"({"sound": {"file": "song.wav"}})", "sound.file:", "it is an MP3 file, not a RIFF/WAVE file"},
      {R"({"sound": {"file": "adpcm.wav"}})", "sound.file:", "its samples are in format 17, not PCM"},
      {R"({"sound": {"file": "chime.wav"}})", "sound.file:", nullptr},
      {R"({"sound": {"file": "chime.wav", "name": "ring.mp3"}})", "sound.name:", "writes the sound out as \"ring.mp3\""},
      {R"({"sound": {"file": "chime.wav", "name": "RING.WAV"}})", "sound.name:", nullptr},
      {R"({"clock": {"website": "example.com"}})", "clock.website:", "\"example.com\" is no http, https or mailto"},
      {R"({"clock": {"website": "www.example.com"}})", "clock.website:", "opens it as \"http://www.example.com\""},
      {R"({"clock": {"website": "mailto:shop@example.com"}})", "clock.website:", nullptr},
      {R"({"clock": {"website": "HTTP://example.com"}})", "clock.website:", nullptr},
      {R"({"alert": {"position": null}})", "alert.position:", "\"bottom-right\""},
      {R"({"alert": {"position": "bottom-left"}})", "alert.position:", nullptr},
  };
  for (const Case& c : cases) {
    json m = CleanManifest();
    m.merge_patch(json::parse(c.change));
    const std::vector<std::string> warnings = WarningsOf(m, folder.dir);
    std::string all, found;
    for (const std::string& w : warnings) {
      all += "\n  " + w;
      if (w.rfind(c.field, 0) == 0) found = w;
    }
    if (c.expected) {
      EXPECT_NE(found.find(c.expected), std::string::npos) << c.change << ": expected " << c.expected << ", got" << all;
    } else {
      EXPECT_EQ(found, "") << c.change << ": expected no " << c.field << " warning";
    }
  }
}

TEST(ClockpackWarnings, InspectShowsWhatThePlayerUsesAndTheDigitBlocks) {
  DesignFolder folder;
  json m = CleanManifest();
  m["led"] = json::parse(R"({"thick": 8, "wordWidth": 17, "wordHeight": 28, "space": 4, "offsetX": 2})");
  const std::string text = clockpack::FormatDescription(clockpack::DescribePackage(clockpack::BuildPackage(m, folder.dir.path())));
  // Height 29 after raising; blocks of n cells: 17n + 4(n - 1) + 2 x 2.
  for (const char* line : {"led.thick: 8 (the player uses 3)\n", "led.wordWidth: 17\n",
                           "led.wordHeight: 28 (the player uses 29)\n", "led.digitBlock.8 cells: 168 x 29\n",
                           "led.digitBlock.10 cells: 210 x 29\n", "led.digitBlock.11 cells: 231 x 29\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << "expected " << line << "in\n" << text;
  }
}

TEST(ClockpackMessages, NameTheFieldTheReasonAndTheNearestName) {
  DesignFolder folder;
  struct Case {
    const char* change;
    std::string error;
  } cases[] = {
      {R"({"face": {"keyColour": "#00FF00"}})", "face.keyColour: unknown field; did you mean \"keyColor\"?"},
      {R"({"led": {"wordwidth": 11}})", "led.wordwidth: unknown field; did you mean \"wordWidth\"?"},
      {R"({"led": {"colour": 1}})", "led.colour: unknown field"},
      {R"({"face": {"picture": "palin.png"}})",
       "face.picture: cannot read \"" + dc::PathToUtf8(folder.dir / "palin.png") +
           "\": there is no such file; did you mean \"plain.png\"?"},
      {R"({"sound": {"file": "chmie.wav"}})",
       "sound.file: cannot read \"" + dc::PathToUtf8(folder.dir / "chmie.wav") +
           "\": there is no such file; did you mean \"chime.wav\"?"},
      {R"({"clock": {"name": "Kl\u00f6ck \u4e2d"}})",
       "clock.name: \"Kl\xc3\xb6" "ck \xe4\xb8\xad\" has a character the ANSI code page cannot hold: \"\xe4\xb8\xad\" (U+4E2D)"},
      {R"({"clock": {"version": "1.2.3.4.5"}})", "clock.version: \"1.2.3.4.5\" is no version"},
      {R"({"clock": {"version": "1.70000"}})", "clock.version: \"1.70000\" is no version"},
  };
  for (const Case& c : cases) {
    json m = CleanManifest();
    m.merge_patch(json::parse(c.change));
    const std::string error = dctest::ErrorOf([&] { clockpack::BuildClock(m, folder.dir.path()); });
    EXPECT_EQ(error.substr(0, c.error.size()), c.error) << c.change;
  }
  // A file larger than any package is refused before it is read (sparse:
  // nothing is written).
  dctest::WriteBytes(folder.dir / "huge.png", {});
  dctest::GrowFile(folder.dir / "huge.png", dc::ClockPackage::kMaxBytes + 1);
  json huge = CleanManifest();
  huge["face"]["picture"] = "huge.png";
  EXPECT_EQ(dctest::ErrorOf([&] { clockpack::BuildClock(huge, folder.dir.path()); }),
            "face.picture: cannot read \"" + dc::PathToUtf8(folder.dir / "huge.png") +
                "\": it is 268435457 bytes, more than a clock package may hold (268435456)");
  json versioned = CleanManifest();
  versioned["clock"]["version"] = "2.10.3";
  EXPECT_EQ(clockpack::BuildClock(versioned, folder.dir.path()).version, "2.10.3");
}

TEST(TransparentFaces, ARoundSmoothFaceLeavesNoKeyTintWithinTwoPixelsOfItsOutline) {
  // A wooden disc whose edge is anti-aliased into transparency, on a dark
  // blue plate (the matte, taken from the digits' background).
  dctest::TempDir dir;
  dctest::WriteBytes(dir / "round.png", dctest::RgbaPng(120, 120, [](auto x, auto y) {
                       return Rgba{kWood.r, kWood.g, kWood.b, dctest::DiscCover(x, y, 60, 60, 52)};
                     }));
  json m = CleanManifest();
  m["face"] = {{"picture", "round.png"}};  // no key colour, no shape: the transparency says both
  m["led"]["background"] = "#283246";
  m["led"]["hidden"] = true;
  const clockpack::BuiltClock clock = clockpack::BuildClock(m, dir.path());
  for (const std::string& w : clock.warnings) ADD_FAILURE() << w;
  dc::DisplaySettings d;
  std::memcpy(&d, clock.package.data() + dc::kDisplayOffset, sizeof d);
  EXPECT_EQ(+d.ShapeToPicture, 1);
  EXPECT_EQ(+d.KeyColor, 0x00FF00FFu);
  // The face's pixels, rows bottom-up in its 24-bit BMP.
  const std::uint8_t* bmp = clock.package.data() + dc::kPayloadOffset;
  const int w = 120, h = 120, stride = 360;
  auto at = [&](int x, int y) {
    const std::uint8_t* p = bmp + 54 + stride * (h - 1 - y) + 3 * x;
    return std::array<int, 3>{p[2], p[1], p[0]};
  };
  auto isKey = [&](int x, int y) { return at(x, y) == std::array<int, 3>{255, 0, 255}; };
  EXPECT_TRUE(isKey(0, 0) && isKey(119, 119)) << "the corners are outside the shape";
  EXPECT_EQ(at(60, 60), (std::array<int, 3>{150, 100, 50})) << "the middle is the wood";
  int tinted = 0, checked = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (isKey(x, y)) continue;
      bool byOutline = false;
      for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
          byOutline |= x + dx >= 0 && y + dy >= 0 && x + dx < w && y + dy < h && isKey(x + dx, y + dy);
      if (!byOutline) continue;
      ++checked;
      const auto c = at(x, y);
      const double dist = std::hypot(c[0] - 255.0, c[1] - 0.0, c[2] - 255.0);
      if (dist < 40) {
        ++tinted;
        ADD_FAILURE() << "pixel " << x << "," << y << " is " << c[0] << "," << c[1] << "," << c[2] << ", " << dist
                      << " from the key colour";
      }
    }
  }
  EXPECT_GT(checked, 300) << "the outline was found";
  EXPECT_EQ(tinted, 0);
  // The soft edge stays soft: each partly covered pixel is the wood over
  // the matte #283246 in its coverage.
  int soft = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int a = dctest::DiscCover(x, y, 60, 60, 52);
      if (a == 0 || a == 255) continue;
      ++soft;
      auto blend = [&](int face, int matte) { return (face * a + matte * (255 - a) + 127) / 255; };
      const std::array<int, 3> expected = {blend(150, 0x28), blend(100, 0x32), blend(50, 0x46)};
      EXPECT_EQ(at(x, y), expected) << "pixel " << x << "," << y << ", coverage " << a;
    }
  }
  EXPECT_GE(soft, 200) << "the edge has partly covered pixels";
}
