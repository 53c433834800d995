// stb_image, compiled here once for JPEG, PNG and GIF, behind checks of
// what it is given.
#include "swf/format/image_decoder.h"

#include <climits>
#include <cstring>
#include <memory>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
// The decoder's own assertions hold for the input checked here; compiled
// out in every build, as in the release build, what the fuzzer runs is what
// the clock runs.
#define STBI_ASSERT(x) ((void)0)
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

// Whether a JPEG defines every table its scans use before the scan, each
// Huffman table of at most 256 codes. The decoder leaves a table it is not
// given as whatever its memory held, decodes through it (reading past its
// arrays), and writes the codes of a table where they fall, past its room
// for 256. Segments are passed over whole; in scan data only a 0xFF not
// followed by 0 (a stuffed byte) or a restart marker begins a marker, as
// the decoder sees it, so tables between the scans of a progressive JPEG
// are checked too.
bool JpegTablesSound(std::span<const std::uint8_t> jpeg) {
  constexpr std::uint8_t kQuantization = 0xDB, kHuffman = 0xC4, kScan = 0xDA;
  constexpr std::uint8_t kBaseline = 0xC0, kExtended = 0xC1, kProgressive = 0xC2;
  bool quantization[4] = {}, dcHuffman[4] = {}, acHuffman[4] = {};
  std::vector<std::uint8_t> frameQuantization;  // the table of each component
  bool haveFrame = false, progressive = false;
  std::size_t at = 2;
  while (at + 1 < jpeg.size()) {
    const std::uint8_t marker = jpeg[at + 1];
    const bool standalone = marker == 0x00 || marker == 0x01 || marker == 0xFF || (marker >= 0xD0 && marker <= 0xD9);
    if (jpeg[at] != 0xFF || standalone) {
      ++at;
      continue;
    }
    if (at + 4 > jpeg.size()) return false;
    const std::size_t length = static_cast<std::size_t>(jpeg[at + 2] << 8 | jpeg[at + 3]);
    if (length < 2 || length > jpeg.size() - at - 2) return false;
    auto body = jpeg.subspan(at + 4, length - 2);
    at += 2 + length;
    if (marker == kQuantization) {
      while (!body.empty()) {
        const unsigned precision = body[0] >> 4, id = body[0] & 15;
        const std::size_t size = 1 + 64 * (precision + 1);
        if (precision > 1 || id > 3 || body.size() < size) return false;
        quantization[id] = true;
        body = body.subspan(size);
      }
    } else if (marker == kHuffman) {
      while (!body.empty()) {
        if (body.size() < 17) return false;
        const unsigned kind = body[0] >> 4, id = body[0] & 15;
        std::size_t codes = 0;
        for (std::size_t i = 1; i <= 16; ++i) codes += body[i];
        if (kind > 1 || id > 3 || codes > 256 || codes > body.size() - 17) return false;
        (kind == 0 ? dcHuffman : acHuffman)[id] = true;
        body = body.subspan(17 + codes);
      }
    } else if (marker == kBaseline || marker == kExtended || marker == kProgressive) {
      if (body.size() < 6 || body.size() < 6 + 3 * std::size_t{body[5]}) return false;
      frameQuantization.clear();
      for (std::size_t i = 0; i < body[5]; ++i) frameQuantization.push_back(body[6 + 3 * i + 2]);
      haveFrame = true;
      progressive = marker == kProgressive;
    } else if (marker == kScan) {
      if (!haveFrame || body.empty() || body.size() < 1 + 2 * std::size_t{body[0]} + 3) return false;
      for (const std::uint8_t table : frameQuantization) {
        if (table > 3 || !quantization[table]) return false;
      }
      const std::size_t count = body[0];
      const bool dcScan = body[1 + 2 * count] == 0;  // the scan's first coefficient
      for (std::size_t i = 0; i < count; ++i) {
        const unsigned dc = body[2 + 2 * i] >> 4, ac = body[2 + 2 * i] & 15;
        if (dc > 3 || ac > 3) return false;
        if ((!progressive || dcScan) && !dcHuffman[dc]) return false;
        if ((!progressive || !dcScan) && !acHuffman[ac]) return false;
      }
    }
  }
  return true;
}

// The bytes the decoder is given: the picture's own, or its PNG chunks
// checked and mended. Nothing when they would reach a fault of the decoder.
struct DecoderInput {
  std::span<const std::uint8_t> original;
  std::vector<std::uint8_t> mended;
  std::span<const std::uint8_t> Bytes() const { return mended.empty() ? original : mended; }
};

std::optional<DecoderInput> ForDecoder(std::span<const std::uint8_t> data) {
  if (data.empty() || data.size() > INT_MAX) return std::nullopt;
  DecoderInput input{data, {}};
  switch (FormatOf(data)) {
    case ImageFormat::Png: {
      std::optional<std::vector<std::uint8_t>> checked = CheckedPng(data);
      if (!checked) return std::nullopt;
      input.mended = std::move(*checked);
      break;
    }
    case ImageFormat::Jpeg:
      if (!JpegTablesSound(data)) return std::nullopt;
      break;
    case ImageFormat::Gif:
      break;
  }
  return input;
}

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
  const std::optional<DecoderInput> input = ForDecoder(data);
  if (!input) return std::nullopt;
  const auto bytes = input->Bytes();
  int w = 0, h = 0, channels = 0;
  if (!stbi_info_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &channels)) return std::nullopt;
  if (w <= 0 || h <= 0) return std::nullopt;
  return ImageSize{w, h};
}

DecodedPixels DecodeImagePixels(std::span<const std::uint8_t> data, ImageSize expected) {
  DecodedPixels none(nullptr, stbi_image_free);
  const std::optional<DecoderInput> input = ForDecoder(data);
  if (!input) return none;
  const auto bytes = input->Bytes();
  int w = 0, h = 0, channels = 0;
  DecodedPixels pixels(stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &channels, 4),
                       stbi_image_free);
  if (!pixels || w != expected.width || h != expected.height) return none;
  return pixels;
}

std::optional<std::vector<std::uint8_t>> DecodeImage(std::span<const std::uint8_t> data, ImageSize expected) {
  const DecodedPixels pixels = DecodeImagePixels(data, expected);
  if (!pixels) return std::nullopt;
  return std::vector<std::uint8_t>(pixels.get(),
                                   pixels.get() + static_cast<std::size_t>(expected.width) * expected.height * 4);
}

std::vector<std::uint8_t> JoinJpeg(std::span<const std::uint8_t> tables, std::span<const std::uint8_t> image) {
  std::vector<std::uint8_t> out{0xFF, 0xD8};
  out.reserve(tables.size() + image.size() + 2);
  AppendJpegSegments(tables, out, false);
  AppendJpegSegments(image, out, true);
  return out;
}

}  // namespace dc::swf
