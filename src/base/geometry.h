// Rectangles in whole pixels, shared by the window layout, regions and the
// popup stack.
#pragma once

#include <cstdint>

namespace dc {

// The largest size or position, in pixels, a clock package may give any
// part of the clock; what no screen can hold is refused.
inline constexpr std::int64_t kMaxPixels = 16384;

struct Rect {
  std::int32_t left, top, right, bottom;
  std::int32_t Width() const { return right - left; }
  std::int32_t Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

}  // namespace dc
