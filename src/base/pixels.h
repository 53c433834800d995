// A 32-bit pixel surface: a top-down bitmap's memory (a DIB section's, or a
// test's buffer), each pixel 0x00RRGGBB, and the swap from colour values.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace dc {

struct PixelTarget {
  std::uint32_t* pixels;
  std::int32_t width;
  std::int32_t height;
  std::int32_t stride;  // in pixels

  void Fill(std::uint32_t pixel) {
    for (std::int32_t y = 0; y < height; ++y) std::fill_n(pixels + static_cast<std::size_t>(y) * stride, width, pixel);
  }
  bool Contains(std::int64_t x, std::int64_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  void Put(std::int64_t x, std::int64_t y, std::uint32_t pixel) {
    if (Contains(x, y)) pixels[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x)] = pixel;
  }
  std::uint32_t At(std::int32_t x, std::int32_t y) const { return pixels[static_cast<std::size_t>(y) * stride + x]; }
};

// A colour value of the files and properties (0x00BBGGRR, red in the low
// byte) as a 32-bit DIB pixel (0x00RRGGBB). The one place the two meet.
constexpr std::uint32_t ColourToPixel(std::uint32_t colour) {
  return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

// Resolves a colour value whose top byte is set (a system colour) before
// drawing; values with a zero top byte pass unchanged.
using ColourResolver = std::uint32_t (*)(std::uint32_t colour);
// The core's resolver: no system colours exist, the top byte is dropped.
constexpr std::uint32_t NoSystemColours(std::uint32_t colour) { return colour & 0x00FFFFFF; }

}  // namespace dc
