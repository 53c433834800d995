// Face pictures loaded from memory: exact pixels back, damaged files refused.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/file_io.h"
#include "test_support.h"
#include "app/face_picture.win.h"
#include "base/pixels.h"
#include "package/face_pixels.h"

using dctest::Bytes;

namespace {

// A 24-bit BMP, rows bottom-up (or top-down for a negative height).
Bytes Bmp(int w, int h, const std::vector<std::uint32_t>& topDownRgb) {
  int rows = h < 0 ? -h : h;
  int stride = (w * 3 + 3) & ~3;
  Bytes b(54 + stride * rows, 0);
  BITMAPFILEHEADER f{0x4D42, static_cast<DWORD>(b.size()), 0, 0, 54};
  BITMAPINFOHEADER i{40, w, h, 1, 24, BI_RGB};
  memcpy(b.data(), &f, 14);
  memcpy(b.data() + 14, &i, 40);
  for (int y = 0; y < rows; ++y) {
    int fileRow = h < 0 ? y : rows - 1 - y;
    for (int x = 0; x < w; ++x) {
      std::uint32_t c = topDownRgb[y * w + x];
      std::uint8_t* p = b.data() + 54 + fileRow * stride + x * 3;
      p[0] = c & 0xFF;
      p[1] = (c >> 8) & 0xFF;
      p[2] = (c >> 16) & 0xFF;
    }
  }
  return b;
}

// The bitmap's pixels top-down as 0x00RRGGBB.
std::vector<std::uint32_t> Pixels(HBITMAP bmp, int w, int h) {
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
  std::vector<std::uint32_t> px(w * h);
  HDC dc = GetDC(nullptr);
  GetDIBits(dc, bmp, 0, h, px.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  for (auto& p : px) p &= 0xFFFFFF;
  return px;
}

}  // namespace

TEST(FaceBitmap, BottomUpAndTopDownRowsGiveTheSamePixels) {
  const std::vector<std::uint32_t> picture = {0xFF0000, 0x00FF00, 0x0000FF,   // red green blue
                                              0xFFFFFF, 0x000000, 0xFF00FF};  // white black magenta
  for (int h : {2, -2}) {
    dc::ui::UniqueBitmap bmp = dc::BitmapFromBmpBytes(Bmp(3, h, picture));
    ASSERT_TRUE(bmp);
    EXPECT_EQ(Pixels(bmp.get(), 3, 2), picture) << "height " << h;
  }
}

TEST(FaceBitmap, DamagedPicturesAreRefusedWithAReason) {
  Bytes good = Bmp(3, 2, std::vector<std::uint32_t>(6, 0));
  Bytes cut(good.begin(), good.end() - 1);
  Bytes notBmp = good;
  notBmp[0] = 'X';
  Bytes huge = good;
  LONG width = 100000;
  memcpy(huge.data() + 18, &width, 4);
  for (const Bytes& b : {cut, notBmp, huge, Bytes{'B', 'M'}}) {
    try {
      dc::BitmapFromBmpBytes(b);
      ADD_FAILURE() << "accepted a damaged picture of " << b.size() << " bytes";
    } catch (const dc::UserError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("The clock's face picture cannot be loaded: ", 0), 0u) << e.what();
    }
  }
}

TEST(FaceBitmap, APaletteAndABitFieldsPictureGiveTheirColours) {
  // 8 bits: a table of three colours, rows of 2 indices padded to 4 bytes.
  Bytes pal(14 + 40 + 3 * 4 + 2 * 4, 0);
  BITMAPFILEHEADER f{0x4D42, static_cast<DWORD>(pal.size()), 0, 0, 14 + 40 + 12};
  BITMAPINFOHEADER i{40, 2, 2, 1, 8, BI_RGB};
  i.biClrUsed = 3;
  memcpy(pal.data(), &f, 14);
  memcpy(pal.data() + 14, &i, 40);
  const std::uint8_t table[] = {0x00, 0x00, 0xFF, 0,   // red (blue, green, red, 0)
                                0x00, 0xFF, 0x00, 0,   // green
                                0xFF, 0x00, 0x00, 0};  // blue
  memcpy(pal.data() + 54, table, sizeof table);
  const std::uint8_t rows[] = {2, 1, 0, 0,   // bottom row: blue, green
                               0, 0, 0, 0};  // top row: red, red
  memcpy(pal.data() + 66, rows, sizeof rows);
  dc::ui::UniqueBitmap bmp = dc::BitmapFromBmpBytes(pal);
  EXPECT_EQ(Pixels(bmp.get(), 2, 2), (std::vector<std::uint32_t>{0xFF0000, 0xFF0000, 0x0000FF, 0x00FF00}));

  // 16 bits with 5-6-5 masks after the header.
  Bytes fields(14 + 40 + 12 + 2 * 4, 0);
  BITMAPFILEHEADER f2{0x4D42, static_cast<DWORD>(fields.size()), 0, 0, 14 + 40 + 12};
  BITMAPINFOHEADER i2{40, 2, -2, 1, 16, BI_BITFIELDS};
  memcpy(fields.data(), &f2, 14);
  memcpy(fields.data() + 14, &i2, 40);
  const DWORD masks[] = {0xF800, 0x07E0, 0x001F};
  memcpy(fields.data() + 54, masks, sizeof masks);
  const std::uint16_t px[] = {0xF800, 0x07E0, 0x001F, 0xFFFF};  // top-down: red, green / blue, white
  memcpy(fields.data() + 66, px, sizeof px);
  dc::ui::UniqueBitmap bmp16 = dc::BitmapFromBmpBytes(fields);
  EXPECT_EQ(Pixels(bmp16.get(), 2, 2), (std::vector<std::uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}));
}

// The preview's own decoding gives the system's pixels, for every kind of
// BMP the player shows: random rows of 7 x 3 pixels (odd, so rows pad).
TEST(FaceBitmap, DecodingWithoutTheSystemGivesTheSystemsPixels) {
  struct Kind {
    WORD bits;
    DWORD compression;
    std::vector<DWORD> masks;  // after a 40-byte header, for bit fields
    int tableEntries;
    int height;  // negative: top-down
  };
  const Kind kinds[] = {{1, BI_RGB, {}, 2, 3},          {4, BI_RGB, {}, 16, 3},
                        {8, BI_RGB, {}, 256, -3},       {8, BI_RGB, {}, 200, 3},
                        {16, BI_RGB, {}, 0, 3},         {16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}, 0, 3},
                        {24, BI_RGB, {}, 0, -3},        {32, BI_RGB, {}, 0, 3},
                        {32, BI_BITFIELDS, {0x00FF0000, 0x0000FF00, 0x000000FF}, 0, 3}};
  std::uint32_t seed = 12345;
  const auto next = [&seed] { return (seed = seed * 1103515245 + 12345) >> 16 & 0xFF; };
  for (const Kind& k : kinds) {
    const int w = 7, rows = std::abs(k.height);
    const int stride = (w * k.bits + 31) / 32 * 4;
    const int offset = 14 + 40 + static_cast<int>(k.masks.size()) * 4 + k.tableEntries * 4;
    Bytes b(offset + stride * rows, 0);
    BITMAPFILEHEADER f{0x4D42, static_cast<DWORD>(b.size()), 0, 0, static_cast<DWORD>(offset)};
    BITMAPINFOHEADER i{40, w, k.height, 1, k.bits, k.compression};
    i.biClrUsed = k.bits <= 8 && k.tableEntries != (1 << k.bits) ? k.tableEntries : 0;
    memcpy(b.data(), &f, 14);
    memcpy(b.data() + 14, &i, 40);
    if (!k.masks.empty()) memcpy(b.data() + 54, k.masks.data(), k.masks.size() * 4);
    for (int e = 0; e < k.tableEntries * 4; ++e) b[54 + k.masks.size() * 4 + e] = e % 4 == 3 ? 0 : next();
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < (w * k.bits + 7) / 8; ++x) {
        std::uint8_t v = static_cast<std::uint8_t>(next());
        if (k.bits == 8 && k.tableEntries < 256) v %= k.tableEntries;  // indices within the table
        b[offset + y * stride + x] = v;
      }
    dc::ui::UniqueBitmap system = dc::BitmapFromBmpBytes(b);
    const std::optional<dc::FacePixels> ours = dc::DecodeFaceBitmap(b);
    ASSERT_TRUE(ours) << k.bits;
    std::vector<std::uint32_t> oursAsPixels;
    for (std::uint32_t c : ours->colours) oursAsPixels.push_back(dc::ColourToPixel(c));
    EXPECT_EQ(oursAsPixels, Pixels(system.get(), w, rows)) << k.bits << " bits, compression " << k.compression;
  }
}
