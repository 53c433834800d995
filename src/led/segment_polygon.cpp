// Polygon filling with integer vertices: the outline by integer lines, the
// inside by even-odd crossings on each pixel row, both clipped to the
// surface before they are walked.
#include "led/segment_polygon.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace dc::led {
namespace {

using Wide = __int128;  // products of two coordinate spans

std::int64_t FloorDiv(Wide a, std::int64_t b) {  // b > 0
  Wide q = a / b;
  if (a % b != 0 && a < 0) --q;
  return static_cast<std::int64_t>(q);
}
std::int64_t CeilDiv(Wide a, std::int64_t b) { return -FloorDiv(-a, b); }

// A crossing's column clamped to the surface's columns and one beyond each
// side, so that no value outside int32 is ever converted.
std::int32_t ClampColumn(double x, std::int32_t width) {
  return static_cast<std::int32_t>(std::clamp(x, -1.0, static_cast<double>(width)));
}

}  // namespace

void DrawLine(PixelTarget& t, Point a, Point b, std::uint32_t pixel) {
  using std::int64_t;
  const int64_t dx = std::llabs(int64_t{b.x} - a.x), dy = std::llabs(int64_t{b.y} - a.y);
  const bool xMajor = dx >= dy;
  // Along the major axis every step moves one pixel; the minor offset after
  // k steps is floor((2k·minor + major) / (2·major)), exactly the walk's.
  const int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
  const int64_t majorStart = xMajor ? a.x : a.y, minorStart = xMajor ? a.y : a.x;
  const int majorStep = (xMajor ? a.x < b.x : a.y < b.y) ? 1 : -1;
  const int minorStep = (xMajor ? a.y < b.y : a.x < b.x) ? 1 : -1;
  const int64_t majorLimit = int64_t{xMajor ? t.width : t.height} - 1;
  const int64_t minorLimit = int64_t{xMajor ? t.height : t.width} - 1;
  if (major == 0) {
    t.Put(a.x, a.y, pixel);
    return;
  }
  // The steps whose major coordinate lies on the surface...
  int64_t first = std::max<int64_t>(majorStep > 0 ? -majorStart : majorStart - majorLimit, 0);
  int64_t last = std::min<int64_t>(majorStep > 0 ? majorLimit - majorStart : majorStart, major);
  // ... and whose minor offset m keeps the minor coordinate on it.
  const int64_t mLo = std::max<int64_t>(minorStep > 0 ? -minorStart : minorStart - minorLimit, 0);
  const int64_t mHi = std::min<int64_t>(minorStep > 0 ? minorLimit - minorStart : minorStart, minor);
  if (mLo > mHi) return;
  if (minor > 0) {
    first = std::max(first, CeilDiv(Wide{2} * major * mLo - major, 2 * minor));
    last = std::min(last, FloorDiv(Wide{2} * major * (mHi + 1) - major - 1, 2 * minor));
  }
  if (first > last) return;
  int64_t m = static_cast<int64_t>((Wide{2} * first * minor + major) / (2 * major));
  int64_t along = majorStart + majorStep * first, across = minorStart + minorStep * m;
  // The minor coordinate steps after step k when (2m + 1)·major <= 2(k + 1)·minor.
  int64_t decision = static_cast<int64_t>(Wide{2} * (first + 1) * minor - Wide{2 * m + 1} * major);
  for (int64_t k = first; k <= last; ++k) {
    if (xMajor) {
      t.Put(along, across, pixel);
    } else {
      t.Put(across, along, pixel);
    }
    along += majorStep;
    if (decision >= 0) {
      across += minorStep;
      decision -= 2 * major;
    }
    decision += 2 * minor;
  }
}

void FillPolygon(PixelTarget& target, std::span<const Point> points, std::uint32_t pixel) {
  const std::size_t n = points.size();
  if (n == 0 || target.width <= 0 || target.height <= 0) return;
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
      xs[count++] = a.x + static_cast<double>(y - a.y) * (static_cast<double>(b.x) - a.x) / (static_cast<double>(b.y) - a.y);
    }
    std::sort(xs, xs + count);
    for (std::size_t k = 0; k + 1 < count; k += 2) {
      const std::int32_t from = std::max(ClampColumn(std::ceil(xs[k]), target.width), 0);
      const std::int32_t to = std::min(ClampColumn(std::floor(xs[k + 1]), target.width), target.width - 1);
      if (from <= to) std::fill_n(target.pixels + static_cast<std::size_t>(y) * target.stride + from, to - from + 1, pixel);
    }
  }
  // The outline: every edge's pixels, the closing edge too.
  for (std::size_t i = 0; i < n; ++i) DrawLine(target, points[i], points[(i + 1) % n], pixel);
}

}  // namespace dc::led
