// Quadratic curves as line pieces: the piece count follows from the
// curve's second difference, which bounds how far a chord strays.
#include "swf/raster/flatten.h"

#include <algorithm>
#include <cmath>

namespace dc::swf {

bool ReachBox::Meets(Point p0, Point c, Point p1) const {
  // The curve lies inside the hull of its three points. Comparisons with a
  // coordinate that is not a number fail, so such a curve meets nothing.
  const double x0 = std::min({p0.x, c.x, p1.x}), x1 = std::max({p0.x, c.x, p1.x});
  const double y0 = std::min({p0.y, c.y, p1.y}), y1 = std::max({p0.y, c.y, p1.y});
  return x1 >= xMin && x0 <= xMax && y1 >= yMin && y0 <= yMax;
}

int PiecesFor(Point from, Point control, Point to, double tolerance) {
  // A chord over a parameter step h strays at most h² |p0 - 2c + p1| / 4.
  const double ddx = from.x - 2 * control.x + to.x, ddy = from.y - 2 * control.y + to.y;
  const double pieces = std::ceil(std::sqrt(std::hypot(ddx, ddy) / (4 * tolerance)));
  return pieces >= 1 ? static_cast<int>(std::min(pieces, double(kMaxPiecesPerCurve))) : 1;
}

void AppendCurve(Point from, Point control, Point to, const ReachBox& box, std::vector<Point>& out,
                 int gridPerPixel, int minPieces) {
  if (!box.Meets(from, control, to)) {
    out.push_back(to);
    return;
  }
  const int n = std::max(PiecesFor(from, control, to, kFlattenTolerance), std::min(minPieces, kMaxPiecesPerCurve));
  for (int i = 1; i < n; ++i) {
    const double t = double(i) / n, u = 1 - t;
    Point p{u * u * from.x + 2 * u * t * control.x + t * t * to.x, u * u * from.y + 2 * u * t * control.y + t * t * to.y};
    if (gridPerPixel > 0)
      p = {std::nearbyint(p.x * gridPerPixel) / gridPerPixel, std::nearbyint(p.y * gridPerPixel) / gridPerPixel};
    out.push_back(p);
  }
  out.push_back(to);
}

}  // namespace dc::swf
