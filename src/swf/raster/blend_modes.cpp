// Blend modes over premultiplied pixels, in integers: every product of two
// 0..255 values is divided by 255 with rounding once, at the end.
#include "swf/raster/blend_modes.h"

#include <algorithm>
#include <cstdlib>

#include "swf/raster/blend.h"

namespace dc::swf {
namespace {

constexpr std::uint32_t Channel(std::uint32_t p, int shift) { return (p >> shift) & 0xFFu; }

// s·(1 − αd) + d·(1 − αs) + `mixed` (αs·αd·B in 0..255·255 units), clamped
// to the result's alpha.
std::uint32_t Mix(std::uint32_t s, std::uint32_t d, std::uint32_t sa, std::uint32_t da, std::int32_t mixed,
                  std::uint32_t alpha) {
  const std::int32_t sum = static_cast<std::int32_t>(s * (255 - da) + d * (255 - sa)) + mixed;
  const std::uint32_t v = DivideBy255(static_cast<std::uint32_t>(std::clamp(sum, 0, 255 * 255)));
  return std::min(v, alpha);
}

// αs·αd·B(s/αs, d/αd), scaled by 255·255, for the separable modes.
std::int32_t Separable(BlendMode mode, std::int32_t s, std::int32_t d, std::int32_t sa, std::int32_t da) {
  switch (mode) {
    case BlendMode::Multiply:
      return s * d;
    case BlendMode::Screen:
      return s * da + d * sa - s * d;
    case BlendMode::Lighten:
      return std::max(s * da, d * sa);
    case BlendMode::Darken:
      return std::min(s * da, d * sa);
    case BlendMode::Difference:
      return std::abs(s * da - d * sa);
    case BlendMode::Overlay:
      return 2 * d <= da ? 2 * s * d : sa * da - 2 * (da - d) * (sa - s);
    case BlendMode::Hardlight:
      return 2 * s <= sa ? 2 * s * d : sa * da - 2 * (da - d) * (sa - s);
    default:
      return s * da;  // normal: the source where both are
  }
}

}  // namespace

std::uint32_t BlendPixel(std::uint32_t dst, std::uint32_t src, BlendMode mode) {
  const std::uint32_t sa = src >> 24, da = dst >> 24;
  switch (mode) {
    case BlendMode::Normal:
    case BlendMode::Layer:
      return SourceOver(dst, src);
    case BlendMode::Alpha:
      return ScalePixel(dst, sa);
    case BlendMode::Erase:
      return ScalePixel(dst, 255 - sa);
    default:
      break;
  }
  const std::uint32_t alpha = sa + da - DivideBy255(sa * da);
  std::uint32_t out = alpha << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t s = Channel(src, shift), d = Channel(dst, shift);
    std::uint32_t v;
    switch (mode) {
      case BlendMode::Add:
        v = std::min(s + d, alpha);
        break;
      case BlendMode::Subtract:
        v = d > s ? d - s : 0;
        break;
      case BlendMode::Invert:
        // The backdrop's colour turned over within its alpha, where the
        // layer covers it.
        v = DivideBy255(d * (255 - sa) + (da - d) * sa);
        break;
      default:
        v = Mix(s, d, sa, da, Separable(mode, static_cast<std::int32_t>(s), static_cast<std::int32_t>(d),
                                        static_cast<std::int32_t>(sa), static_cast<std::int32_t>(da)),
                alpha);
        break;
    }
    out |= v << shift;
  }
  if (mode == BlendMode::Invert) out = (out & 0x00FFFFFFu) | (da << 24);
  return out;
}

void CompositeLayer(const Canvas& target, const std::uint32_t* layer, std::int32_t layerWidth,
                    std::int32_t layerHeight, std::int32_t layerStride, std::int32_t originX, std::int32_t originY,
                    BlendMode mode, const std::uint8_t* mask) {
  const PixelBox clip = target.Drawable();
  const std::int32_t x0 = std::max(originX, clip.x0), x1 = std::min(originX + layerWidth, clip.x1);
  const std::int32_t y0 = std::max(originY, clip.y0), y1 = std::min(originY + layerHeight, clip.y1);
  for (std::int32_t y = y0; y < y1; ++y) {
    std::uint32_t* row = target.Row(y);
    const std::uint32_t* from = layer + static_cast<std::ptrdiff_t>(y - originY) * layerStride - originX;
    const std::uint8_t* coverage = mask ? mask + static_cast<std::ptrdiff_t>(y) * target.width : nullptr;
    for (std::int32_t x = x0; x < x1; ++x) {
      std::uint32_t src = from[x];
      if (coverage) src = ScalePixel(src, coverage[x]);
      if (src == 0) continue;  // alpha and erase too: only where the layer drew
      row[x] = BlendPixel(row[x], src, mode);
    }
  }
}

}  // namespace dc::swf
