// Inputs as an attacker or a crash makes them: every reproducer the fuzzers
// and the review found, with the refusal it must now meet. Packages and
// face pictures people download, Alarm.sav cut short, manifests and
// pictures a designer got from somewhere.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/package_startup.h"
#include "app/popup_style.h"
#include "base/file_io.h"
#include "manifest.h"
#include "package/clock_package.h"
#include "package/face_bitmap.h"
#include "package_builder.h"
#include "picture_builder.h"
#include "picture.h"
#include "test_support.h"

using dctest::Bytes;
using dctest::TempDir;

namespace {

// A BMP's headers with the given values and `pixelBytes` bytes of pixels
// (the colour table, when there is one, lies between the headers and them).
struct Bmp {
  std::uint32_t headerSize = 40;
  std::int32_t width = 2, height = 2;
  std::uint16_t planes = 1, bits = 24;
  std::uint32_t compression = 0, coloursUsed = 0;
  std::uint32_t tableBytes = 0;   // written between the header and the pixels
  std::size_t pixelBytes = 16;
  std::int64_t pixelOffset = -1;  // -1: right after the table
  Bytes Build() const {
    const std::size_t offset = pixelOffset >= 0 ? static_cast<std::size_t>(pixelOffset) : 14 + headerSize + tableBytes;
    Bytes b(std::max<std::size_t>(offset, 14 + 40) + pixelBytes, 0);
    auto put = [&](std::size_t at, std::uint64_t v, int n) {
      for (int i = 0; i < n; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, b.size(), 4);
    put(10, offset, 4);
    put(14, headerSize, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, planes, 2);
    put(28, bits, 2);
    put(30, compression, 4);
    put(46, coloursUsed, 4);
    return b;
  }
};

}  // namespace

TEST(HostileInput, FaceBitmapHeadersAreCheckedAgainstTheirBytes) {
  struct Case {
    const char* what;
    Bmp bmp;
    const char* refusal;  // empty: accepted
  } cases[] = {
      {"24 bits, bottom-up", {}, ""},
      {"24 bits, top-down", {.height = -2}, ""},
      {"1 bit, a full table", {.bits = 1, .tableBytes = 8, .pixelBytes = 8}, ""},
      {"4 bits, 3 colours used", {.bits = 4, .coloursUsed = 3, .tableBytes = 12, .pixelBytes = 8}, ""},
      {"8 bits, a full table", {.bits = 8, .tableBytes = 1024, .pixelBytes = 8}, ""},
      {"16 bits, bit fields with their masks", {.bits = 16, .compression = 3, .tableBytes = 12, .pixelBytes = 8}, ""},
      {"32 bits, a 124-byte header", {.headerSize = 124, .bits = 32, .pixelBytes = 16}, ""},
      {"no pixels at all", {.pixelBytes = 0}, "its pixels are cut short"},
      {"the last row cut", {.pixelBytes = 15}, "its pixels are cut short"},
      {"a core header", {.headerSize = 12}, "header size 12"},
      {"a header larger than the file", {.headerSize = 124, .pixelBytes = 0, .pixelOffset = 60}, "cut short"},
      {"width 0", {.width = 0}, "1 to 16384 pixels"},
      {"height 0", {.height = 0}, "1 to 16384 pixels"},
      {"height INT32_MIN", {.height = INT32_MIN}, "1 to 16384 pixels"},
      {"width 100000", {.width = 100000}, "1 to 16384 pixels"},
      {"two planes", {.planes = 2}, "2 planes"},
      {"3 bits", {.bits = 3}, "3 bits a pixel"},
      {"run-length compressed", {.bits = 8, .compression = 1, .tableBytes = 1024}, "compressed"},
      {"PNG inside", {.compression = 5}, "compressed"},
      {"bit fields at 24 bits", {.compression = 3, .tableBytes = 12}, "compressed"},
      {"bit fields without masks", {.bits = 32, .compression = 3, .pixelBytes = 16, .pixelOffset = 54}, "pixels do not lie after"},
      {"colour table past the end", {.bits = 8, .tableBytes = 0, .pixelBytes = 8}, "colour table is cut short"},
      {"more colours than 8 bits hold", {.bits = 8, .coloursUsed = 257, .tableBytes = 1028, .pixelBytes = 8}, "too large"},
      {"two billion colours", {.bits = 8, .coloursUsed = 0x80000000u, .pixelBytes = 8}, "too large"},
      {"pixels inside the headers", {.pixelOffset = 20}, "pixels do not lie after"},
  };
  for (const Case& c : cases) {
    const Bytes b = c.bmp.Build();
    dc::FaceBitmapLayout layout;
    const std::string why = dc::CheckFaceBitmap(b, &layout);
    if (*c.refusal) {
      EXPECT_NE(why.find(c.refusal), std::string::npos) << c.what << ": " << (why.empty() ? "accepted" : why);
    } else {
      EXPECT_EQ(why, "") << c.what;
      EXPECT_EQ(layout.height, 2) << c.what;
      EXPECT_EQ(layout.topDown, c.bmp.height < 0) << c.what;
      EXPECT_LE(layout.pixelOffset + layout.pixelBytes, b.size()) << c.what;
    }
  }
  EXPECT_EQ(dc::CheckFaceBitmap(Bytes{'B', 'M'}), "it is too short for a bitmap");
  Bytes pastTheEnd = Bmp{}.Build();
  pastTheEnd[12] = 0x0F;  // the pixels said to begin at 983094
  EXPECT_EQ(dc::CheckFaceBitmap(pastTheEnd), "its pixels do not lie after its headers");
  Bytes notBmp = Bmp{}.Build();
  notBmp[0] = 'X';
  EXPECT_EQ(dc::CheckFaceBitmap(notBmp), "it is no BMP picture");
}

TEST(HostileInput, APackageWithADamagedFaceIsRefusedAsDamaged) {
  TempDir dir;
  dctest::PackageParts p = dctest::DemoParts();
  p.face = Bmp{.bits = 8, .coloursUsed = 0x80000000u, .pixelBytes = 8}.Build();
  dctest::WriteBytes(dir / "clock.kvx", p.Bytes());
  const dc::PackageStart s = dc::StartPackage(dctest::MakePlayer(dir.path(), "clock.kvx"), true, dctest::WritableFolder());
  EXPECT_EQ(s.outcome, dc::PackageStart::Outcome::Damaged);
  EXPECT_NE(s.message.find("is damaged: its face picture cannot be shown: its colour table"), std::string::npos)
      << s.message;
  // A Flash face is no bitmap: its bytes are not checked as one.
  std::memcpy(p.display.FaceType, ".SWF", 4);
  dctest::WriteBytes(dir / "clock.kvx", p.Bytes());
  EXPECT_EQ(dc::StartPackage(dctest::MakePlayer(dir.path(), "clock.kvx"), true, dctest::WritableFolder()).outcome,
            dc::PackageStart::Outcome::Ready);
}

TEST(HostileInput, FontSizesAtTheEndsOfTheirRangeGiveScreenSizedFonts) {
  // Found by the package fuzzer: a size of INT32_MIN overflowed on its way
  // to a height.
  dctest::PackageParts p = dctest::DemoParts();
  p.alert.Font.Size = INT32_MIN;
  p.alert.HeaderFont.Size = INT32_MAX;
  dc::ClockPackage package;
  package.LoadFromBytes(p.Bytes());
  ASSERT_EQ(dc::FindPackageDamage(package), "");
  const dc::notify::PopupConfig config = dc::PopupConfigOf(package.Popup());
  EXPECT_EQ(config.font->height, 16384);
  EXPECT_EQ(config.headerFont->height, -16384);
  p.alert.Font.Size = 9;
  package.LoadFromBytes(p.Bytes());
  EXPECT_EQ(dc::PopupConfigOf(package.Popup()).font->height, -12) << "9 points at 96 dots per inch";
}

TEST(HostileInput, APackageAboveTheSizeLimitIsRefusedBeforeItIsRead) {
  TempDir dir;
  dctest::WriteBytes(dir / "huge.kvx", dctest::DemoParts().Bytes());
  dctest::GrowFile(dir / "huge.kvx", dc::ClockPackage::kMaxBytes + 1);
  dc::ClockPackage package;
  EXPECT_EQ(dctest::ErrorOf([&] { package.Load(dir / "huge.kvx"); }),
            "it is 268435457 bytes, more than a clock package may be (268435456)");
  EXPECT_FALSE(package.HasMagic()) << "nothing was read";
}

TEST(HostileInput, ManifestReproducersGetTheToolsOwnWords) {
  TempDir dir;
  // The smallest movie: the header (an empty stage, 12 frames a second, one
  // frame) and the End tag, 15 bytes.
  dctest::WriteBytes(dir / "face.swf", Bytes{'F', 'W', 'S', 6, 15, 0, 0, 0, 0, 0, 12, 1, 0, 0, 0});
  dctest::WriteBytes(dir / "cut.swf", Bytes{'F', 'W', 'S', 9});
  auto build = [&](std::string_view text) {
    return dctest::ErrorOf([&] { clockpack::BuildPackage(clockpack::ParseManifest(text), dir.path()); });
  };
  // An unknown field once made a destructor throw while the result was built.
  EXPECT_EQ(build(R"({"clock":{"name":"x"},"face":{"movie":"face.swf"},"led":{},"alert":{},"x":0})"),
            "manifest.x: unknown field");
  EXPECT_EQ(build("8e888"), "the manifest holds a number too large to be read");
  EXPECT_EQ(build("{\"clock\": \n  [1,"), "the manifest is no valid JSON: it cannot be read at line 2, column 6");
  EXPECT_EQ(build(R"({"clock":{"name":"x"},"face":{"movie":"face.swf"},"led":{"thick":1e999},"alert":{}})"),
            "the manifest holds a number too large to be read");
  EXPECT_EQ(build(R"({"clock":{"name":"x"},"face":{"movie":"face.swf"},"led":{"left":-1},"alert":{}})"),
            "led.left: -1 is outside 0 to 16384");
  EXPECT_EQ(build(R"({"clock":{"name":"x"},"face":{"movie":"cut.swf"},"led":{},"alert":{}})"),
            "face.movie: the clock cannot play this movie: the movie is cut off: it ends after 4 of the 13 bytes "
            "of its header.");
  // An empty file name names the manifest's own folder, which once ended the
  // tool with an uncaught stream exception.
  EXPECT_EQ(build(R"({"clock":{"name":"x"},"face":{"movie":""},"led":{},"alert":{}})"),
            "face.movie: cannot read \"" + dc::PathToUtf8(dir.path() / "") + "\": it is a folder, not a file");
}

TEST(HostileInput, PictureReproducersAreRefusedBeforeAnyDecoding) {
  auto refusal = [](const Bytes& b) {
    return dctest::ErrorOf([&] { clockpack::FacePictureFromBytes(b, 0x00FF00FF); });
  };
  const std::string notPngOrBmp = "face.picture: face pictures are PNG or BMP files";
  EXPECT_EQ(refusal(Bytes{'P', '5'}), notPngOrBmp) << "a 0 x 0 picture";
  EXPECT_EQ(refusal(Bytes{0x50, 0x35, 0x33, 0x20, 0x32, 0x0a, 0x32, 0x35, 0x39, 0x60}), notPngOrBmp)
      << "the PNM that read past its buffer";
  Bytes tga(18, 0);  // a TGA header declaring 8192 x 65531
  tga[2] = 2;
  tga[12] = 0x00, tga[13] = 0x20;
  tga[14] = 0xFB, tga[15] = 0xFF;
  tga[16] = 24;
  EXPECT_EQ(refusal(tga), notPngOrBmp);
  // A PNG declaring 20000 x 100 pixels: refused from its header, before a
  // pixel is decoded; and one declaring 8192 x 65531, which the decoder
  // itself refuses to take on.
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
               0,    0,   0x4E, 0x20, 0,  0,    0,    100,  8, 6, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(refusal(png), "face.picture: the picture is 20000 x 100 pixels; a face is 1 to 16384 pixels each way");
  Bytes tall = png;
  tall[18] = 0x20, tall[19] = 0x00, tall[22] = 0xFF, tall[23] = 0xFB;
  EXPECT_EQ(refusal(tall).rfind("face.picture: the picture cannot be read", 0), 0u) << refusal(tall);
  Bytes zero = png;
  zero[18] = 0, zero[19] = 0;  // width 0
  EXPECT_NE(refusal(zero).find("face.picture:"), std::string::npos);
  EXPECT_EQ(refusal(Bmp{.width = 0}.Build()).rfind("face.picture:", 0), 0u);
  // 16384 x 16384 is within the sides' range, but its BMP would not fit in
  // a package.
  Bytes square = png;
  square[18] = 0x40, square[19] = 0x00, square[22] = 0x40, square[23] = 0x00;
  EXPECT_EQ(refusal(square), "face.picture: the picture is 16384 x 16384 pixels, too many for a clock package of at "
                             "most 268435456 bytes");
}

TEST(HostileInput, ABmpShorterThanItsRowsIsRefusedBeforeItIsDecoded) {
  auto refusal = [](const Bytes& b) {
    return dctest::ErrorOf([&] { clockpack::FacePictureFromBytes(b, 0x00FF00FF); });
  };
  // 43 bytes declaring 4098 x 11019 pixels of 4 bits: the decoder took
  // seconds making 180 MB of nothing from them.
  const Bytes bomb = {0x42, 0x4d, 0xae, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0xfa, 0x60, 0x00, 0x00, 0x00, 0x28,
                      0x00, 0x00, 0x00, 0x02, 0x10, 0x00, 0x00, 0x0b, 0x2b, 0x00, 0x00, 0x01, 0x00, 0x04, 0x00,
                      0x00, 0x00, 0x00, 0x00, 0x00, 0x30, 0x10, 0xd9, 0x00, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(refusal(bomb), "face.picture: the picture cannot be read (the file is 43 bytes, too short for the "
                           "54 its header declares)");
  // The same header whole, with its rows missing.
  Bytes noRows = bomb;
  noRows.resize(54, 0);
  EXPECT_EQ(refusal(noRows), "face.picture: the picture cannot be read (the file is 54 bytes, too short for the "
                             "22611084 its header declares)");
  // 30 bytes whose 40-byte header is cut short, declaring 8451 x 8843
  // pixels: the decoder read the rest of the header as zeros.
  const Bytes cutHeader = {0x42, 0x4d, 0xae, 0x00, 0x00, 0x00, 0x00, 0x5e, 0x00, 0xfa, 0x9d, 0x01, 0x00, 0x00, 0x28,
                           0x00, 0x00, 0x00, 0x03, 0x21, 0x00, 0x00, 0x8b, 0x22, 0x00, 0x00, 0x01, 0x00, 0x04, 0x00};
  EXPECT_EQ(refusal(cutHeader), "face.picture: the picture cannot be read (the file is 30 bytes, too short for the "
                                "54 its header declares)");
  // A whole picture one byte short of its last row is refused too; the
  // whole one is taken.
  Bytes whole = Bmp{.width = 3, .height = 2, .pixelBytes = 24}.Build();
  EXPECT_EQ(clockpack::FacePictureFromBytes(whole, 0x00FF00FF).width, 3);
  whole.pop_back();
  EXPECT_NE(refusal(whole).find("too short for the"), std::string::npos) << refusal(whole);
}

TEST(HostileInput, APngWithAnEmptyDataChunkIsThePictureWithoutIt) {
  // The demo face with an empty IDAT chunk before its data: the decoder once
  // copied it into a buffer it had not made yet (a null pointer).
  const Bytes face = dctest::ReadBytes(std::filesystem::path(DC_SOURCE_DIR) / "assets" / "demo" / "face.png");
  const std::size_t firstData = 8 + 12 + 13;  // the signature, then IHDR
  ASSERT_EQ(std::string(face.begin() + firstData + 4, face.begin() + firstData + 8), "IDAT");
  Bytes withEmpty(face.begin(), face.begin() + firstData);
  const Bytes empty = {0, 0, 0, 0, 'I', 'D', 'A', 'T', 0x35, 0xAF, 0x06, 0x1E};
  withEmpty.insert(withEmpty.end(), empty.begin(), empty.end());
  withEmpty.insert(withEmpty.end(), face.begin() + firstData, face.end());
  const clockpack::Picture plain = clockpack::FacePictureFromBytes(face, 0x00FF00FF);
  const clockpack::Picture padded = clockpack::FacePictureFromBytes(withEmpty, 0x00FF00FF);
  EXPECT_EQ(padded.width, plain.width);
  EXPECT_EQ(padded.height, plain.height);
  EXPECT_TRUE(padded.bmp == plain.bmp) << "the same pixels";
}

TEST(HostileInput, APngChunkLongerThanTheFileIsRefusedBeforeTheDecoderSetsItsLengthAside) {
  // 759 bytes whose second data chunk claimed 1662197044 bytes: the decoder
  // asked for 2 GB before finding them missing.
  Bytes png = dctest::ReadBytes(std::filesystem::path(DC_SOURCE_DIR) / "assets" / "demo" / "face.png");
  const std::size_t end = png.size() - 12;  // IEND
  const Bytes claim = {0x63, 0x12, 0x34, 0x34, 'I', 'D', 'A', 'T', 1, 2, 3, 4, 5, 6};
  png.insert(png.begin() + static_cast<std::ptrdiff_t>(end), claim.begin(), claim.end());
  EXPECT_EQ(dctest::ErrorOf([&] { clockpack::FacePictureFromBytes(png, 0x00FF00FF); }),
            "face.picture: the picture cannot be read (a chunk of 1662137396 bytes runs past the end of the file)");
  // What follows IEND is not the picture's: it is not read.
  Bytes trailing = dctest::ReadBytes(std::filesystem::path(DC_SOURCE_DIR) / "assets" / "demo" / "face.png");
  trailing.insert(trailing.end(), claim.begin(), claim.end());
  EXPECT_EQ(clockpack::FacePictureFromBytes(trailing, 0x00FF00FF).width, 220);
}

namespace {

// Overwrites a stretch of the stack below the caller with `value`, so that
// whatever a later call leaves unset reads differently from run to run.
[[gnu::noinline]] void FillStack(std::uint8_t value) {
  volatile std::uint8_t junk[256 * 1024];
  for (auto& b : junk) b = value;
}

// A 16 x 7 BMP of 4 bits a pixel whose pixel offset is 0, so it has no
// colour table: the decoder copied its own stack into the face.
Bytes StackLeakBmp() {
  const char* hex = "424dae000000006b0000000000002800000010000000070000000100040045ffffffff6c45ffffff6c45ffffffffffffff6c"
                    "ffffffffffff6c";
  Bytes b;
  for (const char* p = hex; *p; p += 2) b.push_back(static_cast<std::uint8_t>(std::stoi(std::string(p, 2), nullptr, 16)));
  return b;
}

}  // namespace

TEST(HostileInput, PalettePicturesThatPointOutsideTheirTableAreRefusedBeforeDecoding) {
  Bytes fourBits = Bmp{.bits = 4, .coloursUsed = 3, .tableBytes = 12, .pixelBytes = 8}.Build();
  fourBits[14 + 40 + 12] = 0x50;  // the first row in the file is the bottom one: pixel 0, 1 is colour 5
  const Bytes tableOverlap = Bmp{.bits = 8, .tableBytes = 100, .pixelBytes = 8, .pixelOffset = 154}.Build();
  const Bytes headerOverlap = Bmp{.pixelBytes = 16, .pixelOffset = 20}.Build();
  const Bytes plte2 = {255, 0, 0, 0, 0, 255};
  const Bytes fiveOfTwo = dctest::Png(3, 1, 3, 8, {{0, 1, 5}}, plte2);
  const Bytes twoBits = dctest::Png(4, 1, 3, 2, {{0x30}}, {1, 2, 3, 4, 5, 6, 7, 8, 9});  // pixel 1 is colour 3 of 3
  const std::string cannot = "face.picture: the picture cannot be read (";
  struct Case {
    const char* what;
    Bytes picture;
    std::string refusal;
  } cases[] = {
      {"the reproducer", StackLeakBmp(),
       cannot + "its pixels begin at byte 0, inside its headers, which end at byte 54)"},
      {"a 4-bit BMP using colour 5 of 3", fourBits,
       cannot + "pixel 0, 1 uses colour 5, but its colour table holds 3 colours)"},
      {"pixels inside an 8-bit table", tableOverlap,
       cannot + "its pixels begin at byte 154, inside its headers and colour table, which end at byte 1078)"},
      {"pixels inside a 24-bit header", headerOverlap,
       cannot + "its pixels begin at byte 20, inside its headers, which end at byte 54)"},
      {"a PNG using colour 5 of 2", fiveOfTwo, cannot + "pixel 2, 0 uses colour 5, but its colour table holds 2 colours)"},
      {"a 2-bit PNG using colour 3 of 3", twoBits,
       cannot + "pixel 1, 0 uses colour 3, but its colour table holds 3 colours)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dctest::ErrorOf([&] { clockpack::FacePictureFromBytes(c.picture, 0x00FF00FF); }), c.refusal) << c.what;
  }
  // Within their tables, the same pictures are taken, in their colours.
  const clockpack::Picture png = clockpack::FacePictureFromBytes(dctest::Png(3, 1, 3, 8, {{0, 1, 1}}, plte2), 0x00FF00FF);
  EXPECT_EQ(Bytes(png.bmp.begin() + 54, png.bmp.end()), (Bytes{0, 0, 255, 255, 0, 0, 255, 0, 0, 0, 0, 0}));
}

TEST(HostileInput, TheSameManifestBuildsTheSameBytesWhateverTheStackHeld) {
  TempDir dir;
  dctest::WriteBytes(dir / "leak.bmp", StackLeakBmp());
  dctest::WriteBytes(dir / "palette.png", dctest::Png(4, 2, 3, 4, {{0x01, 0x10}, {0x11, 0x00}}, {10, 20, 30, 40, 50, 60}));
  dctest::WriteBytes(dir / "demo.png", dctest::ReadBytes(std::filesystem::path(DC_SOURCE_DIR) / "assets/demo/face.png"));
  for (const char* picture : {"leak.bmp", "palette.png", "demo.png"}) {
    const nlohmann::json m = {{"clock", {{"name", "Twice"}}}, {"face", {{"picture", picture}}}, {"led", nlohmann::json::object()},
                              {"alert", nlohmann::json::object()}};
    Bytes first, second;
    FillStack(0x00);
    const std::string firstError = dctest::ErrorOf([&] { first = clockpack::BuildPackage(m, dir.path()); });
    FillStack(0xA5);
    const std::string secondError = dctest::ErrorOf([&] { second = clockpack::BuildPackage(m, dir.path()); });
    EXPECT_EQ(firstError, secondError) << picture;
    EXPECT_TRUE(first == second) << picture << ": the two packages differ";
    EXPECT_EQ(first.empty(), std::string(picture) == "leak.bmp") << picture << ": " << firstError;
  }
}
