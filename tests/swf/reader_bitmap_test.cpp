// Bitmaps as read: each lossless format's premultiplied pixels, and JPEG
// (shared tables, inline tables, mended starts, an alpha plane), PNG and
// GIF pictures.
#include <gtest/gtest.h>

#include <cstdio>

#include "reader_test_util.h"
#include "test_images.h"

namespace dc::swf::test {
namespace {

std::string Hex(const std::vector<std::uint32_t>& pixels) {
  std::string s;
  char buf[12];
  for (std::uint32_t p : pixels) {
    std::snprintf(buf, sizeof buf, "%08X ", p);
    s += buf;
  }
  return s;
}

TEST(ReadBitmap, LosslessFormatsToPremultipliedPixels) {
  struct Case {
    const char* name;
    bool withAlpha;
    std::uint8_t format;
    std::uint16_t width, height;
    std::uint8_t tableSize;  // colour-mapped: entries - 1
    Bytes data;              // as before zlib
    std::vector<std::uint32_t> pixels;
  };
  const Case cases[] = {
      {"colour-mapped RGB, rows padded to 4, an index past the table",
       false,
       3,
       3,
       2,
       1,
       {10, 20, 30, 200, 100, 50, /* rows */ 0, 1, 0, 0xEE, 1, 5, 0, 0xEE},
       {0xFF0A141E, 0xFFC86432, 0xFF0A141E, 0xFFC86432, 0x00000000, 0xFF0A141E}},
      {"RGB15, big-endian, rows padded to 4, the top bit ignored",
       false,
       4,
       1,
       2,
       0,
       {0xFC, 0x10, 0xEE, 0xEE, 0x03, 0xE1, 0xEE, 0xEE},
       {0xFFFF0084, 0xFF00FF08}},
      {"XRGB32, the reserved byte 0 or 0xFF",
       false,
       5,
       2,
       1,
       0,
       {0x00, 1, 2, 3, 0xFF, 4, 5, 6},
       {0xFF010203, 0xFF040506}},
      {"ARGB32 premultiplied, a colour above its alpha clamped",
       true,
       5,
       3,
       1,
       0,
       {128, 100, 128, 200, 0, 9, 9, 9, 255, 1, 2, 3},
       {0x80648080, 0x00000000, 0xFF010203}},
      {"colour-mapped RGBA, premultiplied, clamped",
       true,
       3,
       2,
       1,
       1,
       {50, 60, 70, 80, 255, 255, 255, 0, /* row */ 0, 1, 0, 0},
       {0x50323C46, 0x00000000}},
  };
  for (const Case& c : cases) {
    const Movie m = ReadTags(DefineBitsLossless(c.withAlpha, 1, c.format, c.width, c.height, c.data, c.tableSize));
    const Bitmap* b = CharacterOf<Bitmap>(m, 1);
    ASSERT_NE(b, nullptr) << c.name << ": " << Warnings(m);
    EXPECT_EQ(b->width, c.width) << c.name;
    EXPECT_EQ(b->height, c.height) << c.name;
    EXPECT_EQ(Hex(b->pixels), Hex(c.pixels)) << c.name;
  }
}

struct Quadrants {
  std::uint32_t topLeft, topRight, bottomLeft, bottomRight;
};

// Every pixel of the 16 x 16 quadrant picture within a JPEG's error of
// its quadrant's pixel.
void ExpectQuadrants(const Bitmap& b, const Quadrants& q, const char* name) {
  ASSERT_EQ(b.width, 16) << name;
  ASSERT_EQ(b.height, 16) << name;
  int wrong = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const std::uint32_t want = y < 8 ? (x < 8 ? q.topLeft : q.topRight) : (x < 8 ? q.bottomLeft : q.bottomRight);
      const std::uint32_t got = b.pixels[y * 16 + x];
      for (int shift = 0; shift < 32; shift += 8) {
        const int d = static_cast<int>((got >> shift) & 0xFF) - static_cast<int>((want >> shift) & 0xFF);
        if (std::abs(d) > 6 && wrong++ < 4) {
          ADD_FAILURE() << name << ": pixel (" << x << ", " << y << ") is " << std::hex << got << ", expected about "
                        << want;
        }
      }
    }
  }
}

// The quadrant picture's quantisation and Huffman tables, as a JPEGTables
// tag holds them, and the picture without them, as DefineBits does.
const std::span<const std::uint8_t> kJpeg(kQuadrantsJpeg);
const Bytes kJpegTables =
    Concat({Bytes{0xFF, 0xD8}, kJpeg.subspan(20, 138), kJpeg.subspan(177, 93), Bytes{0xFF, 0xD9}});
const Bytes kJpegWithoutTables =
    Concat({Bytes{0xFF, 0xD8}, kJpeg.subspan(2, 18), kJpeg.subspan(158, 19), kJpeg.subspan(270)});

TEST(ReadBitmap, JpegWithItsTablesEverywhereTheyCanBe) {
  const std::span<const std::uint8_t> jpeg = kJpeg;
  const Bytes& tables = kJpegTables;
  const Bytes& image = kJpegWithoutTables;
  const Bytes mended = Concat({Bytes{0xFF, 0xD9, 0xFF, 0xD8}, jpeg});
  const Quadrants opaque{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF808080};
  Bytes alpha(256);
  for (int i = 0; i < 256; ++i) alpha[i] = i < 128 ? 255 : (i % 16) < 8 ? 0 : 128;
  // The colours of a JPEG with an alpha plane are taken as multiplied by it
  // already: grey 128 under alpha 128 stays 128, not 64.
  const Quadrants clear{0xFFFF0000, 0xFF00FF00, 0x00000000, 0x80808080};
  struct Case {
    const char* name;
    Bytes tags;
    Quadrants expected;
  };
  const Case cases[] = {
      {"DefineBitsJPEG2", DefineBitsJpeg2(1, jpeg), opaque},
      {"DefineBitsJPEG2 after FF D9 FF D8", DefineBitsJpeg2(1, mended), opaque},
      {"DefineBits with JPEGTables", Concat({JpegTables(tables), DefineBits(1, image)}), opaque},
      {"DefineBits with the tables inline", DefineBits(1, jpeg), opaque},
      {"DefineBitsJPEG3 without alpha", DefineBitsJpeg3(1, mended, {}), opaque},
  };
  for (const Case& c : cases) {
    const Movie m = ReadTags(c.tags);
    const Bitmap* b = CharacterOf<Bitmap>(m, 1);
    ASSERT_NE(b, nullptr) << c.name << ": " << Warnings(m);
    ExpectQuadrants(*b, c.expected, c.name);
  }
  const Movie m = ReadTags(DefineBitsJpeg3(1, jpeg, alpha));
  const Bitmap* b = CharacterOf<Bitmap>(m, 1);
  ASSERT_NE(b, nullptr) << Warnings(m);
  ExpectQuadrants(*b, clear, "DefineBitsJPEG3 with alpha");
  // The colour is clamped exactly: no channel above the alpha.
  for (std::uint32_t p : b->pixels) {
    const std::uint32_t a = p >> 24;
    EXPECT_LE(((p >> 16) & 0xFF), a);
    EXPECT_LE(((p >> 8) & 0xFF), a);
    EXPECT_LE((p & 0xFF), a);
  }
}

TEST(ReadBitmap, PngAndGifInJpegTags) {
  struct Case {
    const char* name;
    Bytes tag;
    std::vector<std::uint32_t> pixels;  // 2 x 1
  };
  const Case cases[] = {
      {"PNG in DefineBitsJPEG2", DefineBitsJpeg2(1, kHalfRedBluePng), {0x7F7F0000, 0xFF0000FF}},
      {"PNG in DefineBitsJPEG3", DefineBitsJpeg3(1, kHalfRedBluePng, {}), {0x7F7F0000, 0xFF0000FF}},
      {"GIF in DefineBitsJPEG2", DefineBitsJpeg2(1, kGreenClearGif), {0xFF00FF00, 0x00000000}},
  };
  for (const Case& c : cases) {
    const Movie m = ReadTags(c.tag);
    const Bitmap* b = CharacterOf<Bitmap>(m, 1);
    ASSERT_NE(b, nullptr) << c.name << ": " << Warnings(m);
    EXPECT_EQ(b->width, 2);
    EXPECT_EQ(Hex(b->pixels), Hex(c.pixels)) << c.name;
  }
}

TEST(ReadBitmap, WhatCannotBeDecodedIsLeftOut) {
  const std::span<const std::uint8_t> jpeg(kQuadrantsJpeg), png(kHalfRedBluePng);
  // A PNG whose data chunk claims 2 GB: refused before the decoder sees it.
  Bytes hugeChunk(png.begin(), png.end());
  hugeChunk[33] = 0x7F;
  // JPEGs whose first component names a quantisation table (2), a DC or an
  // AC Huffman table (2) that they do not define.
  Bytes noQuantization(jpeg.begin(), jpeg.end()), noDc(jpeg.begin(), jpeg.end()), noAc(jpeg.begin(), jpeg.end());
  noQuantization[170] = 2;
  noDc[276] = 0x20;
  noAc[276] = 0x02;
  const Bytes cases[] = {
      DefineBitsLossless(true, 1, 4, 1, 1, Bytes{0, 0, 0, 0}),   // no 15-bit format with alpha
      DefineBitsLossless(false, 1, 6, 1, 1, Bytes{0, 0, 0, 0}),  // no format 6
      DefineBitsLossless(false, 1, 5, 2, 2, Bytes(15, 0)),       // one byte short
      Tag(20, Bytes{1, 0, 5, 1, 0, 1, 0, 0x78, 0x9C, 0xFF}),     // damaged zlib
      DefineBitsJpeg2(1, Bytes{1, 2, 3, 4}),
      DefineBitsJpeg2(1, jpeg.first(200)),  // cut before the scan
      DefineBits(1, kJpegWithoutTables),    // no JPEGTables tag
      DefineBitsJpeg2(1, noQuantization),
      DefineBitsJpeg2(1, noDc),
      DefineBitsJpeg2(1, noAc),
      DefineBitsJpeg3(1, jpeg, Bytes(100, 255)),  // an alpha plane short of 256 bytes
      DefineBitsJpeg2(1, hugeChunk),
      DefineBitsJpeg2(1, png.first(png.size() - 12)),  // no IEND
  };
  for (const Bytes& tag : cases) {
    const Movie m = ReadTags(tag);
    EXPECT_EQ(m.Find(1), nullptr);
    EXPECT_EQ(Warnings(m), "Bitmaps that cannot be decoded are left out.");
  }
}

}  // namespace
}  // namespace dc::swf::test
