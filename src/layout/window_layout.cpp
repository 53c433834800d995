// Fitting the window to its children and scanning the face for its shape.
#include "layout/window_layout.h"

#include <algorithm>

namespace dc {

FitResult FitToChildren(std::span<const Child> children) {
  bool any = false;
  Rect box{0, 0, 0, 0};
  for (const Child& c : children) {
    if (!c.visible) continue;
    if (!any) {
      box = c.bounds;
      any = true;
    } else {
      box = {std::min(box.left, c.bounds.left), std::min(box.top, c.bounds.top), std::max(box.right, c.bounds.right),
             std::max(box.bottom, c.bounds.bottom)};
    }
  }
  if (!any) return {0, 0, 0, 0};
  return {-box.left, -box.top, box.right - box.left, box.bottom - box.top};
}

std::vector<Rect> PictureRegionRects(std::span<const std::uint32_t> pixels, std::int32_t width,
                                     std::int32_t height, std::uint32_t keyColour, std::int32_t left,
                                     std::int32_t top) {
  std::vector<Rect> rects;
  for (std::int32_t y = 0; y < height; ++y) {
    const std::uint32_t* row = pixels.data() + static_cast<std::size_t>(y) * width;
    std::int32_t x = 0;
    while (x < width) {
      while (x < width && row[x] == keyColour) ++x;
      if (x == width) break;
      const std::int32_t start = x;
      while (x < width && row[x] != keyColour) ++x;
      rects.push_back({left + start, top + y, left + x, top + y + 1});
    }
  }
  return rects;
}

}  // namespace dc
