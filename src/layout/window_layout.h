// The clock window's geometry: its size fitted to its visible children, and
// its shape cut from the face picture.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/geometry.h"

namespace dc {

struct Child {
  Rect bounds;
  bool visible;
};

// The offset that moves the visible children's bounding box to (0, 0), and
// the client size that holds it exactly. Hidden children are not counted.
struct FitResult {
  std::int32_t dx, dy, width, height;
  bool operator==(const FitResult&) const = default;
};
FitResult FitToChildren(std::span<const Child> children);

// The face picture's non-key pixels as rectangles, in window coordinates
// (the picture at `left`, `top`). `pixels` are the picture's colour values
// (0x00BBGGRR), rows top-down; a key colour with a nonzero top byte matches
// no pixel. The rectangles are one-pixel-high row spans in top-to-bottom,
// left-to-right order, ready for one region call; together they cover the
// same pixels as the picture's column runs.
std::vector<Rect> PictureRegionRects(std::span<const std::uint32_t> pixels, std::int32_t width,
                                     std::int32_t height, std::uint32_t keyColour, std::int32_t left,
                                     std::int32_t top);

}  // namespace dc
