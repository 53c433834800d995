// A decoded bitmap: premultiplied 0xAARRGGBB pixels, rows top-down with no
// padding, as every bitmap kind of the file is held once read.
#pragma once

#include <cstdint>
#include <vector>

namespace dc::swf {

struct Bitmap {
  std::int32_t width = 0, height = 0;
  std::vector<std::uint32_t> pixels;  // width * height, premultiplied alpha
  bool operator==(const Bitmap&) const = default;
};

// Premultiplies one straight-alpha colour into a 0xAARRGGBB pixel.
constexpr std::uint32_t PremultipliedPixel(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
  const auto mul = [a](std::uint32_t c) { return (c * a + 127) / 255; };
  return (std::uint32_t{a} << 24) | (mul(r) << 16) | (mul(g) << 8) | mul(b);
}

}  // namespace dc::swf
