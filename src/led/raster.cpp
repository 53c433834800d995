// Polygon filling with integer vertices: the outline by Bresenham lines,
// the inside by even-odd crossings on each pixel row.
#include "led/raster.h"

#include <algorithm>
#include <cmath>

namespace dc::led {

void PixelTarget::Fill(std::uint32_t pixel) {
  for (std::int32_t y = 0; y < height; ++y) std::fill_n(pixels + static_cast<std::size_t>(y) * stride, width, pixel);
}

namespace {

void Line(PixelTarget& t, Point a, Point b, std::uint32_t pixel) {
  std::int32_t dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
  std::int32_t sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1, err = dx + dy;
  for (;;) {
    t.Put(a.x, a.y, pixel);
    if (a.x == b.x && a.y == b.y) return;
    std::int32_t e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      a.x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      a.y += sy;
    }
  }
}

}  // namespace

void FillPolygon(PixelTarget& target, std::span<const Point> points, std::uint32_t pixel) {
  const std::size_t n = points.size();
  if (n == 0) return;
  std::int32_t top = points[0].y, bottom = points[0].y;
  for (const Point& p : points) {
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  top = std::max(top, 0);
  bottom = std::min(bottom, target.height - 1);

  // The inside: on row y, an edge counts when y lies in [its top, its
  // bottom), so a vertex between two edges is crossed once.
  double xs[16];
  for (std::int32_t y = top; y <= bottom; ++y) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < n && count < 16; ++i) {
      Point a = points[i], b = points[(i + 1) % n];
      if (a.y == b.y) continue;
      if (a.y > b.y) std::swap(a, b);
      if (y < a.y || y >= b.y) continue;
      xs[count++] = a.x + static_cast<double>(y - a.y) * (b.x - a.x) / (b.y - a.y);
    }
    std::sort(xs, xs + count);
    for (std::size_t k = 0; k + 1 < count; k += 2) {
      std::int32_t from = std::max(static_cast<std::int32_t>(std::ceil(xs[k])), 0);
      std::int32_t to = std::min(static_cast<std::int32_t>(std::floor(xs[k + 1])), target.width - 1);
      if (from <= to) std::fill_n(target.pixels + static_cast<std::size_t>(y) * target.stride + from, to - from + 1, pixel);
    }
  }
  // The outline: every edge's pixels, the closing edge too.
  for (std::size_t i = 0; i < n; ++i) Line(target, points[i], points[(i + 1) % n], pixel);
}

}  // namespace dc::led
