// Coverage accumulation: the exact area of every pixel inside each fill
// style, from edges that carry the style on their left and on their right.
// An edge adds, to each pixel cell it crosses, the height it spans there
// (`cover`) and that height weighted by where it lies across the cell
// (`area`); sweeping a row's cells left to right turns them into spans of
// constant coverage, per style. Two styles sharing an edge get coverages
// that sum to the pixel, so a planar map has no seams.
//
// A pass of one style (a stroke, most fills) adds straight into rows of
// the canvas's width, as cover - area in the cell and area in the next, so
// that a running sum along the row is the coverage. A pass of several
// styles keeps a list of cells instead, sorted by row, style and column.
//
// Without anti-aliasing a pixel is in or out by its centre: an edge adds
// its whole winding in the first pixel of each row whose centre lies on or
// right of it, for the rows whose centres it spans (top included, bottom
// not), so a centre on a left or top edge is in and one on a right or
// bottom edge is out, and shapes that share an edge share no pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "swf/limits.h"

#include "swf/raster/canvas.h"
#include "swf/model/shape.h"
#include "swf/model/swf_types.h"

namespace dc::swf {

struct CoverageSpan {
  std::int32_t x0 = 0, x1 = 0;  // pixels [x0, x1) of the row
  std::int32_t style = 0;
  std::uint8_t coverage = 0;  // 1..255
};

class ScanlineRaster {
 public:
  // Past raster_limits::kMaxCells in one pass the edges that follow are
  // left out.
  static constexpr std::size_t kMaxCells = raster_limits::kMaxCells;

  // Starts a pass over a canvas of width × height pixels; `onlyStyle`, when
  // not -1, is the one style every edge of the pass has on a side. Each
  // edge's cells on the canvas are charged to `budget` (when given): they
  // are the pixels an edge touches, and what a shape of many edges costs.
  // `rule` says which windings are inside; `antiAlias` false samples pixel
  // centres only.
  void Begin(std::int32_t width, std::int32_t height, std::int32_t onlyStyle = -1, DrawBudget* budget = nullptr,
             FillRule rule = FillRule::NonZero, bool antiAlias = true);

  // After Begin: only the pixels of `box` are wanted. Rows outside it and
  // edges wholly right of it gather nothing; the coverage within it stays
  // exactly what the whole canvas would give.
  void Clip(const PixelBox& box);

  // An edge from `a` to `b` in canvas pixels with style `left` on one side
  // and `right` on the other (-1: none). Which side is which only has to be
  // the same for all edges of a pass: coverage counts winding either way.
  // The parts above, below and right of the canvas are dropped; the part
  // left of it still counts, at the canvas's left edge.
  void AddEdge(Point a, Point b, std::int32_t left, std::int32_t right);

  // Closed contours filled as style 0, their points ending at ends[0],
  // ends[1], ...: turned round as a whole when their area runs negative, so
  // that outlines added one by one unite (nonzero) instead of cancelling.
  void AddContours(const Point* points, const std::size_t* ends, std::size_t contours);

  // Edges were left out: past kMaxCells, or past the budget.
  bool CutShort() const { return cutShort_; }

  // Ends the pass's edges: sorts the cells into rows. Rows with coverage
  // are then FirstRow() .. EndRow() - 1.
  void Finish();
  std::int32_t FirstRow() const { return firstRow_; }
  std::int32_t EndRow() const { return endRow_; }

  // The spans of row y (after Finish), sorted by style, then x.
  void RowSpans(std::int32_t y, std::vector<CoverageSpan>& spans);

 private:
  struct Cell {
    std::int32_t x, y, style;
    float cover, area;
  };

  template <bool kOneStyle>
  void AddInside(Point a, Point b, float sign);
  template <bool kOneStyle>
  void AddCentres(Point a, Point b, float sign);
  void Touch(std::int32_t r, std::int32_t lo, std::int32_t hi);
  std::uint8_t CoverageOf(float winding) const;
  void AddCell(std::int32_t x, std::int32_t y, float cover, float area);
  void Put(std::size_t& last, std::int32_t x, std::int32_t y, std::int32_t style, float cover, float area);
  void RowRuns(std::int32_t y, std::vector<CoverageSpan>& spans);

  std::int32_t width_ = 0, height_ = 0;
  // Rows [rowFrom_, rowTo_) gather coverage; edges at or right of
  // clipRight_ are dropped.
  std::int32_t rowFrom_ = 0, rowTo_ = 0;
  double clipRight_ = 0;
  std::int32_t onlyStyle_ = -1;
  FillRule rule_ = FillRule::NonZero;
  bool antiAlias_ = true;
  std::int32_t left_ = -1, right_ = -1;  // styles of the edge being added
  float weight_ = 0;                     // the one style's winding across it
  // One style: width + 1 sums a row (the last for cells at the right side),
  // a bit for each sum that an edge touched, so that a sweep skips the rest,
  // and the columns each row touched, [touchedFrom_, touchedTo_).
  std::vector<float> sums_;
  std::vector<std::uint64_t> touched_;
  std::size_t wordsPerRow_ = 0;
  std::vector<std::int32_t> touchedFrom_, touchedTo_;
  std::size_t lastLeft_ = 0, lastRight_ = 0;  // one past their latest cells
  bool cutShort_ = false;
  DrawBudget* budget_ = nullptr;
  // The cells the edge just added walked, and its work, to the budget.
  void Charge();
  std::uint64_t cellsWalked_ = 0;  // since the last charge
  std::vector<Cell> cells_, sorted_;
  std::vector<std::uint32_t> rowStart_;
  std::int32_t firstRow_ = 0, endRow_ = 0;
};

}  // namespace dc::swf
