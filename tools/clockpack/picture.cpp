// Reading face pictures with stb_image and writing 24-bit BMP files. The
// decoder is built for PNG and BMP only: no other format's code, and none
// of its faults, is reachable from a designer's picture.
#include "picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "base/file_io.h"
#include "manifest.h"
#include "package/clock_package.h"
#include "package/face_bitmap.h"
#include "package/face_pixels.h"
#include "palette_indices.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#include <stb_image.h>

namespace clockpack {
namespace {

constexpr int kMaxSide = 16384;

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

bool IsPng(std::span<const std::uint8_t> b) {
  static constexpr std::uint8_t kMark[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return b.size() >= sizeof kMark && std::memcmp(b.data(), kMark, sizeof kMark) == 0;
}
bool IsBmp(std::span<const std::uint8_t> b) { return b.size() >= 2 && b[0] == 'B' && b[1] == 'M'; }

std::uint32_t Get16(std::span<const std::uint8_t> b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
std::uint32_t Get32(std::span<const std::uint8_t> b, std::size_t at) { return Get16(b, at) | (Get16(b, at + 2) << 16); }

// How long a BMP must be to hold its header and the rows the header
// declares (run-length rows: the header alone). The decoder reads bytes past
// the end as zeros, so a file of a few bytes could otherwise decode to a
// picture of nothing as large as its header claims, at the cost of seconds
// and megabytes.
std::uint64_t BmpBytesNeeded(std::span<const std::uint8_t> b) {
  if (b.size() < 18) return 18;
  const std::uint32_t headerSize = Get32(b, 14);
  if (b.size() < 14 + std::uint64_t{headerSize}) return 14 + std::uint64_t{headerSize};
  std::int64_t width = 0, height = 0;
  std::uint32_t bitsPerPixel = 0, compression = 0;
  if (headerSize == 12) {
    width = Get16(b, 18);
    height = static_cast<std::int16_t>(Get16(b, 20));
    bitsPerPixel = Get16(b, 24);
  } else if (headerSize >= 40) {
    width = static_cast<std::int32_t>(Get32(b, 18));
    height = static_cast<std::int32_t>(Get32(b, 22));
    bitsPerPixel = Get16(b, 28);
    compression = Get32(b, 30);
  } else {
    return 14 + std::uint64_t{headerSize};  // a header the decoder refuses
  }
  if (compression == 1 || compression == 2) return 14 + std::uint64_t{headerSize};
  const std::uint64_t stride = (static_cast<std::uint64_t>(width < 0 ? -width : width) * bitsPerPixel + 31) / 32 * 4;
  return Get32(b, 10) + stride * static_cast<std::uint64_t>(height < 0 ? -height : height);
}

// The PNG as the decoder gets it. Every chunk up to IEND is checked against
// the bytes present, because the decoder sets aside what a data chunk's
// length claims before it reads a byte of it (759 bytes once asked for
// 2 GB). Empty IDAT chunks are left out: they add nothing to the picture,
// and the decoder copies an empty first one into a buffer it has not made
// yet, through a null pointer. Throws ToolError.
std::vector<std::uint8_t> PngForDecoding(std::span<const std::uint8_t> png) {
  std::vector<std::uint8_t> out(png.begin(), png.begin() + 8);
  std::size_t at = 8;
  while (png.size() - at >= 8) {
    const std::uint64_t length = std::uint64_t{png[at]} << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
    if (length + 12 > png.size() - at) {
      throw ToolError("face.picture: the picture cannot be read (a chunk of " + std::to_string(length) +
                      " bytes runs past the end of the file)");
    }
    const std::uint8_t* type = png.data() + at + 4;
    const std::size_t end = at + 12 + static_cast<std::size_t>(length);
    if (length != 0 || std::memcmp(type, "IDAT", 4) != 0) {
      out.insert(out.end(), png.begin() + static_cast<std::ptrdiff_t>(at), png.begin() + static_cast<std::ptrdiff_t>(end));
    }
    at = end;
    if (std::memcmp(type, "IEND", 4) == 0) break;
  }
  out.insert(out.end(), png.begin() + static_cast<std::ptrdiff_t>(at), png.end());
  return out;
}

// Whether `edge` lies on the way from the face's colour `inner` to the key
// colour, at least 15% of the way: what drawing with anti-aliasing onto the
// key colour leaves along an outline. A face colour close to the key itself
// says nothing.
bool IsBlendOf(std::uint32_t edge, std::uint32_t inner, std::uint32_t key) {
  double v[3], e[3], dot = 0, len2 = 0, e2 = 0;
  for (int c = 0; c < 3; ++c) {
    const int shift = 8 * c;
    v[c] = static_cast<double>((key >> shift) & 0xFF) - static_cast<double>((inner >> shift) & 0xFF);
    e[c] = static_cast<double>((edge >> shift) & 0xFF) - static_cast<double>((inner >> shift) & 0xFF);
    dot += v[c] * e[c];
    len2 += v[c] * v[c];
    e2 += e[c] * e[c];
  }
  if (len2 < 60.0 * 60.0) return false;
  const double t = dot / len2;
  if (t < 0.15 || t > 1.0) return false;
  const double offLine = e2 - dot * dot / len2;  // squared distance from the line inner-key
  const double allowed = std::max(12.0, 0.15 * std::sqrt(len2));
  return offLine <= allowed * allowed;
}

// The size of the 24-bit BMP a picture of w x h pixels becomes.
std::uint64_t Bmp24Bytes(int w, int h) {
  return 14 + 40 + (static_cast<std::uint64_t>(w) * 3 + 3) / 4 * 4 * static_cast<std::uint64_t>(h);
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp24(std::span<const std::uint8_t> rgba, int width, int height,
                                      std::uint32_t keyColour, std::uint32_t matte) {
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  const std::size_t headers = 14 + 40;
  std::vector<std::uint8_t> b(headers + stride * static_cast<std::size_t>(height), 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<std::uint32_t>(b.size()));
  Put32(b, 10, static_cast<std::uint32_t>(headers));
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<std::uint32_t>(width));
  Put32(b, 22, static_cast<std::uint32_t>(height));  // positive: rows bottom-up
  Put16(b, 26, 1);
  Put16(b, 28, 24);
  Put32(b, 34, static_cast<std::uint32_t>(stride * static_cast<std::size_t>(height)));
  Put32(b, 38, 2835);  // 72 dots per inch
  Put32(b, 42, 2835);
  const std::uint8_t key[3] = {static_cast<std::uint8_t>(keyColour), static_cast<std::uint8_t>(keyColour >> 8),
                               static_cast<std::uint8_t>(keyColour >> 16)};
  const std::uint8_t under[3] = {static_cast<std::uint8_t>(matte), static_cast<std::uint8_t>(matte >> 8),
                                 static_cast<std::uint8_t>(matte >> 16)};
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = b.data() + headers + stride * static_cast<std::size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* px = rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4;
      const unsigned alpha = px[3];
      std::uint8_t rgb[3] = {px[0], px[1], px[2]};
      if (alpha == 0) {
        std::memcpy(rgb, key, 3);
      } else if (alpha < 255) {
        for (int c = 0; c < 3; ++c) rgb[c] = static_cast<std::uint8_t>((px[c] * alpha + under[c] * (255 - alpha) + 127) / 255);
        // A blend that lands on the key colour would be cut out of the
        // shape: one step of blue keeps it inside.
        if (std::memcmp(rgb, key, 3) == 0) rgb[2] ^= 1;
      }
      row[x * 3] = rgb[2];
      row[x * 3 + 1] = rgb[1];
      row[x * 3 + 2] = rgb[0];
    }
  }
  return b;
}

FaceStats MeasureFace(std::span<const std::uint32_t> colours, int width, int height, std::uint32_t keyColour) {
  auto at = [&](int x, int y) { return colours[static_cast<std::size_t>(y) * width + x]; };
  auto inside = [&](int x, int y) { return x >= 0 && y >= 0 && x < width && y < height; };
  static constexpr int kSteps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  FaceStats stats;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t c = at(x, y);
      if (c == keyColour) {
        ++stats.keyPixels;
        continue;
      }
      bool edge = false, ring = false;
      for (const auto& d : kSteps) {
        if (!inside(x + d[0], y + d[1]) || at(x + d[0], y + d[1]) != keyColour) continue;
        edge = true;
        // The face's own colour two pixels further in, away from the key.
        const int ix = x - 2 * d[0], iy = y - 2 * d[1];
        if (inside(ix, iy) && at(ix, iy) != keyColour && IsBlendOf(c, at(ix, iy), keyColour)) ring = true;
      }
      stats.edgePixels += edge;
      stats.ringPixels += ring;
    }
  }
  return stats;
}

Picture FacePictureFromBytes(std::span<const std::uint8_t> bytes, std::uint32_t keyColour, std::uint32_t matte) {
  if (!IsPng(bytes) && !IsBmp(bytes)) throw ToolError("face.picture: face pictures are PNG or BMP files");
  if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) throw ToolError("face.picture: the file is too large");
  const int length = static_cast<int>(bytes.size());
  int w = 0, h = 0, channels = 0;
  if (!stbi_info_from_memory(bytes.data(), length, &w, &h, &channels)) {
    throw ToolError(std::string("face.picture: the picture cannot be read (") + stbi_failure_reason() + ")");
  }
  if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide) {
    throw ToolError("face.picture: the picture is " + std::to_string(w) + " x " + std::to_string(h) +
                    " pixels; a face is 1 to 16384 pixels each way");
  }
  if (Bmp24Bytes(w, h) > dc::ClockPackage::kMaxBytes) {
    throw ToolError("face.picture: the picture is " + std::to_string(w) + " x " + std::to_string(h) +
                    " pixels, too many for a clock package of at most " +
                    std::to_string(dc::ClockPackage::kMaxBytes) + " bytes");
  }
  if (IsBmp(bytes) && bytes.size() < BmpBytesNeeded(bytes)) {
    throw ToolError("face.picture: the picture cannot be read (the file is " + std::to_string(bytes.size()) +
                    " bytes, too short for the " + std::to_string(BmpBytesNeeded(bytes)) +
                    " its header declares)");
  }
  const std::vector<std::uint8_t> decodable =
      IsPng(bytes) ? PngForDecoding(bytes) : std::vector<std::uint8_t>(bytes.begin(), bytes.end());
  if (std::string fault = IsPng(bytes) ? PngPaletteFault(decodable) : BmpPaletteFault(bytes); !fault.empty()) {
    throw ToolError("face.picture: " + fault);
  }
  Picture pic;
  pic.width = w;
  pic.height = h;
  dc::FaceBitmapLayout layout;
  // Measured on the colours the player shows: the BMP as it is, or as made.
  auto measure = [&] {
    if (std::optional<dc::FacePixels> shown = dc::DecodeFaceBitmap(pic.bmp))
      pic.stats = MeasureFace(shown->colours, shown->width, shown->height, keyColour);
  };
  if (IsBmp(bytes) && dc::CheckFaceBitmap(bytes, &layout).empty()) {
    pic.bmp.assign(bytes.begin(), bytes.end());  // the player shows this BMP as it is
    pic.width = layout.width;
    pic.height = layout.height;
    measure();
    return pic;
  }
  std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
      stbi_load_from_memory(decodable.data(), static_cast<int>(decodable.size()), &w, &h, &channels, 4),
      stbi_image_free);
  if (!pixels || w != pic.width || h != pic.height) {
    throw ToolError(std::string("face.picture: the picture cannot be read (") +
                    (pixels ? "its size changed while decoding" : stbi_failure_reason()) + ")");
  }
  const std::span<const stbi_uc> rgba(pixels.get(), static_cast<std::size_t>(w) * h * 4);
  for (std::size_t i = 3; i < rgba.size() && !pic.transparent; i += 4) pic.transparent = rgba[i] != 255;
  pic.bmp = EncodeBmp24(rgba, w, h, keyColour, matte);
  pixels.reset();
  measure();
  return pic;
}

Picture LoadFacePicture(const std::filesystem::path& file, std::uint32_t keyColour, std::uint32_t matte) {
  const std::vector<std::uint8_t> bytes = ReadFieldFile("face.picture", file);
  try {
    return FacePictureFromBytes(bytes, keyColour, matte);
  } catch (const ToolError& e) {
    // Name the file the designer gave.
    throw ToolError(std::string(e.what()) + " (\"" + dc::PathToUtf8(file) + "\")");
  }
}

}  // namespace clockpack
