// Where the player draws: a premultiplied 0xAARRGGBB canvas, the mask that
// clip layers put over it, the movie's bitmaps, and the frame's budget.
#pragma once

#include <cstdint>
#include <functional>

#include "swf/model/bitmap.h"
#include "swf/model/swf_types.h"

namespace dc::swf {

// Pixel (x, y) covers [x, x+1) × [y, y+1) of the canvas's plane.
struct Canvas {
  std::uint32_t* pixels = nullptr;
  std::int32_t width = 0, height = 0;
  std::int32_t stride = 0;  // in pixels
  std::uint32_t* Row(std::int32_t y) const { return pixels + static_cast<std::ptrdiff_t>(y) * stride; }
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
