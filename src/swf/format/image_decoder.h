// The JPEG, PNG and GIF pictures inside bitmap tags, decoded with
// stb_image built for these three formats only. The bytes come from a
// stranger: sizes are read before decoding, PNG chunks checked first, and
// the JPEG streams of old movies mended.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace dc::swf {

enum class ImageFormat : std::uint8_t { Jpeg, Png, Gif };

// PNG and GIF by their signatures; anything else is taken for JPEG.
ImageFormat FormatOf(std::span<const std::uint8_t> data);

struct ImageSize {
  std::int32_t width = 0, height = 0;
};
// The size the picture's header declares; nothing when it cannot be read.
std::optional<ImageSize> SizeOfImage(std::span<const std::uint8_t> data);

// Straight (not premultiplied) RGBA, rows top-down, in the decoder's own
// buffer (so the pixels are not copied once more); null when the picture
// cannot be decoded or decodes to another size than `expected`.
using DecodedPixels = std::unique_ptr<std::uint8_t, void (*)(void*)>;
DecodedPixels DecodeImagePixels(std::span<const std::uint8_t> data, ImageSize expected);
// The same, copied.
std::optional<std::vector<std::uint8_t>> DecodeImage(std::span<const std::uint8_t> data, ImageSize expected);

// One JPEG stream from a movie's shared tables (may be empty) and an
// image's data: a single start marker, the tables' segments, the image's
// segments and its scan. The start and end markers that old authoring tools
// put in between (the tables' end, an image beginning FF D9 FF D8) are
// dropped.
std::vector<std::uint8_t> JoinJpeg(std::span<const std::uint8_t> tables, std::span<const std::uint8_t> image);

}  // namespace dc::swf
