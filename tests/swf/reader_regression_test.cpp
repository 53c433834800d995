// Inputs the fuzzer found (minimised), each read as it now must be: the
// movie readable or refused, what it holds left out with its warning.
#include <gtest/gtest.h>

#include "reader_test_util.h"
#include "swf/format/swf_error.h"
#include "test_images.h"

namespace dc::swf::test {
namespace {

// The quadrant JPEG with a Huffman table of 300 codes put first: a table
// the decoder would write past its 257 entries for.
Bytes JpegWithOversizedHuffmanTable() {
  Bytes table = {0xFF, 0xC4, 0x01, 0x3F, 0x00};  // 2 + 1 + 16 + 300 bytes, a DC table
  Bytes counts(16, 0);
  counts[14] = 45;
  counts[15] = 255;
  table.insert(table.end(), counts.begin(), counts.end());
  table.resize(table.size() + 300, 0x01);
  const std::span<const std::uint8_t> jpeg(kQuadrantsJpeg);
  return Concat({jpeg.first(2), table, jpeg.subspan(2)});
}

TEST(ReaderRegression, FuzzFindings) {
  struct Case {
    const char* name;
    Bytes file;
    std::string warnings;
  };
  const Case cases[] = {
      // DefineBits whose JPEG, after stray bytes, declares a Huffman table of
      // 552 codes in a segment running past the data.
      {"Huffman table past the end",
       {'F',  'W',  'S',  8,    0xd1, 0x03, 0x13, 0x33, 0x00, 0x2d, 0xf7, 0xc7, 0x77, 0x90, 0x01, 0x03,
        0x11, 0xff, 0xc4, 0x00, 0x15, 0x00, 0x4e, 0x32, 0x64, 0x20, 0x4e, 0x32, 0x64, 0x20, 0x20},
       "Bitmaps that cannot be decoded are left out."},
      {"Huffman table of 300 codes", Fws(Header{}, DefineBitsJpeg2(1, JpegWithOversizedHuffmanTable())),
       "Bitmaps that cannot be decoded are left out."},
  };
  for (const Case& c : cases) {
    try {
      const Movie m = ReadMovie(c.file);
      EXPECT_EQ(Warnings(m), c.warnings) << c.name;
    } catch (const SwfError& e) {
      EXPECT_EQ(e.what(), c.warnings) << c.name;
    }
  }
}

}  // namespace
}  // namespace dc::swf::test
