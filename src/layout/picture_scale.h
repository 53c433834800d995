// The face picture at a screen's scale: its colours filtered to the scaled
// size, and its shape (the pixels that are not the key colour) scaled
// pixel for pixel, so that the window's edge never takes a colour blended
// from the key.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "base/geometry.h"

namespace dc {

struct ScaledPicture {
  std::int32_t width = 0, height = 0;
  std::vector<std::uint32_t> colours;  // 0x00BBGGRR, rows top-down
};

// A picture of `width` x `height` at `dpi`: each side scaled to the nearest
// pixel. Larger, every pixel is bilinear between the four source pixels
// around its centre; smaller, the average of the source area it covers.
// With a key colour, key pixels take no part in any other pixel's colour
// (a pixel whose sources are all key keeps the key colour). At 96 the
// colours come back as they are. Only the top left `maxWidth` x `maxHeight`
// of the scaled picture is made: the face shows no more.
ScaledPicture ScalePicture(std::span<const std::uint32_t> colours, std::int32_t width, std::int32_t height, int dpi,
                           std::optional<std::uint32_t> keyColour, std::int32_t maxWidth, std::int32_t maxHeight);

// The scaled picture's shape as PictureRegionRects gives it (row spans,
// top to bottom, left to right, at `left`, `top`): a pixel belongs to it
// when the source pixel under its centre is not the key colour. At a
// whole-number scale this is the 100 % shape with every pixel a square.
std::vector<Rect> ScaledPictureRegionRects(std::span<const std::uint32_t> colours, std::int32_t width,
                                           std::int32_t height, std::uint32_t keyColour, int dpi, std::int32_t left,
                                           std::int32_t top);

// The source pixel under the centre of scaled pixel `i` along a side of
// `length` source pixels.
std::int32_t SourceIndex(std::int32_t i, std::int32_t length, int dpi);

}  // namespace dc
