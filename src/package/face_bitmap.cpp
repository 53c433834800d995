// Checking a BMP's headers against its bytes.
#include "package/face_bitmap.h"

#include <cstring>

namespace dc {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kRgb = 0, kBitFields = 3;
constexpr std::int64_t kMaxSide = 16384;

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

}  // namespace

std::string CheckFaceBitmap(std::span<const std::uint8_t> bmp, FaceBitmapLayout* layout) {
  if (bmp.size() < kFileHeaderSize + 40) return "it is too short for a bitmap";
  if (bmp[0] != 'B' || bmp[1] != 'M') return "it is no BMP picture";
  const std::uint32_t pixelOffset = U32(bmp, 10);
  const std::uint32_t headerSize = U32(bmp, 14);
  if (headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 && headerSize != 124)
    return "its header size " + std::to_string(headerSize) + " is not that of a bitmap header";
  if (headerSize > bmp.size() - kFileHeaderSize) return "its header is cut short";
  const auto width = static_cast<std::int32_t>(U32(bmp, 18));
  const auto height = static_cast<std::int64_t>(static_cast<std::int32_t>(U32(bmp, 22)));
  const std::uint16_t planes = U16(bmp, 26);
  const std::uint16_t bits = U16(bmp, 28);
  const std::uint32_t compression = U32(bmp, 30);
  const std::uint32_t coloursUsed = U32(bmp, 46);
  const std::int64_t rows = height < 0 ? -height : height;
  if (width < 1 || width > kMaxSide || rows < 1 || rows > kMaxSide)
    return "its size is not that of a picture (1 to 16384 pixels each way)";
  if (planes != 1) return "it has " + std::to_string(planes) + " planes, not 1";
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    return "it has " + std::to_string(bits) + " bits a pixel (1, 4, 8, 16, 24 or 32 can be shown)";
  const bool bitFields = compression == kBitFields && (bits == 16 || bits == 32);
  if (compression != kRgb && !bitFields) return "it is compressed (only uncompressed bitmaps can be shown)";

  // The system reads the header, the three masks of a 40-byte header with
  // bit fields, and the colour table.
  const std::uint64_t tableEntries = bits <= 8 ? (coloursUsed ? coloursUsed : 1u << bits) : coloursUsed;
  if ((bits <= 8 && tableEntries > (1u << bits)) || tableEntries > 256)
    return "its colour table of " + std::to_string(coloursUsed) + " colours is too large";
  const std::uint64_t tableEnd =
      kFileHeaderSize + headerSize + (bitFields && headerSize == 40 ? 12 : 0) + tableEntries * 4;
  if (tableEnd > bmp.size()) return "its colour table is cut short";
  if (pixelOffset < tableEnd || pixelOffset > bmp.size()) return "its pixels do not lie after its headers";
  const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
  const std::uint64_t pixelBytes = stride * static_cast<std::uint64_t>(rows);
  if (pixelBytes > bmp.size() - pixelOffset) return "its pixels are cut short";

  if (layout) {
    *layout = {width, static_cast<std::int32_t>(rows), height < 0, bits, kFileHeaderSize, pixelOffset, pixelBytes};
  }
  return {};
}

}  // namespace dc
