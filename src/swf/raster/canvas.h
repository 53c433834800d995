// Where the player draws: a premultiplied 0xAARRGGBB canvas, the mask that
// clip layers put over it, the movie's bitmaps, and the frame's budget.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>

#include "swf/model/bitmap.h"
#include "swf/model/swf_types.h"

namespace dc::swf {

// Pixels [x0, x1) × [y0, y1); empty when x1 <= x0 or y1 <= y0.
struct PixelBox {
  static constexpr std::int32_t kAll = std::numeric_limits<std::int32_t>::max();
  std::int32_t x0 = 0, y0 = 0, x1 = kAll, y1 = kAll;
  bool Empty() const { return x1 <= x0 || y1 <= y0; }
  bool operator==(const PixelBox&) const = default;
};
inline PixelBox Intersection(const PixelBox& a, const PixelBox& b) {
  return {std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}
// The smallest box holding both; an empty box adds nothing.
inline PixelBox Union(const PixelBox& a, const PixelBox& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

// Pixel (x, y) covers [x, x+1) × [y, y+1) of the canvas's plane. Drawing
// changes only the pixels within `clip`: a frame redrawn in part paints
// exactly the pixels a whole redraw would paint there.
struct Canvas {
  std::uint32_t* pixels = nullptr;
  std::int32_t width = 0, height = 0;
  std::int32_t stride = 0;  // in pixels
  PixelBox clip;
  std::uint32_t* Row(std::int32_t y) const { return pixels + static_cast<std::ptrdiff_t>(y) * stride; }
  // The clip within the canvas.
  PixelBox Drawable() const { return Intersection(clip, {0, 0, width, height}); }
};

// What one frame may still spend: pixels touched (Limits::maxLayersPerFrame
// times the surface) and work (Limits::maxDrawWorkPerFrame), where a pixel
// painted, an edge drawn and a glyph laid out each cost what
// raster_limits::kDrawWork... says.
struct DrawBudget {
  std::uint64_t remaining = 0;
  std::uint64_t work = UINT64_MAX;
  bool exceeded = false;
  bool workSpent = false;  // the work ran out (else the pixels did)
  // False (and exceeded from then on) when `pixels` is more than is left.
  bool Take(std::uint64_t pixels) { return Charge(pixels, pixels); }
  bool TakeWork(std::uint64_t units) { return Charge(0, units); }
  bool Charge(std::uint64_t pixels, std::uint64_t units) {
    if (exceeded) return false;
    if (pixels > remaining || units > work) {
      exceeded = true;
      workSpent = pixels <= remaining;
      return false;
    }
    remaining -= pixels;
    work -= units;
    return true;
  }
};

using BitmapLookup = std::function<const Bitmap*(std::uint16_t id)>;

struct DrawTarget {
  Canvas canvas;
  // Coverage 0..255 per canvas pixel, rows of canvas.width; null: no mask.
  const std::uint8_t* mask = nullptr;
  BitmapLookup bitmaps;  // may be empty: bitmap fills then draw nothing
  DrawBudget* budget = nullptr;  // may be null: no budget
  Quality quality = Quality::High;
  // False for a mask's content: Flash makes masks of fills alone.
  bool strokes = true;

  // Edges are anti-aliased from MEDIUM up; LOW takes pixel centres.
  bool AntiAliased() const { return quality != Quality::Low; }
  // Bitmaps that ask for smoothing get it from HIGH up.
  bool SmoothsBitmaps() const { return quality >= Quality::High; }
};

}  // namespace dc::swf
