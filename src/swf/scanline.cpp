// Coverage accumulation: edges clipped to the canvas and walked through the
// pixel cells they cross; rows swept into spans per style.
#include "swf/scanline.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace dc::swf {

namespace {

bool Finite(Point p) { return std::isfinite(p.x) && std::isfinite(p.y); }

std::uint8_t CoverageOf(float winding) {
  const float v = std::fabs(winding);
  if (!(v < 1.0f)) return 255;  // winding 2 (a stroke over itself) is still one pixel
  return static_cast<std::uint8_t>(v * 255.0f + 0.5f);
}

}  // namespace

void ScanlineRaster::Begin(std::int32_t width, std::int32_t height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  cells_.clear();
  lastLeft_ = lastRight_ = 0;
  cutShort_ = false;
  firstRow_ = endRow_ = 0;
}

void ScanlineRaster::AddEdge(Point a, Point b, std::int32_t left, std::int32_t right) {
  if (left == right || cutShort_ || !Finite(a) || !Finite(b) || a.y == b.y) return;
  float sign = 1;
  if (a.y > b.y) {
    std::swap(a, b);
    sign = -1;
  }
  const double w = width_, h = height_;
  if (b.y <= 0 || a.y >= h || (a.x >= w && b.x >= w)) return;
  if (a.y < 0) {
    a.x += (b.x - a.x) * ((0 - a.y) / (b.y - a.y));
    a.y = 0;
  }
  if (b.y > h) {
    b.x = a.x + (b.x - a.x) * ((h - a.y) / (b.y - a.y));
    b.y = h;
  }
  if (!Finite(a) || !Finite(b) || a.y >= b.y) return;
  left_ = left;
  right_ = right;

  // Split where the edge crosses the canvas's left and right sides.
  double cuts[2];
  int n = 0;
  for (double side : {0.0, w})
    if ((a.x < side && b.x > side) || (a.x > side && b.x < side)) cuts[n++] = (side - a.x) / (b.x - a.x);
  if (n == 2 && cuts[0] > cuts[1]) std::swap(cuts[0], cuts[1]);
  Point from = a;
  for (int i = 0; i <= n; ++i) {
    Point to = b;
    if (i < n) to = {a.x + (b.x - a.x) * cuts[i], a.y + (b.y - a.y) * cuts[i]};
    const double mid = (from.x + to.x) / 2;
    if (to.y > from.y) {
      if (mid <= 0) {
        // Left of the canvas only the height counts: it sets the winding
        // of every pixel to the right.
        AddInside({0, from.y}, {0, to.y}, sign);
      } else if (mid < w) {
        AddInside({std::clamp(from.x, 0.0, w), from.y}, {std::clamp(to.x, 0.0, w), to.y}, sign);
      }
    }
    from = to;
  }
}

void ScanlineRaster::AddPolygon(const Point* points, std::size_t count) {
  if (count < 3) return;
  double twiceArea = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const Point& p = points[i];
    const Point& q = points[(i + 1) % count];
    twiceArea += p.x * q.y - q.x * p.y;
  }
  if (!std::isfinite(twiceArea) || twiceArea == 0) return;
  const std::int32_t left = twiceArea > 0 ? 0 : -1, right = twiceArea > 0 ? -1 : 0;
  for (std::size_t i = 0; i < count; ++i) AddEdge(points[i], points[(i + 1) % count], left, right);
}

// a.y < b.y, both inside the canvas's rows, x within 0..width.
void ScanlineRaster::AddInside(Point a, Point b, float sign) {
  const double dxdy = (b.x - a.x) / (b.y - a.y);
  const double w = width_;
  const std::int32_t firstRow = std::max(0, static_cast<std::int32_t>(std::floor(a.y)));
  const std::int32_t lastRow = std::min(height_ - 1, static_cast<std::int32_t>(std::ceil(b.y)) - 1);
  for (std::int32_t r = firstRow; r <= lastRow; ++r) {
    const double ya = std::max(a.y, double(r)), yb = std::min(b.y, double(r + 1));
    if (yb <= ya) continue;
    const double xa = ya == a.y ? a.x : std::clamp(a.x + (ya - a.y) * dxdy, 0.0, w);
    const double xb = yb == b.y ? b.x : std::clamp(a.x + (yb - a.y) * dxdy, 0.0, w);
    AddRow(r, xa, ya - r, xb, yb - r, sign);
  }
}

// One row's piece of an edge, ya < yb within the row (0..1), through the
// cells between xa and xb.
void ScanlineRaster::AddRow(std::int32_t row, double xa, double ya, double xb, double yb, float sign) {
  const std::int32_t first = static_cast<std::int32_t>(xa), lastCell = static_cast<std::int32_t>(xb);
  if (first == lastCell) {
    const double dy = yb - ya;
    AddCell(first, row, static_cast<float>(sign * dy), static_cast<float>(sign * dy * ((xa + xb) / 2 - first)));
    return;
  }
  const double dydx = (yb - ya) / (xb - xa);
  const std::int32_t step = xb > xa ? 1 : -1;
  double x = xa, y = ya;
  for (std::int32_t c = first;; c += step) {
    const double side = step > 0 ? c + 1.0 : double(c);
    const bool last = step > 0 ? side >= xb : side <= xb;
    const double nx = last ? xb : side;
    const double ny = last ? yb : ya + (side - xa) * dydx;
    const double dy = ny - y;
    if (dy != 0) AddCell(c, row, static_cast<float>(sign * dy), static_cast<float>(sign * dy * ((x + nx) / 2 - c)));
    if (last) break;
    x = nx;
    y = ny;
  }
}

void ScanlineRaster::AddCell(std::int32_t x, std::int32_t y, float cover, float area) {
  if (x >= width_) return;
  if (left_ >= 0) Put(lastLeft_, x, y, left_, cover, area);
  if (right_ >= 0) Put(lastRight_, x, y, right_, -cover, -area);
}

void ScanlineRaster::Put(std::size_t& last, std::int32_t x, std::int32_t y, std::int32_t style, float cover,
                         float area) {
  if (last != 0) {
    Cell& c = cells_[last - 1];
    if (c.x == x && c.y == y && c.style == style) {
      c.cover += cover;
      c.area += area;
      return;
    }
  }
  if (cells_.size() >= kMaxCells) {
    cutShort_ = true;
    return;
  }
  cells_.push_back({x, y, style, cover, area});
  last = cells_.size();
}

void ScanlineRaster::Finish() {
  firstRow_ = endRow_ = 0;
  if (cells_.empty()) return;
  std::int32_t minY = cells_[0].y, maxY = minY;
  for (const Cell& c : cells_) {
    minY = std::min(minY, c.y);
    maxY = std::max(maxY, c.y);
  }
  firstRow_ = minY;
  endRow_ = maxY + 1;
  // Counting sort by row: row k ends up in [rowStart_[k], rowStart_[k + 1]).
  rowStart_.assign(static_cast<std::size_t>(endRow_ - firstRow_) + 2, 0);
  for (const Cell& c : cells_) ++rowStart_[c.y - firstRow_ + 2];
  for (std::size_t i = 2; i < rowStart_.size(); ++i) rowStart_[i] += rowStart_[i - 1];
  sorted_.resize(cells_.size());
  for (const Cell& c : cells_) sorted_[rowStart_[c.y - firstRow_ + 1]++] = c;
}

void ScanlineRaster::RowSpans(std::int32_t y, std::vector<CoverageSpan>& spans) {
  spans.clear();
  if (y < firstRow_ || y >= endRow_) return;
  Cell* const begin = sorted_.data() + rowStart_[y - firstRow_];
  Cell* const end = sorted_.data() + rowStart_[y - firstRow_ + 1];
  const auto before = [](const Cell& p, const Cell& q) { return p.style != q.style ? p.style < q.style : p.x < q.x; };
  if (end - begin <= 24) {
    for (Cell* i = begin + 1; i < end; ++i)
      for (Cell* j = i; j > begin && before(*j, *(j - 1)); --j) std::swap(*j, *(j - 1));
  } else {
    std::sort(begin, end, before);
  }
  const auto push = [&](std::int32_t x0, std::int32_t x1, std::int32_t style, float winding) {
    const std::uint8_t coverage = CoverageOf(winding);
    if (coverage != 0) spans.push_back({x0, x1, style, coverage});
  };
  for (Cell* c = begin; c < end;) {
    const std::int32_t style = c->style;
    float winding = 0;
    while (c < end && c->style == style) {
      const std::int32_t x = c->x;
      float cover = 0, area = 0;
      for (; c < end && c->style == style && c->x == x; ++c) {
        cover += c->cover;
        area += c->area;
      }
      // The cell's own edges cover it only right of where they cross it.
      push(x, x + 1, style, winding + cover - area);
      winding += cover;
      const std::int32_t next = (c < end && c->style == style) ? c->x : width_;
      if (next > x + 1) push(x + 1, next, style, winding);
    }
  }
}

}  // namespace dc::swf
