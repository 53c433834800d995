// Lengths at a screen's scale. A package, a popup's settings and the
// dialogs are designed in pixels of a 100 % screen (96 dots per inch); a
// window on a monitor of `dpi` dots per inch shows them at dpi / 96.
#pragma once

#include <algorithm>
#include <cstdint>

#include "base/geometry.h"

namespace dc {

inline constexpr int kBaseDpi = 96;

// `v` 100 % pixels at `dpi`, to the nearest pixel, halves away from zero;
// within 32 bits for any length a package may give and any dpi up to 4800.
constexpr std::int32_t ScaleLength(std::int32_t v, int dpi) {
  const std::int64_t p = std::int64_t{v} * dpi;
  return static_cast<std::int32_t>(p >= 0 ? (p + kBaseDpi / 2) / kBaseDpi : -((-p + kBaseDpi / 2) / kBaseDpi));
}

// A line's width or a stroke's thickness: scaled to the nearest pixel but
// never thinner than one pixel (a line that was there stays).
constexpr std::int32_t ScaleStroke(std::int32_t v, int dpi) {
  return v <= 0 ? v : std::max<std::int32_t>(1, ScaleLength(v, dpi));
}

// Back from `dpi` to 100 % pixels, to the nearest.
constexpr std::int32_t UnscaleLength(std::int32_t v, int dpi) {
  const std::int64_t p = std::int64_t{v} * kBaseDpi;
  return static_cast<std::int32_t>(p >= 0 ? (p + dpi / 2) / dpi : -((-p + dpi / 2) / dpi));
}

// A rectangle scaled edge by edge, so that rectangles that touch at 100 %
// still touch.
constexpr Rect ScaleRect(const Rect& r, int dpi) {
  return {ScaleLength(r.left, dpi), ScaleLength(r.top, dpi), ScaleLength(r.right, dpi), ScaleLength(r.bottom, dpi)};
}

}  // namespace dc
