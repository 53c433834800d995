// Decoding a checked face BMP: palette, 16-, 24- and 32-bit rows, bit fields.
#include "package/face_pixels.h"

#include <bit>

#include "package/face_bitmap.h"

namespace dc {
namespace {

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// One channel under a bit mask, widened to 8 bits by repeating its high bits.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask) {
  if (!mask) return 0;
  const int shift = std::countr_zero(mask);
  const int width = std::min(std::popcount(mask >> shift), 8);
  std::uint32_t v = ((pixel & mask) >> shift) >> (std::popcount(mask >> shift) - width);
  std::uint32_t out = 0;
  for (int have = 0; have < 8; have += width) out |= (have + width <= 8) ? v << (8 - have - width) : v >> (have + width - 8);
  return out & 0xFF;
}

}  // namespace

std::optional<FacePixels> DecodeFaceBitmap(std::span<const std::uint8_t> bmp) {
  FaceBitmapLayout l;
  if (!CheckFaceBitmap(bmp, &l).empty()) return std::nullopt;
  const std::uint32_t headerSize = U32(bmp, l.infoOffset);
  const std::uint32_t compression = U32(bmp, l.infoOffset + 16);
  const std::uint32_t coloursUsed = U32(bmp, l.infoOffset + 32);
  const std::size_t stride = (static_cast<std::size_t>(l.width) * l.bitCount + 31) / 32 * 4;
  std::uint32_t red = 0x00FF0000, green = 0x0000FF00, blue = 0x000000FF;
  if (l.bitCount == 16) red = 0x7C00, green = 0x03E0, blue = 0x001F;
  if (compression == 3) {  // bit fields: the masks follow the 40-byte header
    const std::size_t at = l.infoOffset + 40;
    red = U32(bmp, at), green = U32(bmp, at + 4), blue = U32(bmp, at + 8);
  }
  const std::size_t tableAt = l.infoOffset + headerSize + (compression == 3 && headerSize == 40 ? 12 : 0);
  const std::uint32_t entries = l.bitCount <= 8 ? (coloursUsed ? coloursUsed : 1u << l.bitCount) : 0;
  const auto paletteColour = [&](std::uint32_t index) -> std::uint32_t {
    if (index >= entries) return 0;
    const std::size_t at = tableAt + index * 4;  // blue, green, red, reserved
    return bmp[at + 2] | bmp[at + 1] << 8 | static_cast<std::uint32_t>(bmp[at]) << 16;
  };
  FacePixels out{l.width, l.height, std::vector<std::uint32_t>(static_cast<std::size_t>(l.width) * l.height)};
  for (std::int32_t y = 0; y < l.height; ++y) {
    const std::int32_t fileRow = l.topDown ? y : l.height - 1 - y;
    const std::uint8_t* row = bmp.data() + l.pixelOffset + static_cast<std::size_t>(fileRow) * stride;
    std::uint32_t* dst = out.colours.data() + static_cast<std::size_t>(y) * l.width;
    for (std::int32_t x = 0; x < l.width; ++x) {
      switch (l.bitCount) {
        case 1: dst[x] = paletteColour((row[x / 8] >> (7 - x % 8)) & 1); break;
        case 4: dst[x] = paletteColour((row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF); break;
        case 8: dst[x] = paletteColour(row[x]); break;
        case 24: dst[x] = row[x * 3 + 2] | row[x * 3 + 1] << 8 | static_cast<std::uint32_t>(row[x * 3]) << 16; break;
        default: {
          const std::uint32_t p = l.bitCount == 16 ? static_cast<std::uint32_t>(row[x * 2] | row[x * 2 + 1] << 8)
                                                   : U32(std::span<const std::uint8_t>(row, stride), x * 4);
          dst[x] = Channel(p, red) | Channel(p, green) << 8 | Channel(p, blue) << 16;
        }
      }
    }
  }
  return out;
}

}  // namespace dc
