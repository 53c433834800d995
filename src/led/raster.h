// A 32-bit pixel surface and the one drawing operation the LED cells need:
// a closed polygon filled by the even-odd rule together with its one-pixel
// outline, which covers the pixels of every edge, right and bottom included.
#pragma once

#include <cstdint>
#include <span>

#include "led/led_geometry.h"

namespace dc::led {

// Pixels of a top-down 32-bit bitmap (a DIB section's memory, or a test's
// buffer), each 0x00RRGGBB. `stride` counts pixels.
struct PixelTarget {
  std::uint32_t* pixels;
  std::int32_t width;
  std::int32_t height;
  std::int32_t stride;

  void Fill(std::uint32_t pixel);
  void Put(std::int32_t x, std::int32_t y, std::uint32_t pixel) {
    if (x >= 0 && y >= 0 && x < width && y < height) pixels[static_cast<std::size_t>(y) * stride + x] = pixel;
  }
  std::uint32_t At(std::int32_t x, std::int32_t y) const { return pixels[static_cast<std::size_t>(y) * stride + x]; }
};

// A colour value (0x00BBGGRR) as a 32-bit DIB pixel (0x00RRGGBB).
constexpr std::uint32_t ColourToPixel(std::uint32_t colour) {
  return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

void FillPolygon(PixelTarget& target, std::span<const Point> points, std::uint32_t pixel);

}  // namespace dc::led
