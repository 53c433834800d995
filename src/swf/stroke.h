// Strokes as polygons: a line style's round pen swept along polylines in
// canvas pixels, handed to the rasterizer as convex pieces (each segment's
// body, a join on the outer side of each corner, the caps) that it unites
// by the nonzero rule, so a stroke over itself is not darker. The pieces
// meet along shared lines and leave the inner side of a corner to the
// bodies, so the outline's anti-aliased pixels are counted once.
#pragma once

#include <vector>

#include "swf/scanline.h"
#include "swf/shape.h"
#include "swf/swf_types.h"

namespace dc::swf {

struct Pen {
  double halfWidth = 0.5;  // pixels
  CapStyle startCap = CapStyle::Round, endCap = CapStyle::Round;
  JoinStyle join = JoinStyle::Round;
  double miterLimit = 3;  // how far a miter may reach from its corner, in half widths
};

class Stroker {
 public:
  // One polyline; `closed`: a last segment leads back to the first point
  // and is joined there, and there are no caps.
  void Stroke(const std::vector<Point>& points, bool closed, const Pen& pen, ScanlineRaster& raster);

 private:
  void Body(Point a, Point b);
  void Join(Point before, Point corner, Point after);
  void Cap(Point end, Point direction, CapStyle cap, bool last);
  void Dot(Point centre, CapStyle cap);
  // Points of the arc around `centre` from `centre + from`, turning by
  // `sweep` radians, to `centre + to` exactly, so that the arc meets the
  // next piece without a sliver between them.
  void AppendArc(Point centre, Point from, Point to, double sweep);
  void Emit();

  ScanlineRaster* raster_ = nullptr;
  Pen pen_;
  double arcStep_ = 0;
  std::vector<Point> points_, piece_;
};

}  // namespace dc::swf
