// clockpack: manifests to exact package bytes, PNG to BMP pixels, inspect
// and attach, and the errors a designer sees.
#include <gtest/gtest.h>

#include <cstring>

#include "base/fixed_text.h"
#include "describe.h"
#include "manifest.h"
#include "package/clock_package.h"
#include "package/package_records.h"
#include "picture.h"
#include "test_support.h"

using nlohmann::json;
using dctest::Bytes;
using dctest::TempDir;

namespace {

json MinimalManifest() {
  return json::parse(R"({
    "clock": {"name": "Mini"},
    "face": {"picture": "face.bmp"},
    "led": {},
    "alert": {}
  })");
}

// A 2 x 2 24-bit BMP: rows bottom-up, each padded to 8 bytes.
Bytes TinyBmp() {
  Bytes b = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0};
  b.resize(54, 0);
  Bytes rows = {0, 0, 255, 0, 255, 0, 0, 0,   // bottom: red, green
                255, 0, 0, 255, 255, 255, 0, 0};  // top: blue, white
  b.insert(b.end(), rows.begin(), rows.end());
  return b;
}

template <class T>
T RecordAt(const Bytes& b, std::size_t offset) {
  T r;
  std::memcpy(&r, b.data() + offset, sizeof r);
  return r;
}

std::string ErrorOf(const json& manifest, const TempDir& dir) {
  try {
    clockpack::BuildPackage(manifest, dir.path());
  } catch (const clockpack::ToolError& e) {
    return e.what();
  }
  return "(no error)";
}

}  // namespace

TEST(Clockpack, MinimalManifestGivesDefaultsAndTheBmpAsItIs) {
  TempDir dir;
  dctest::WriteBytes(dir / "face.bmp", TinyBmp());
  Bytes pkg = clockpack::BuildPackage(MinimalManifest(), dir.path());
  ASSERT_EQ(pkg.size(), 694 + TinyBmp().size());
  EXPECT_EQ(Bytes(pkg.begin(), pkg.begin() + 5), (Bytes{'K', 'V', 'X', 0, 0}));
  auto h = RecordAt<dc::PackageHeader>(pkg, 0);
  auto d = RecordAt<dc::DisplaySettings>(pkg, 230);
  auto a = RecordAt<dc::PopupSettings>(pkg, 298);
  EXPECT_EQ(dc::ReadFixedText(h.ClockName), "Mini");
  EXPECT_EQ(dc::ReadFixedText(d.FaceType), ".bmp");
  EXPECT_EQ(+d.FaceLength, TinyBmp().size());
  EXPECT_EQ(+d.FaceWidth, 2);
  EXPECT_EQ(+d.FaceHeight, 2);
  EXPECT_EQ(+d.Opacity, 255);
  EXPECT_EQ(+d.LedLightColor, 0x0000FFF7u) << "the default lit colour is yellow: red 247, green 255";
  EXPECT_EQ(+a.Style, 0);
  EXPECT_EQ(+a.Timed, 0);
  EXPECT_EQ(+a.Position, 3);
  EXPECT_EQ(+a.Width, 329);
  EXPECT_EQ(+a.SoundLength, 0u);
  EXPECT_EQ(+a.Font.Size, 8);
  EXPECT_EQ(+a.Font.Height, -11);
  EXPECT_EQ(Bytes(pkg.begin() + 694, pkg.end()), TinyBmp());
  // Reserved and padding bytes are zero.
  EXPECT_EQ(+h.Reserved, 0);
  EXPECT_EQ(d.Reserved0[0] | d.Pad14[0] | d.Reserved45, 0);
}

TEST(Clockpack, EveryFieldLandsAtItsOffset) {
  TempDir dir;
  dctest::WriteBytes(dir / "face.bmp", TinyBmp());
  dctest::WriteBytes(dir / "bell.wav", Bytes{'R', 'I', 'F', 'F', 7});
  json m = json::parse(R"({
    "clock": {"name": "Full", "author": "A. Maker", "email": "a@b.c", "website": "http://w"},
    "face": {"picture": "face.bmp", "left": 3, "top": 4, "width": 5, "height": 6,
             "keyColor": "#102030", "shape": true, "opacity": 120},
    "led": {"left": 7, "top": 8, "hidden": true, "background": "#010203", "lit": 2147483663,
            "thick": 9, "wordWidth": 10, "wordHeight": 11, "space": 12, "offsetX": 13, "offsetY": 14},
    "alert": {"style": "center-grow", "captionFrom": "#FF0000", "captionTo": "#00FF00",
              "windowFrom": "#0000FF", "windowTo": "#ABCDEF",
              "font": {"name": "Arial", "size": 12, "height": 99, "color": "#112233", "charset": 238,
                       "pitch": "fixed", "bold": true, "strikeOut": true},
              "headerFont": {"name": "Verdana", "italic": true, "underline": true},
              "displaySeconds": 15, "position": "custom", "left": -20, "top": 30, "width": 300, "height": 80},
    "sound": {"file": "bell.wav", "name": "ring.wav"}
  })");
  Bytes pkg = clockpack::BuildPackage(m, dir.path());
  auto h = RecordAt<dc::PackageHeader>(pkg, 0);
  auto d = RecordAt<dc::DisplaySettings>(pkg, 230);
  auto a = RecordAt<dc::PopupSettings>(pkg, 298);
  EXPECT_EQ(dc::ReadFixedText(h.Author), "A. Maker");
  EXPECT_EQ(dc::ReadFixedText(h.Email), "a@b.c");
  EXPECT_EQ(dc::ReadFixedText(h.Website), "http://w");
  EXPECT_EQ(+d.KeyColor, 0x00302010u);
  EXPECT_EQ((std::vector<int>{d.FaceLeft, d.FaceTop, d.FaceWidth, d.FaceHeight, d.LedLeft, d.LedTop}),
            (std::vector<int>{3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(+d.Opacity, 120);
  EXPECT_EQ(+d.HideLed, 1);
  EXPECT_EQ(+d.ShapeToPicture, 1);
  EXPECT_EQ(+d.LedBackColor, 0x00030201u);
  EXPECT_EQ(+d.LedLightColor, 0x8000000Fu);
  EXPECT_EQ((std::vector<int>{d.Thickness, d.CellWidth, d.CellHeight, d.Gap, d.MarginX, d.MarginY}),
            (std::vector<int>{9, 10, 11, 12, 13, 14}));
  EXPECT_EQ(+a.Style, 1);
  EXPECT_EQ(+a.CaptionFrom, 0x000000FFu);
  EXPECT_EQ(+a.CaptionTo, 0x0000FF00u);
  EXPECT_EQ(+a.WindowFrom, 0x00FF0000u);
  EXPECT_EQ(+a.WindowTo, 0x00EFCDABu);
  EXPECT_EQ(dc::ReadFixedText(a.Font.Name), "Arial");
  EXPECT_EQ(+a.Font.Size, 12);
  EXPECT_EQ(+a.Font.Height, 99);
  EXPECT_EQ(+a.Font.Color, 0x00332211u);
  EXPECT_EQ(+a.Font.Charset, 238);
  EXPECT_EQ(+a.Font.Pitch, 2);
  EXPECT_EQ(+a.Font.Style, 1 | 8);
  EXPECT_EQ(+a.HeaderFont.Style, 2 | 4);
  EXPECT_EQ(+a.Timed, 1);
  EXPECT_EQ(+a.DisplaySeconds, 15);
  EXPECT_EQ(+a.Position, 4);
  EXPECT_EQ(+a.Left, -20);
  EXPECT_EQ(+a.Top, 30);
  EXPECT_EQ(+a.Width, 300);
  EXPECT_EQ(+a.Height, 80);
  EXPECT_EQ(dc::ReadFixedText(a.SoundName), "ring.wav");
  EXPECT_EQ(+a.SoundLength, 5u);
  EXPECT_EQ(Bytes(pkg.end() - 5, pkg.end()), (Bytes{'R', 'I', 'F', 'F', 7}));

  // What clockpack writes, the player reads back the same.
  dctest::WriteBytes(dir / "full.kvx", pkg);
  dc::ClockPackage db;
  db.Load(dir / "full.kvx");
  EXPECT_EQ(dc::FindPackageDamage(db), "");
  EXPECT_EQ(db.SoundData(), (Bytes{'R', 'I', 'F', 'F', 7}));
}

TEST(Clockpack, PngBecomesABottomUpPaddedBmpWithTransparencyAsKeyColour) {
  // 3 x 2 pixels, top row: red, half-transparent green (128 of 255 over a
  // black matte: green 128), transparent; bottom row: blue, white, black.
  const std::uint8_t rgba[] = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 0, 0,
                               0, 0, 255, 255, 255, 255, 255, 255, 0, 0, 0, 255};
  Bytes bmp = clockpack::EncodeBmp24(rgba, 3, 2, 0x00FF00FF, 0x00000000);
  ASSERT_EQ(bmp.size(), 54u + 2 * 12);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[10], 54);
  EXPECT_EQ(bmp[28], 24);
  const Bytes pixels(bmp.begin() + 54, bmp.end());
  const Bytes expected = {
      255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0, 0,    // bottom row first (B, G, R), 3 bytes padding
      0, 0, 255, 0, 128, 0, 255, 0, 255, 0, 0, 0,    // top row: red, green, key colour
  };
  EXPECT_EQ(pixels, expected);
}

TEST(Clockpack, BadManifestsSayWhatIsWrong) {
  TempDir dir;
  dctest::WriteBytes(dir / "face.bmp", TinyBmp());
  dctest::WriteBytes(dir / "bad.png", Bytes{1, 2, 3});
  struct Case {
    const char* change;  // a JSON merge patch
    const char* error;
  } cases[] = {
      {R"({"clock": {"name": ""}})", "clock.name: must not be empty"},
      {R"({"clock": {"name": "x", "colour": 1}})", "clock.colour: unknown field"},
      {R"({"clock": {"name": "0123456789012345678901234567890123456789012345678901234567890123X"}})",
       "65 bytes, at most 64"},
      {R"({"clock": {"name": "\u4e2d"}})", "ANSI code page"},
      {R"({"face": {"picture": "missing.bmp"}})", "cannot read"},
      {R"({"face": {"picture": "bad.png"}})", "face pictures are PNG or BMP files"},
      {R"({"face": {"picture": "face.bmp", "movie": "m.swf"}})", "exactly one"},
      {R"({"face": {"picture": "face.bmp", "opacity": 256}})", "face.opacity: 256 is outside 0 to 255"},
      {R"({"led": {"thick": "3"}})", "led.thick: must be a whole number"},
      {R"({"led": {"lit": "yellow"}})", "led.lit: a colour is"},
      {R"({"alert": {"position": "middle"}})", "\"middle\" is none of"},
      {R"({"sound": {"file": "face.bmp", "name": "..\\evil.wav"}})", "sound.name"},
      {R"({"sound": {"file": "face.bmp", "name": "Alarm.sav"}})", "own file"},
      {R"({"led": null})", "led: missing"},
  };
  for (const Case& c : cases) {
    json m = MinimalManifest();
    m.merge_patch(json::parse(c.change));
    std::string err = ErrorOf(m, dir);
    EXPECT_NE(err.find(c.error), std::string::npos) << c.change << " -> " << err;
  }
}

TEST(Clockpack, InspectShowsEveryFieldAndRefusesWhatIsNoPackage) {
  TempDir dir;
  dctest::WriteBytes(dir / "face.bmp", TinyBmp());
  json m = MinimalManifest();
  m["clock"]["author"] = "Zo\xc3\xab";  // UTF-8 in the manifest, Windows-1252 in the package
  Bytes pkg = clockpack::BuildPackage(m, dir.path());
  EXPECT_EQ(pkg[69 + 2], 0xEB);
  auto j = clockpack::DescribePackage(pkg);
  EXPECT_EQ(j["clock"]["author"], "Zo\xc3\xab");
  EXPECT_EQ(j["led"]["lit"], "#F7FF00");
  EXPECT_EQ(j["face"]["bytes"], TinyBmp().size());
  std::string text = clockpack::FormatDescription(j);
  EXPECT_NE(text.find("clock.name: Mini\n"), std::string::npos) << text;
  EXPECT_NE(text.find("alert.headerFont.size: 8\n"), std::string::npos) << text;
  EXPECT_NE(text.find("alert.position: bottom-right\n"), std::string::npos) << text;

  Bytes cut(pkg.begin(), pkg.end() - 1);
  EXPECT_THROW(clockpack::DescribePackage(cut), clockpack::ToolError);
  pkg[0] = 'X';
  EXPECT_THROW(clockpack::DescribePackage(pkg), clockpack::ToolError);
}

TEST(Clockpack, AttachAppendsTheTrailerToACopy) {
  TempDir dir;
  Bytes player = {'M', 'Z', 1, 2, 3};
  dctest::WriteBytes(dir / "player.exe", player);
  clockpack::AttachPackage(dir / "player.exe", dir / "sub" / "my.kvx", dir / "clock.exe");
  Bytes out = dctest::ReadBytes(dir / "clock.exe");
  ASSERT_EQ(out.size(), player.size() + 64);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 5), player);
  Bytes expectTrailer(64, 0);
  std::memcpy(expectTrailer.data() + 32, "my.kvx", 6);
  EXPECT_EQ(Bytes(out.begin() + 5, out.end()), expectTrailer);
  EXPECT_EQ(dctest::ReadBytes(dir / "player.exe"), player);

  EXPECT_THROW(clockpack::AttachPackage(dir / "player.exe", dir / (std::string(33, 'n')), dir / "c2.exe"),
               clockpack::ToolError);
  dctest::WriteBytes(dir / "notes.txt", Bytes{'h', 'i'});
  EXPECT_THROW(clockpack::AttachPackage(dir / "notes.txt", dir / "my.kvx", dir / "c3.exe"), clockpack::ToolError);
}
