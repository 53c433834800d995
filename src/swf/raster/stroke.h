// Strokes as polygons: a line style's round pen swept along polylines in
// canvas pixels. A polyline's outline runs along its left side, round the
// end cap, back along its right side and round the start cap (a closed
// polyline has two rings instead); the rasterizer fills it by the nonzero
// rule, so where a stroke crosses itself it is not darker. On the inner
// side of a corner the two offset lines meet at their crossing, or, when
// the segments are too short for that, run through the corner itself,
// which leaves the overlap inside the stroke.
#pragma once

#include <cstddef>
#include <vector>

#include "swf/raster/scanline.h"
#include "swf/model/shape.h"
#include "swf/model/swf_types.h"

namespace dc::swf {

struct Pen {
  double halfWidth = 0.5;  // pixels
  CapStyle startCap = CapStyle::Round, endCap = CapStyle::Round;
  JoinStyle join = JoinStyle::Round;
  double miterLimit = 3;  // how far a miter may reach from its corner, in half widths
};

class Stroker {
 public:
  static constexpr std::size_t kMaxOutlinePoints = raster_limits::kMaxOutlinePoints;

  // One polyline; `closed`: a last segment leads back to the first point
  // and is joined there, and there are no caps. False when its outline
  // would pass kMaxOutlinePoints: nothing of it is drawn.
  bool Stroke(const std::vector<Point>& points, bool closed, const Pen& pen, ScanlineRaster& raster);

 private:
  // The left side of the polyline, travelled forward or backward.
  void Side(bool backward, bool closed);
  // The left side's turn at `corner` from direction d1 to d2.
  void Join(Point corner, Point d1, Point d2, double length1, double length2);
  // Round the end at `end` whose outward direction is `out`.
  void Cap(Point end, Point out, CapStyle cap);
  void Dot(Point centre, CapStyle cap);
  // Points of the arc around `centre` from `centre + from`, turning by
  // `sweep` radians, to `centre + to` exactly (its start not repeated).
  void AppendArc(Point centre, Point from, Point to, double sweep);
  void EndContour() { ends_.push_back(outline_.size()); }

  Pen pen_;
  double arcStep_ = 0;
  std::vector<Point> points_, directions_, outline_;
  std::vector<double> lengths_;
  std::vector<std::size_t> ends_;
};

}  // namespace dc::swf
