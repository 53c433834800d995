// Quadratic curves as line pieces in canvas pixels: fine enough that no
// piece strays more than a tenth of a pixel from the curve, so a shape
// scaled up stays smooth, and never more than a fixed number of pieces.
#pragma once

#include <vector>

#include "swf/limits.h"
#include "swf/model/swf_types.h"

namespace dc::swf {

inline constexpr double kFlattenTolerance = 0.1;  // pixels
using raster_limits::kMaxPiecesPerCurve;

// The canvas, or the part of the plane where a piece can still reach it.
struct ReachBox {
  double xMin, yMin, xMax, yMax;
  bool Meets(Point p0, Point c, Point p1) const;
};

// Appends the points after `from` of the curve from `from` through
// `control` to `to` (`to` last). A curve that cannot reach `box` is its
// chord: its pieces would be clipped away anyway. With `gridPerPixel`, the
// points between the ends lie on a grid of that many steps a pixel, as
// they do in a renderer of whole twips; the ends stay where they are, so
// that edges still meet. The curve takes at least `minPieces` pieces.
void AppendCurve(Point from, Point control, Point to, const ReachBox& box, std::vector<Point>& out,
                 int gridPerPixel = 0, int minPieces = 1);

// The pieces a curve needs so that none strays more than `tolerance` from
// it, in the units its points are given in (at most kMaxPiecesPerCurve).
int PiecesFor(Point from, Point control, Point to, double tolerance);

}  // namespace dc::swf
