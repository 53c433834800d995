// A script bitmap's storage and Flash's premultiplied pixel arithmetic.
#include "swf/avm1/bitmap_pixels.h"

#include <algorithm>

namespace dc::swf::avm1 {

std::uint32_t Premultiply(std::uint32_t argb) {
  const std::uint32_t a = argb >> 24;
  if (a == 255) return argb;
  if (a == 0) return 0;
  const auto mul = [a](std::uint32_t c) { return (c * a + 127) / 255; };
  return (a << 24) | (mul((argb >> 16) & 0xFF) << 16) | (mul((argb >> 8) & 0xFF) << 8) | mul(argb & 0xFF);
}

std::uint32_t Unpremultiply(std::uint32_t p) {
  const std::uint32_t a = p >> 24;
  if (a == 255) return p;
  if (a == 0) return 0;
  // A half rounds down: floor((c * 255 + (a - 1) / 2) / a).
  const auto div = [a](std::uint32_t c) { return std::min<std::uint32_t>(255, (c * 255 + (a - 1) / 2) / a); };
  return (a << 24) | (div((p >> 16) & 0xFF) << 16) | (div((p >> 8) & 0xFF) << 8) | div(p & 0xFF);
}

BitmapRect Clipped(BitmapRect r, std::int32_t width, std::int32_t height) {
  const std::int64_t x0 = std::max<std::int64_t>(r.x, 0), y0 = std::max<std::int64_t>(r.y, 0);
  const std::int64_t x1 = std::min<std::int64_t>(std::int64_t{r.x} + r.width, width);
  const std::int64_t y1 = std::min<std::int64_t>(std::int64_t{r.y} + r.height, height);
  if (x1 <= x0 || y1 <= y0) return {};
  return {static_cast<std::int32_t>(x0), static_cast<std::int32_t>(y0), static_cast<std::int32_t>(x1 - x0),
          static_cast<std::int32_t>(y1 - y0)};
}

BitmapPixels::BitmapPixels(std::int32_t width, std::int32_t height, bool transparent, std::uint32_t fill)
    : transparent_(transparent) {
  bitmap_.width = width;
  bitmap_.height = height;
  uniform_ = ToStored(fill);
}

std::uint32_t BitmapPixels::ToStored(std::uint32_t argb) const {
  return transparent_ ? Premultiply(argb) : (argb | 0xFF000000u);
}

std::uint32_t BitmapPixels::ToColour(std::uint32_t stored) const {
  return transparent_ ? Unpremultiply(stored) : (stored | 0xFF000000u);
}

std::uint32_t* BitmapPixels::Row(std::int32_t y) {
  if (Uniform()) bitmap_.pixels.assign(static_cast<std::size_t>(FullBytes() / 4), uniform_);
  return bitmap_.pixels.data() + static_cast<std::size_t>(y) * bitmap_.width;
}

void BitmapPixels::FillAll(std::uint32_t stored) {
  std::vector<std::uint32_t>().swap(bitmap_.pixels);
  uniform_ = stored;
}

void BitmapPixels::Dispose() {
  std::vector<std::uint32_t>().swap(bitmap_.pixels);
  disposed_ = true;
  uniform_ = 0;
  Touch();
}

}  // namespace dc::swf::avm1
