// Coverage accumulation: edges clipped to the canvas and walked through the
// pixel cells they cross; rows swept into spans per style.
#include "swf/raster/scanline.h"

#include "swf/limits.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>

namespace dc::swf {

namespace {

bool Finite(Point p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// Centres are compared with edges on a grid of 1/256 pixel, so that a
// centre that lies on an edge is on it whatever the rounding of the map
// that put the edge there.
double OnGrid(double v) { return std::nearbyint(v * 256.0) / 256.0; }

// One row's piece of an edge, ya < yb within the row (0..1), through the
// cells between xa and xb: cell(column, height spanned, that height times
// the piece's mean distance from the cell's left side).
template <class CellFn>
void WalkRow(double xa, double ya, double xb, double yb, CellFn&& cell) {
  const std::int32_t first = static_cast<std::int32_t>(xa), last = static_cast<std::int32_t>(xb);
  if (first == last) {
    const double dy = yb - ya;
    cell(first, dy, dy * ((xa + xb) / 2 - first));
    return;
  }
  const double dydx = (yb - ya) / (xb - xa);
  const std::int32_t step = xb > xa ? 1 : -1;
  double x = xa, y = ya;
  for (std::int32_t c = first;; c += step) {
    const double side = step > 0 ? c + 1.0 : double(c);
    const bool end = step > 0 ? side >= xb : side <= xb;
    const double nx = end ? xb : side;
    const double ny = end ? yb : ya + (side - xa) * dydx;
    const double dy = ny - y;
    if (dy != 0) cell(c, dy, dy * ((x + nx) / 2 - c));
    if (end) return;
    x = nx;
    y = ny;
  }
}

}  // namespace

std::uint8_t ScanlineRaster::CoverageOf(float winding) const {
  float v = std::fabs(winding);
  if (rule_ == FillRule::EvenOdd) {
    // Crossed twice is outside again; between, coverage folds back.
    v -= 2.0f * std::floor(v * 0.5f);
    if (v > 1.0f) v = 2.0f - v;
  }
  if (!(v < 1.0f)) return 255;  // winding 2 (a stroke over itself) is still one pixel
  const float c = v * 255.0f + 0.5f;
  return c > 0.0f ? static_cast<std::uint8_t>(c) : 0;
}

void ScanlineRaster::Begin(std::int32_t width, std::int32_t height, std::int32_t onlyStyle, DrawBudget* budget,
                           FillRule rule, bool antiAlias) {
  // Rows a pass left behind unswept (its drawing stopped early) are cleared.
  for (std::int32_t y = firstRow_; y < endRow_ && onlyStyle_ >= 0; ++y) {
    if (touchedFrom_[y] == touchedTo_[y]) continue;
    float* row = &sums_[static_cast<std::size_t>(y) * (width_ + 1)];
    std::fill(row + touchedFrom_[y], row + touchedTo_[y], 0.0f);
    std::uint64_t* bits = &touched_[static_cast<std::size_t>(y) * wordsPerRow_];
    std::fill(bits, bits + wordsPerRow_, 0);
    touchedFrom_[y] = touchedTo_[y] = 0;
  }
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  onlyStyle_ = onlyStyle;
  rule_ = rule;
  antiAlias_ = antiAlias;
  if (onlyStyle >= 0) {
    const std::size_t size = static_cast<std::size_t>(width_ + 1) * static_cast<std::size_t>(height_);
    if (sums_.size() < size) sums_.resize(size, 0.0f);
    wordsPerRow_ = static_cast<std::size_t>(width_) / 64 + 1;
    if (touched_.size() < wordsPerRow_ * height_) touched_.resize(wordsPerRow_ * height_, 0);
    if (touchedFrom_.size() < static_cast<std::size_t>(height_)) {
      touchedFrom_.resize(height_, 0);
      touchedTo_.resize(height_, 0);
    }
    firstRow_ = height_;
  }
  cells_.clear();
  lastLeft_ = lastRight_ = 0;
  cutShort_ = false;
  budget_ = budget;
  cellsWalked_ = 0;
  if (onlyStyle < 0) firstRow_ = 0;
  endRow_ = 0;
  rowFrom_ = 0;
  rowTo_ = height_;
  clipRight_ = width_;
}

void ScanlineRaster::Clip(const PixelBox& box) {
  rowFrom_ = std::clamp(box.y0, 0, height_);
  rowTo_ = std::clamp(box.y1, rowFrom_, height_);
  clipRight_ = std::clamp(box.x1, 0, width_);
}

void ScanlineRaster::AddEdge(Point a, Point b, std::int32_t left, std::int32_t right) {
  if (left == right || cutShort_ || !Finite(a) || !Finite(b) || a.y == b.y) return;
  float sign = 1;
  if (a.y > b.y) {
    std::swap(a, b);
    sign = -1;
  }
  const double w = width_, h = height_;
  if (b.y <= rowFrom_ || a.y >= rowTo_ || (a.x >= clipRight_ && b.x >= clipRight_)) return;
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
  weight_ = (left == onlyStyle_ ? 1.0f : 0.0f) - (right == onlyStyle_ ? 1.0f : 0.0f);
  if (onlyStyle_ >= 0 && weight_ == 0) return;
  if (!antiAlias_) {
    onlyStyle_ >= 0 ? AddCentres<true>(a, b, sign) : AddCentres<false>(a, b, sign);
    Charge();
    return;
  }

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
      // Left of the canvas only the height counts: it sets the winding of
      // every pixel to the right.
      const Point p = mid <= 0 ? Point{0, from.y} : Point{std::clamp(from.x, 0.0, w), from.y};
      const Point q = mid <= 0 ? Point{0, to.y} : Point{std::clamp(to.x, 0.0, w), to.y};
      if (mid < w) onlyStyle_ >= 0 ? AddInside<true>(p, q, sign) : AddInside<false>(p, q, sign);
    }
    from = to;
  }
  Charge();
}

void ScanlineRaster::Charge() {
  // The cells touched count as pixels; the edge's own work as some more.
  if (budget_ && !budget_->Charge(cellsWalked_, cellsWalked_ + raster_limits::kDrawWorkPerRasterEdge)) cutShort_ = true;
  cellsWalked_ = 0;
}

void ScanlineRaster::AddContours(const Point* points, const std::size_t* ends, std::size_t contours) {
  double twiceArea = 0;
  for (std::size_t c = 0, begin = 0; c < contours; begin = ends[c++])
    for (std::size_t i = begin; i < ends[c]; ++i) {
      const Point& p = points[i];
      const Point& q = points[i + 1 < ends[c] ? i + 1 : begin];
      twiceArea += p.x * q.y - q.x * p.y;
    }
  if (!std::isfinite(twiceArea) || twiceArea == 0) return;
  const std::int32_t left = twiceArea > 0 ? 0 : -1, right = twiceArea > 0 ? -1 : 0;
  for (std::size_t c = 0, begin = 0; c < contours; begin = ends[c++])
    for (std::size_t i = begin; i < ends[c]; ++i)
      AddEdge(points[i], points[i + 1 < ends[c] ? i + 1 : begin], left, right);
}

// a.y < b.y, both inside the canvas's rows, x within 0..width.
template <bool kOneStyle>
void ScanlineRaster::AddInside(Point a, Point b, float sign) {
  const double dxdy = (b.x - a.x) / (b.y - a.y);
  const double w = width_;
  const std::int32_t firstRow = std::max(rowFrom_, static_cast<std::int32_t>(std::floor(a.y)));
  const std::int32_t lastRow = std::min(rowTo_ - 1, static_cast<std::int32_t>(std::ceil(b.y)) - 1);
  if (firstRow > lastRow) return;
  if constexpr (kOneStyle) {
    firstRow_ = std::min(firstRow_, firstRow);
    endRow_ = std::max(endRow_, lastRow + 1);
  }
  const float f = kOneStyle ? sign * weight_ : sign;
  for (std::int32_t r = firstRow; r <= lastRow; ++r) {
    const double ya = std::max(a.y, double(r)), yb = std::min(b.y, double(r + 1));
    if (yb <= ya) continue;
    const double xa = ya == a.y ? a.x : std::clamp(a.x + (ya - a.y) * dxdy, 0.0, w);
    const double xb = yb == b.y ? b.x : std::clamp(a.x + (yb - a.y) * dxdy, 0.0, w);
    if constexpr (kOneStyle) {
      float* const row = &sums_[static_cast<std::size_t>(r) * (width_ + 1)];
      std::uint64_t* const bits = &touched_[static_cast<std::size_t>(r) * wordsPerRow_];
      WalkRow(xa, ya - r, xb, yb - r, [&](std::int32_t c, double cover, double area) {
        if (c >= width_) return;
        ++cellsWalked_;
        row[c] += static_cast<float>(f * (cover - area));
        row[c + 1] += static_cast<float>(f * area);
        bits[c >> 6] |= std::uint64_t{1} << (c & 63);
        bits[(c + 1) >> 6] |= std::uint64_t{1} << ((c + 1) & 63);
      });
      Touch(r, static_cast<std::int32_t>(std::min(xa, xb)),
            std::min(static_cast<std::int32_t>(std::max(xa, xb)), width_ - 1) + 2);
    } else {
      WalkRow(xa, ya - r, xb, yb - r, [&](std::int32_t c, double cover, double area) {
        AddCell(c, r, static_cast<float>(f * cover), static_cast<float>(f * area));
      });
    }
  }
}

// a.y < b.y, both inside the canvas's rows: the edge's crossing of each
// pixel centre's row, as a whole winding in the first pixel on or right of
// it.
template <bool kOneStyle>
void ScanlineRaster::AddCentres(Point a, Point b, float sign) {
  a = {OnGrid(a.x), OnGrid(a.y)};
  b = {OnGrid(b.x), OnGrid(b.y)};
  if (!(a.y < b.y)) return;
  const double dxdy = (b.x - a.x) / (b.y - a.y);
  // Rows whose centre r + 0.5 is in [a.y, b.y).
  const std::int32_t firstRow = std::max(rowFrom_, static_cast<std::int32_t>(std::ceil(a.y - 0.5)));
  const std::int32_t endRow = std::min(rowTo_, static_cast<std::int32_t>(std::ceil(b.y - 0.5)));
  if (firstRow >= endRow) return;
  const float f = kOneStyle ? sign * weight_ : sign;
  const double w = width_;
  if constexpr (kOneStyle) {
    firstRow_ = std::min(firstRow_, firstRow);
    endRow_ = std::max(endRow_, endRow);
  }
  for (std::int32_t r = firstRow; r < endRow; ++r) {
    const double x = std::clamp(a.x + (r + 0.5 - a.y) * dxdy, -1.0, w + 1);
    // The first column whose centre c + 0.5 is at or past x.
    const std::int32_t c = std::max(0, static_cast<std::int32_t>(std::ceil(x - 0.5)));
    if (c >= width_) continue;
    if constexpr (kOneStyle) {
      ++cellsWalked_;
      float* const row = &sums_[static_cast<std::size_t>(r) * (width_ + 1)];
      std::uint64_t* const bits = &touched_[static_cast<std::size_t>(r) * wordsPerRow_];
      row[c] += f;
      bits[c >> 6] |= std::uint64_t{1} << (c & 63);
      Touch(r, c, c + 1);
    } else {
      AddCell(c, r, f, 0);
    }
  }
}

void ScanlineRaster::Touch(std::int32_t r, std::int32_t lo, std::int32_t hi) {
  if (lo >= hi) return;
  std::int32_t& from = touchedFrom_[r];
  std::int32_t& to = touchedTo_[r];
  if (from == to) {
    from = lo;
    to = hi;
  } else {
    from = std::min(from, lo);
    to = std::max(to, hi);
  }
}

void ScanlineRaster::AddCell(std::int32_t x, std::int32_t y, float cover, float area) {
  if (x >= width_) return;
  ++cellsWalked_;
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
  if (onlyStyle_ >= 0) {
    if (endRow_ == 0) firstRow_ = 0;
    return;
  }
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

// A row of one style's sums, swept into runs of equal coverage and cleared
// for the next pass. Between touched sums the coverage holds.
void ScanlineRaster::RowRuns(std::int32_t y, std::vector<CoverageSpan>& spans) {
  const std::int32_t from = touchedFrom_[y], to = touchedTo_[y];
  if (from == to) return;
  float* row = &sums_[static_cast<std::size_t>(y) * (width_ + 1)];
  std::uint64_t* bits = &touched_[static_cast<std::size_t>(y) * wordsPerRow_];
  float winding = 0;
  std::int32_t runStart = from;
  std::uint8_t run = 0;
  for (std::size_t w = static_cast<std::size_t>(from) >> 6; w <= static_cast<std::size_t>(to - 1) >> 6; ++w) {
    for (std::uint64_t word = bits[w]; word != 0; word &= word - 1) {
      const std::int32_t x = static_cast<std::int32_t>(w * 64) + std::countr_zero(word);
      winding += row[x];
      row[x] = 0;
      const std::uint8_t coverage = x < width_ ? CoverageOf(winding) : 0;
      if (coverage != run) {
        if (run != 0) spans.push_back({runStart, x, onlyStyle_, run});
        run = coverage;
        runStart = x;
      }
    }
    bits[w] = 0;
  }
  touchedFrom_[y] = touchedTo_[y] = 0;
  // Past the last sum the winding holds: a region can run off the right side.
  if (run != 0) spans.push_back({runStart, width_, onlyStyle_, run});
}

void ScanlineRaster::RowSpans(std::int32_t y, std::vector<CoverageSpan>& spans) {
  spans.clear();
  if (y < firstRow_ || y >= endRow_) return;
  if (onlyStyle_ >= 0) return RowRuns(y, spans);
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
    if (coverage == 0) return;
    if (!spans.empty() && spans.back().style == style && spans.back().x1 == x0 && spans.back().coverage == coverage)
      spans.back().x1 = x1;
    else
      spans.push_back({x0, x1, style, coverage});
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
