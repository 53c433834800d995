// stb_image, compiled here once for JPEG, PNG and GIF, behind checks of
// what it is given.
#include "swf/image_decoder.h"

#include <climits>
#include <cstring>
#include <memory>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#include <stb_image.h>

namespace dc::swf {
namespace {

constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool StartsWith(std::span<const std::uint8_t> data, std::span<const std::uint8_t> prefix) {
  return data.size() >= prefix.size() && std::memcmp(data.data(), prefix.data(), prefix.size()) == 0;
}

// The PNG with every chunk up to IEND checked against the bytes present
// (the decoder sets aside what a data chunk claims before reading it) and
// empty IDAT chunks left out (the decoder copies an empty first one through
// a buffer it has not made yet). Nothing when a chunk runs past the end.
std::optional<std::vector<std::uint8_t>> CheckedPng(std::span<const std::uint8_t> png) {
  std::vector<std::uint8_t> out(png.begin(), png.begin() + sizeof kPngSignature);
  std::size_t at = sizeof kPngSignature;
  for (;;) {
    if (png.size() - at < 12) return std::nullopt;  // no IEND
    const std::uint64_t length = std::uint64_t{png[at]} << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
    if (length > png.size() - at - 12) return std::nullopt;
    const auto chunk = png.subspan(at, static_cast<std::size_t>(length) + 12);
    const bool isData = std::memcmp(chunk.data() + 4, "IDAT", 4) == 0;
    if (!(isData && length == 0)) out.insert(out.end(), chunk.begin(), chunk.end());
    at += chunk.size();
    if (std::memcmp(chunk.data() + 4, "IEND", 4) == 0) return out;
  }
}

bool FitsDecoder(std::span<const std::uint8_t> data) { return !data.empty() && data.size() <= INT_MAX; }

// Appends the marker segments of `data` to `out`, leaving out start and end
// markers. With `keepRest`, all from the start of the scan, or from bytes
// that are not a marker where one should be, is copied as it is, for the
// decoder to judge; without, only whole segments are kept.
void AppendJpegSegments(std::span<const std::uint8_t> data, std::vector<std::uint8_t>& out, bool keepRest) {
  constexpr std::uint8_t kStart = 0xD8, kEnd = 0xD9, kScan = 0xDA;
  std::size_t at = 0;
  while (data.size() - at >= 2 && data[at] == 0xFF) {
    const std::uint8_t marker = data[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == kStart || marker == kEnd) {
      at += 2;
      continue;
    }
    if (marker == kScan) break;
    std::size_t segment = 2;
    const bool standalone = marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
    if (!standalone) {
      if (data.size() - at < 4) break;
      segment += static_cast<std::size_t>(data[at + 2] << 8 | data[at + 3]);
      if (segment < 4 || segment > data.size() - at) break;
    }
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
               data.begin() + static_cast<std::ptrdiff_t>(at + segment));
    at += segment;
  }
  if (keepRest) out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at), data.end());
}

}  // namespace

ImageFormat FormatOf(std::span<const std::uint8_t> data) {
  static constexpr std::uint8_t kGif[] = {'G', 'I', 'F', '8', '9', 'a'};
  if (StartsWith(data, kPngSignature)) return ImageFormat::Png;
  if (StartsWith(data, kGif)) return ImageFormat::Gif;
  return ImageFormat::Jpeg;
}

std::optional<ImageSize> SizeOfImage(std::span<const std::uint8_t> data) {
  if (!FitsDecoder(data)) return std::nullopt;
  int w = 0, h = 0, channels = 0;
  if (!stbi_info_from_memory(data.data(), static_cast<int>(data.size()), &w, &h, &channels)) return std::nullopt;
  if (w <= 0 || h <= 0) return std::nullopt;
  return ImageSize{w, h};
}

std::optional<std::vector<std::uint8_t>> DecodeImage(std::span<const std::uint8_t> data, ImageSize expected) {
  std::optional<std::vector<std::uint8_t>> checked;
  if (FormatOf(data) == ImageFormat::Png) {
    checked = CheckedPng(data);
    if (!checked) return std::nullopt;
    data = *checked;
  }
  if (!FitsDecoder(data)) return std::nullopt;
  int w = 0, h = 0, channels = 0;
  const std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
      stbi_load_from_memory(data.data(), static_cast<int>(data.size()), &w, &h, &channels, 4), stbi_image_free);
  if (!pixels || w != expected.width || h != expected.height) return std::nullopt;
  return std::vector<std::uint8_t>(pixels.get(), pixels.get() + static_cast<std::size_t>(w) * h * 4);
}

std::vector<std::uint8_t> JoinJpeg(std::span<const std::uint8_t> tables, std::span<const std::uint8_t> image) {
  std::vector<std::uint8_t> out{0xFF, 0xD8};
  out.reserve(tables.size() + image.size() + 2);
  AppendJpegSegments(tables, out, false);
  AppendJpegSegments(image, out, true);
  return out;
}

}  // namespace dc::swf
