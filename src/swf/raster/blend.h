// Premultiplied 0xAARRGGBB arithmetic: scaling a pixel by an 8-bit factor
// with exact rounding, and source-over.
#pragma once

#include <cstdint>

namespace dc::swf {

// round(v / 255) for v in 0..255·255 + 255, without a division.
constexpr std::uint32_t DivideBy255(std::uint32_t v) {
  v += 128;
  return (v + (v >> 8)) >> 8;
}

// Every channel of `p` times f / 255, rounded, f in 0..255. Two channels
// ride in one 32-bit word: their products cannot reach the other's bits.
constexpr std::uint32_t ScalePixel(std::uint32_t p, std::uint32_t f) {
  std::uint32_t rb = (p & 0x00FF00FFu) * f + 0x00800080u;
  rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
  std::uint32_t ag = ((p >> 8) & 0x00FF00FFu) * f + 0x00800080u;
  ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
  return rb | ag;
}

// `src` over `dst`, both premultiplied: no channel can pass 255, since a
// premultiplied channel never exceeds its alpha.
constexpr std::uint32_t SourceOver(std::uint32_t dst, std::uint32_t src) {
  return src + ScalePixel(dst, 255 - (src >> 24));
}

}  // namespace dc::swf
