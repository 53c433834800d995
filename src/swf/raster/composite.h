// Compositing a pass's coverage onto the canvas: each row's spans painted,
// a row where several styles meet summed first (the group's premultiplied
// colour per pixel, so styles sharing an edge leave no seam) and laid over
// the canvas once, source-over through the mask, charged to the budget.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/raster/canvas.h"
#include "swf/raster/paint.h"
#include "swf/raster/scanline.h"

namespace dc::swf {

class PaintSource {
 public:
  virtual const Paint& For(std::int32_t style) = 0;

 protected:
  ~PaintSource() = default;
};

class Compositor {
 public:
  // Paints every row of the finished pass; false when the budget ran out
  // (the row that did not fit is left untouched).
  bool Pass(const DrawTarget& target, ScanlineRaster& raster, PaintSource& paints);

 private:
  // The row's spans, all of one paint, onto the canvas.
  void Blend(std::uint32_t* dst, const std::uint8_t* mask, std::int32_t y, const Paint& paint);
  void Sum(std::int32_t y, const CoverageSpan& span, const Paint& paint);
  void LaySums(std::uint32_t* dst, const std::uint8_t* mask, std::int32_t x0, std::int32_t x1);

  std::int32_t x0_ = 0, x1_ = 0;  // the pass's clip: columns written
  std::vector<CoverageSpan> spans_;
  std::vector<std::uint32_t> paint_;  // one span's paint
  std::vector<std::uint32_t> sums_;   // alpha, red, green, blue per pixel: Σ paint × coverage
};

}  // namespace dc::swf
