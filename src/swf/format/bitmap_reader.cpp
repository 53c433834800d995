// Bitmap tags to premultiplied 0xAARRGGBB pixels.
#include "swf/format/bitmap_reader.h"

#include <algorithm>

#include "swf/format/image_decoder.h"
#include "swf/format/zlib_inflate.h"

namespace dc::swf {
namespace {

constexpr std::uint8_t kColorMapped = 3, kRgb15 = 4, kRgb32 = 5;

void WarnUndecodable(ReadContext& context) { context.Warn("Bitmaps that cannot be decoded are left out."); }

// A colour stored premultiplied, each channel kept within its alpha: the
// file cannot be trusted to have done so, and the painter relies on it.
std::uint32_t ClampedPremultiplied(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return std::uint32_t{a} << 24 | std::uint32_t{std::min(r, a)} << 16 | std::uint32_t{std::min(g, a)} << 8 |
         std::min(b, a);
}

std::uint32_t Opaque(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return 0xFF000000u | std::uint32_t{r} << 16 | std::uint32_t{g} << 8 | b;
}

// 5 bits to 8 by repeating the high bits, so that 31 is full intensity.
std::uint8_t Expand5(std::uint32_t v) { return static_cast<std::uint8_t>(v << 3 | v >> 2); }

std::size_t RowBytes(std::size_t bytes) { return (bytes + 3) & ~std::size_t{3}; }

// Decodes the stream a row at a time into the bitmap's pixels: the whole
// inflated image is never held beside them. False when it ends short.
bool DecodeLossless(InflateStream& in, std::uint8_t format, std::size_t paletteSize, bool withAlpha, Bitmap& bitmap) {
  const auto w = static_cast<std::size_t>(bitmap.width), h = static_cast<std::size_t>(bitmap.height);
  std::uint32_t* out = bitmap.pixels.data();
  std::vector<std::uint32_t> palette(256, 0);
  if (format == kColorMapped) {
    const std::size_t entry = withAlpha ? 4 : 3;
    std::vector<std::uint8_t> table(paletteSize * entry);
    if (!in.Read(table)) return false;
    for (std::size_t i = 0; i < paletteSize; ++i) {
      const std::uint8_t* c = table.data() + i * entry;
      palette[i] = withAlpha ? ClampedPremultiplied(c[3], c[0], c[1], c[2]) : Opaque(c[0], c[1], c[2]);
    }
  }
  const std::size_t rowBytes = format == kColorMapped ? RowBytes(w) : format == kRgb15 ? RowBytes(w * 2) : w * 4;
  std::vector<std::uint8_t> row(rowBytes);
  for (std::size_t y = 0; y < h; ++y) {
    if (!in.Read(row)) return false;
    if (format == kColorMapped) {
      for (std::size_t x = 0; x < w; ++x) *out++ = palette[row[x]];
    } else if (format == kRgb15) {
      for (std::size_t x = 0; x < w; ++x) {
        const std::uint32_t v = std::uint32_t{row[2 * x]} << 8 | row[2 * x + 1];
        *out++ = Opaque(Expand5(v >> 10 & 31), Expand5(v >> 5 & 31), Expand5(v & 31));
      }
    } else {
      for (std::size_t x = 0; x < w; ++x) {
        const std::uint8_t* p = row.data() + x * 4;
        // Without alpha the first byte is reserved: tools write 0 or 0xFF.
        *out++ = withAlpha ? ClampedPremultiplied(p[0], p[1], p[2], p[3]) : Opaque(p[1], p[2], p[3]);
      }
    }
  }
  return true;
}

}  // namespace

std::optional<Bitmap> ReadLosslessBitmap(BitReader& r, bool withAlpha, ReadContext& context) {
  const std::uint8_t format = r.U8();
  Bitmap bitmap;
  bitmap.width = r.U16();
  bitmap.height = r.U16();
  const std::size_t paletteSize = format == kColorMapped ? std::size_t{r.U8()} + 1 : 0;
  const auto w = static_cast<std::size_t>(bitmap.width), h = static_cast<std::size_t>(bitmap.height);
  if (format != kColorMapped && !(format == kRgb15 && !withAlpha) && format != kRgb32) {
    WarnUndecodable(context);
    return std::nullopt;
  }
  if (w == 0 || h == 0) return bitmap;
  if (!context.TakePixels(w * h)) return std::nullopt;
  bitmap.pixels.resize(w * h);
  InflateStream in(r.Rest());
  if (!DecodeLossless(in, format, paletteSize, withAlpha, bitmap)) {
    WarnUndecodable(context);
    return std::nullopt;
  }
  return bitmap;
}

std::optional<Bitmap> ReadJpegBitmap(BitReader& r, int jpegVersion, ReadContext& context) {
  std::span<const std::uint8_t> image, alpha;
  if (jpegVersion >= 3) {
    const std::uint32_t alphaOffset = r.U32();
    if (jpegVersion >= 4) (void)r.U16();  // deblocking strength, not applied
    image = r.Bytes(alphaOffset);
    alpha = r.Rest();
  } else {
    image = r.Rest();
  }
  const ImageFormat format = jpegVersion >= 2 ? FormatOf(image) : ImageFormat::Jpeg;
  std::vector<std::uint8_t> joined;
  if (format == ImageFormat::Jpeg) {
    joined = JoinJpeg(jpegVersion == 1 ? context.jpegTables : std::span<const std::uint8_t>{}, image);
    image = joined;
  }
  const std::optional<ImageSize> size = SizeOfImage(image);
  if (!size) {
    WarnUndecodable(context);
    return std::nullopt;
  }
  const auto pixels = static_cast<std::size_t>(size->width) * static_cast<std::size_t>(size->height);
  if (!context.TakePixels(pixels)) return std::nullopt;
  const DecodedPixels rgba = DecodeImagePixels(image, *size);
  // A PNG or GIF carries its own alpha; what follows it is not used.
  const bool hasAlphaPlane = format == ImageFormat::Jpeg && !alpha.empty();
  std::vector<std::uint8_t> alphaPlane;
  if (rgba && hasAlphaPlane) alphaPlane = Inflate(alpha, pixels).bytes;
  if (!rgba || alphaPlane.size() < (hasAlphaPlane ? pixels : 0)) {
    WarnUndecodable(context);
    return std::nullopt;
  }
  Bitmap bitmap{size->width, size->height, std::vector<std::uint32_t>(pixels)};
  for (std::size_t i = 0; i < pixels; ++i) {
    const std::uint8_t* p = rgba.get() + i * 4;
    if (format != ImageFormat::Jpeg) {
      bitmap.pixels[i] = PremultipliedPixel(p[0], p[1], p[2], p[3]);
    } else if (hasAlphaPlane) {
      // Authoring tools store the colour of a JPEG with an alpha plane
      // already multiplied by it.
      bitmap.pixels[i] = ClampedPremultiplied(alphaPlane[i], p[0], p[1], p[2]);
    } else {
      bitmap.pixels[i] = Opaque(p[0], p[1], p[2]);
    }
  }
  return bitmap;
}

}  // namespace dc::swf
