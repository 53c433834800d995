// Painting the popup's background.
#include "notify/popup_paint.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace dc::notify {

std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
  if (c == 0) return -1;
  using Wide = __int128;  // no product of two 32-bit values overflows it
  const Wide p = Wide{a} * b;
  const Wide magnitude = p < 0 ? -p : p, divisor = c < 0 ? -Wide{c} : Wide{c};
  const Wide r = (magnitude * 2 + divisor) / (divisor * 2);
  const Wide result = (p < 0) != (c < 0) ? -r : r;
  if (result < INT32_MIN || result > INT32_MAX) return -1;  // as the platform's
  return static_cast<std::int32_t>(result);
}

std::vector<Band> GradientBands(std::int32_t top, std::int32_t height, std::uint32_t a, std::uint32_t b,
                                std::int32_t count) {
  if (height <= 0) return {};
  if (count < 2 || a == b) return {{top, top + height, a}};
  const std::int32_t n = std::max(2, std::min(count, height));
  const std::int32_t bandHeight = height / n;
  std::vector<Band> bands;
  for (std::int32_t i = 0; i < n; ++i) {
    std::uint32_t colour = 0;
    for (int shift : {0, 8, 16}) {
      const auto ca = static_cast<std::int32_t>((a >> shift) & 0xFF), cb = static_cast<std::int32_t>((b >> shift) & 0xFF);
      colour |= static_cast<std::uint32_t>((ca + MulDiv(i, cb - ca, n - 1)) & 0xFF) << shift;
    }
    bands.push_back({top + i * bandHeight, top + (i + 1) * bandHeight, colour});
  }
  if (height % n) bands.push_back({top + n * bandHeight, top + height, b});
  return bands;
}

namespace {

void FillRows(PixelTarget& t, const std::vector<Band>& bands) {
  for (const Band& band : bands)
    for (std::int32_t y = std::max(band.top, 0); y < std::min(band.bottom, t.height); ++y)
      std::fill_n(t.pixels + static_cast<std::size_t>(y) * t.stride, t.width, ColourToPixel(band.colour));
}

void Square(PixelTarget& t, std::int32_t x, std::int32_t y, std::int32_t size, std::uint32_t colour) {
  for (std::int32_t dy = 0; dy < size; ++dy)
    for (std::int32_t dx = 0; dx < size; ++dx) t.Put(x + dx, y + dy, ColourToPixel(colour));
}

}  // namespace

void PaintPopupBackground(PixelTarget& t, const PopupPaintColours& c, bool grip, std::uint32_t background,
                          const PopupLayout& l) {
  t.Fill(ColourToPixel(background));
  FillRows(t, GradientBands(0, l.captionRows, c.captionFrom, c.captionTo, 8));
  if (grip) {
    for (int dot = 0; dot < 10; ++dot) {
      const std::int32_t x = l.gripLeft + l.gripStep * dot, y = l.gripTop;
      Square(t, x, y, l.gripDot, 0x808080);
      Square(t, x + l.gripShift, y + l.gripShift, l.gripDot, 0xF8FCF8);
      Square(t, x + l.gripShift, y + l.gripShift, l.gripShift, 0xB8BCB8);
    }
  }
  const std::int32_t bodyHeight = t.height - l.line - l.bodyTop;
  FillRows(t, GradientBands(l.bodyTop, bodyHeight, c.windowFrom, c.windowTo, bodyHeight < 255 ? bodyHeight : 32));
  const std::uint32_t frame = ColourToPixel(0x808080);
  for (std::int32_t k = 0; k < l.line; ++k) {
    for (std::int32_t x = 0; x < t.width; ++x) {
      t.Put(x, k, frame);
      t.Put(x, t.height - 1 - k, frame);
    }
    for (std::int32_t y = 0; y < t.height; ++y) {
      t.Put(k, y, frame);
      t.Put(t.width - 1 - k, y, frame);
    }
  }
}

}  // namespace dc::notify
